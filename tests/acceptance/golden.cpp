#include "golden.h"

#include "cli/field_options.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <stdexcept>

namespace tenso::test {
namespace {

QJsonObject readJson(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open " + path.toStdString());
    return QJsonDocument::fromJson(f.readAll()).object();
}

}  // namespace

std::optional<Field> OptionField(const QString& option)
{
    for (const FieldOption& o : FieldOptions)
        if (option == QLatin1String("--") + QLatin1String(o.name))
            return o.field;
    return std::nullopt;
}

std::vector<GoldenCase> LoadGoldenCases()
{
    const QString folder = QStringLiteral(TENSO_TEST_DATA "/acceptance/");
    std::vector<GoldenCase> out;
    for (const auto c : readJson(folder + "cases.json")["cases"].toArray()) {
        const QJsonObject o = c.toObject();
        GoldenCase g;
        g.name = o["name"].toString();
        g.file = folder + o["file"].toString();
        for (const auto a : o["args"].toArray())
            g.args << a.toString();
        g.expected = readJson(folder + o["expected"].toString());
        out.push_back(g);
    }
    return out;
}

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name.toStdString(); }

}  // namespace tenso::test
