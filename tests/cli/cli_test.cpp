#include "acceptance/golden.h"

#include "support/comma_locale.h"
#include "support/temp_file.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tenso {
namespace {

struct EvalRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

EvalRun runEval(const QStringList& args, const QString& folder = QString())
{
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(QStringLiteral(TENSO_EVAL), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError()};
}

QJsonArray jsonOf(const EvalRun& r)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << r.out.toStdString();
    return doc.array();
}

// Compares an expected JSON value with the printed one: numbers as numbers, and a calculation
// message only as present or absent, unless it is one of the program's fixed texts.
void expectSame(const QJsonValue& expected, const QJsonValue& actual, const std::string& where)
{
    if (expected.isObject()) {
        ASSERT_TRUE(actual.isObject()) << where;
        const QJsonObject e = expected.toObject();
        const QJsonObject a = actual.toObject();
        EXPECT_EQ(e.keys(), a.keys()) << where;
        for (const QString& key : e.keys()) {
            const std::string at = where + "." + key.toStdString();
            if (key == QLatin1String("message") && e[key].isString() && a[key].isString()
                && e[key].toString() != QLatin1String("Choice the proper steps")
                && !e[key].toString().startsWith(QLatin1String("This file includes")))
                continue;  // a calculation failure's wording is free
            expectSame(e[key], a[key], at);
        }
    } else if (expected.isArray()) {
        ASSERT_TRUE(actual.isArray()) << where;
        const QJsonArray e = expected.toArray();
        const QJsonArray a = actual.toArray();
        ASSERT_EQ(e.size(), a.size()) << where;
        for (qsizetype i = 0; i < e.size(); ++i)
            expectSame(e[i], a[i], where + "[" + std::to_string(i) + "]");
    } else if (expected.isDouble()) {
        ASSERT_TRUE(actual.isDouble())
            << where << " is " << QJsonDocument(QJsonArray {actual}).toJson().toStdString();
        EXPECT_EQ(expected.toDouble(), actual.toDouble()) << where;
    } else {
        EXPECT_EQ(expected, actual) << where;
    }
}

class CliGolden : public testing::TestWithParam<test::GoldenCase> { };

TEST_P(CliGolden, PrintsWhatTheIndependentCalculationExpects)
{
    const test::GoldenCase& c = GetParam();
    const QString folder = QStringLiteral(TENSO_TEST_DATA "/acceptance");
    const EvalRun r = runEval(QStringList(c.args)
            << QStringLiteral("--format") << QStringLiteral("json") << QFileInfo(c.file).fileName(),
        folder);
    const bool failed = !c.expected["error"].isNull();
    EXPECT_EQ(r.status, failed ? 1 : 0) << r.err.toStdString();
    const QJsonArray all = jsonOf(r);
    ASSERT_EQ(all.size(), 1);
    expectSame(c.expected, all[0], c.name.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Acceptance, CliGolden, testing::ValuesIn(test::LoadGoldenCases()),
    [](const testing::TestParamInfo<test::GoldenCase>& p) { return p.param.name.toStdString(); });

TEST(TensoEval, AFileWithADataFileErrorDoesNotStopTheOthers)
{
    const QString good = QStringLiteral(TENSO_TEST_DATA "/acceptance/steel_s355_csv_crlf.dat");
    const QString bad = QStringLiteral(TENSO_TEST_DATA "/acceptance/steel_text_in_y.dat");
    const EvalRun r = runEval({good, bad, QStringLiteral("/nonexistent/none.dat"), good});
    EXPECT_EQ(r.status, 1);
    const QJsonArray all = jsonOf(r);
    ASSERT_EQ(all.size(), 4);
    EXPECT_TRUE(all[0].toObject()["error"].isNull());
    EXPECT_EQ(all[1].toObject()["error"].toObject()["number"].toInt(), 13);
    EXPECT_EQ(all[2].toObject()["error"].toObject()["number"].toInt(), 76);
    EXPECT_FALSE(all[1].toObject().contains(QStringLiteral("tangent")));
    // Every file starts from a fresh window: the fourth equals the first.
    EXPECT_EQ(all[3].toObject()["tangent"], all[0].toObject()["tangent"]);
    EXPECT_EQ(all[3].toObject()["scale"], all[0].toObject()["scale"]);
}

// Qt makes the environment's locale the process locale: under de_DE nothing tenso-eval writes may
// change, in JSON, CSV or a message.
TEST(TensoEval, ADecimalCommaLocaleChangesNoByte)
{
    if (!tenso::test::CommaLocaleEnvironment::Available())
        GTEST_SKIP() << tenso::test::CommaLocale::Why();
    const QStringList args = {QStringLiteral("--method"), QStringLiteral("both"), QStringLiteral("--skip"),
        QStringLiteral("1"), QStringLiteral("--x-coefficient"), QStringLiteral("0.5"),
        QStringLiteral(TENSO_TEST_DATA "/acceptance/steel_s355_csv_crlf.dat"),
        QStringLiteral(TENSO_TEST_DATA "/acceptance/alu_6082_percent.dat"),
        QStringLiteral("/nonexistent/none.dat")};
    QStringList csv = args;
    csv << QStringLiteral("--format") << QStringLiteral("csv");
    const EvalRun json = runEval(args), table = runEval(csv);
    const tenso::test::CommaLocaleEnvironment german;
    const EvalRun germanJson = runEval(args), germanTable = runEval(csv);
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(germanJson.out, json.out);
    EXPECT_EQ(germanJson.err, json.err);
    EXPECT_EQ(germanTable.out, table.out);
}

// Five header lines (the default skip), then records of strain and a stress with `valleys` dips.
std::string curveWithValleys(int valleys)
{
    std::string text = "h\r\nh\r\nh\r\nh\r\nh\r\n";
    for (int i = 0; i < 100; ++i) {
        const int y = i * 10 - (i % 10 == 9 && i / 10 < valleys ? 15 : 0);
        text += std::to_string(i * 100) + "," + std::to_string(y) + "\r\n";
    }
    return text;
}

TEST(TensoEval, ManyFilesInOneCallPrintWhatEachPrintsAlone)
{
    // More files than the results that may wait on two cores, differing in their valleys, every
    // third one missing: evaluated ahead on several threads, each must come out in argument order
    // and exactly as when it is evaluated alone, whatever the file its thread evaluated before.
    std::vector<std::unique_ptr<test::TempFile>> made;
    QStringList files;
    for (int k = 0; k < 90; ++k) {
        made.push_back(
            std::make_unique<test::TempFile>(curveWithValleys(k % 7), "f" + std::to_string(k) + ".dat"));
        files << QString::fromStdString(
            k % 3 == 2 ? made.back()->folder() + "/missing.dat" : made.back()->path());
    }
    const EvalRun all = runEval(files);
    EXPECT_EQ(all.status, 1);
    const QJsonArray results = jsonOf(all);
    ASSERT_EQ(results.size(), files.size());
    for (qsizetype k = 0; k < files.size(); k += 4) {  // a sample: a process a file takes a while
        const QJsonArray alone = jsonOf(runEval({files[k]}));
        ASSERT_EQ(alone.size(), 1);
        EXPECT_EQ(results[k], alone[0]) << files[k].toStdString();
    }
    EXPECT_EQ(results[2].toObject()["error"].toObject()["number"].toInt(), 53);
}

TEST(TensoEval, UsageErrorsExitWith2AndOneLineOnStandardError)
{
    for (const QStringList& args :
        {QStringList {}, QStringList {QStringLiteral("--bogus"), QStringLiteral("x.dat")},
            QStringList {QStringLiteral("--method"), QStringLiteral("chord"), QStringLiteral("x.dat")},
            QStringList {QStringLiteral("--format"), QStringLiteral("xml"), QStringLiteral("x.dat")},
            QStringList {QStringLiteral("--plot"), QStringLiteral("out.bmp"), QStringLiteral("x.dat")}}) {
        const EvalRun r = runEval(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const EvalRun version = runEval({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("tenso-eval ")) << version.out.toStdString();
}

// The help speaks of the window's fields as the user sees them, never by their control names.
TEST(TensoEval, HelpNamesNoControlAndHelpAllWorksToo)
{
    const EvalRun help = runEval({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    const QString text = QString::fromUtf8(help.out);
    const QRegularExpression controlName(QStringLiteral("\\b(Text|Command|Label|Picture)\\d+"));
    EXPECT_FALSE(text.contains(controlName)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("X-axis column (default 1)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Exit status"))) << text.toStdString();

    const EvalRun all = runEval({QStringLiteral("--help-all")});
    EXPECT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_EQ(all.out, help.out);
}

TEST(TensoEval, CsvHasAHeaderAndOneQuotedRowPerFileAndMethod)
{
    test::TempFile file("h\r\nh\r\nh\r\nh\r\nh\r\n0,0\r\n1,abc\r\n", "with, comma.dat");
    const EvalRun r
        = runEval({QStringLiteral("--format"), QStringLiteral("csv"), QString::fromStdString(file.path())});
    EXPECT_EQ(r.status, 1);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0].trimmed(),
        "file,method,error_number,points,columns,x_max,y_max,x_at_y_max,elastic_modulus,"
        "offset_strength,offset_strength_at,max_strength,yield_strength,valley_count,message");
    EXPECT_TRUE(lines[1].startsWith('"' + QByteArray::fromStdString(file.path()) + "\",tangent,13,2,2,"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(",secant,13,")) << lines[2].toStdString();
}

TEST(TensoEval, PlotWritesThePlotAreaAsTheWindowShowsIt)
{
    // 23 records rising by 1: scale 0..25.3 both ways; record 10 carries a red ring.
    std::string content = "h\r\nh\r\nh\r\nh\r\nh\r\n";
    for (int i = 1; i <= 23; ++i)
        content += std::to_string(i) + "," + std::to_string(i) + "\r\n";
    test::TempFile file(content);
    const QString png = QString::fromStdString(file.folder() + "/plot.png");
    const QString svg = QString::fromStdString(file.folder() + "/plot.svg");
    const EvalRun r = runEval({QStringLiteral("--method"), QStringLiteral("secant"), QStringLiteral("--plot"),
        png, QString::fromStdString(file.path())});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(271, 247));
    const auto colorAt = [&](int x, int y) { return image.pixelColor(x, y); };
    EXPECT_EQ(colorAt(5, 5), QColor(Qt::white));
    // The axes cross at the origin: X from -2.3 to 25.3 over 271 columns puts it in column 22, and
    // Y from 25.3 down to -2.3 over 247 rows in row 226. The secant runs through the origin itself.
    EXPECT_EQ(colorAt(22, 100), QColor(0, 0, 255));
    EXPECT_EQ(colorAt(200, 226), QColor(0, 0, 255));
    // Somewhere on the ring around record 10 (at about x 120, y 136) there is red.
    int red = 0;
    for (int y = 126; y < 147; ++y)
        for (int x = 110; x < 131; ++x)
            red += colorAt(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 8);

    const EvalRun twice = runEval({QStringLiteral("--plot"), svg, QStringLiteral("--plot-scale"),
        QStringLiteral("2"), QString::fromStdString(file.path()), QString::fromStdString(file.path())});
    ASSERT_EQ(twice.status, 0) << twice.err.toStdString();
    // With several files each picture is named after its file.
    QFile written(QString::fromStdString(file.folder() + "/plot-data.svg"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray svgText = written.readAll();
    EXPECT_TRUE(svgText.contains("<svg")) << svgText.left(200).toStdString();
    EXPECT_TRUE(svgText.contains("width=\"542")) << svgText.left(400).toStdString();
}

}  // namespace
}  // namespace tenso
