#include "lab_exports.h"

#include "fields.h"
#include "raw_text.h"

#include "charts/report_pdf.h"
#include "standard/quantity_table.h"

#include <QDateTime>
#include <QSaveFile>
#include <QTimeZone>

namespace tenso::lab {
namespace {

QString text(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString html(const std::string& bytes) { return text(bytes).toHtmlEscaped(); }

// When the report says it was evaluated: now, or SOURCE_DATE_EPOCH for reproducible pictures.
QDateTime evaluationTime()
{
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    return ok ? QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc()) : QDateTime::currentDateTime();
}

}  // namespace

std::string SeriesText(const LabSeries& series, report::Format format)
{
    const report::SeriesSetup& setup = series.Setup();
    const std::unique_ptr<report::ReportWriter> writer
        = report::MakeWriter(format, setup.proofPercents, true);
    std::string out = writer->Begin();
    for (std::size_t row = 0; row < series.Count(); ++row) {
        const LabSpecimen& s = series.At(row);
        if (s.result)
            out += writer->Write(*s.result, s.setup.included);
    }
    return out + writer->End(series.Statistics());
}

std::string WriteTextFile(const QString& path, const std::string& text)
{
    QSaveFile file(path);
    const auto failed
        = [&] { return "cannot write " + path.toStdString() + ": " + file.errorString().toStdString(); };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
        return failed();
    if (!file.commit())
        return failed();
    return {};
}

std::string WriteSeriesPdf(const QString& path, const LabSeries& series, const QString& title)
{
    report::ReportSettings settings;
    if (!title.isEmpty())
        settings.title = title.toStdString();
    settings.evaluated = evaluationTime();
    settings.version = TENSO_VERSION;
    settings.options = report::OptionsFor(series.Setup());
    std::vector<report::ReportEntry> entries;
    for (std::size_t row = 0; row < series.Count(); ++row) {
        const LabSpecimen& s = series.At(row);
        if (s.result)
            entries.push_back({*s.result, s.chart, s.setup.included});
    }
    return report::WritePdfReport(path, settings, entries, series.Statistics());
}

QString DetailsHtml(const LabSpecimen& specimen, const report::SeriesSetup& setup)
{
    QString h
        = QStringLiteral("<h3>%1</h3>").arg(common::DisplayNameText(specimen.setup.file).toHtmlEscaped());
    if (!specimen.setup.included)
        h += QStringLiteral("<p><b>Excluded</b>: not counted in the statistics.</p>");
    if (!specimen.result)
        return h + QStringLiteral("<p>Evaluating…</p>");
    const standard::Result& r = *specimen.result;
    if (r.id || r.material)
        h += QStringLiteral("<p>Specimen %1 &nbsp; Material %2</p>")
                 .arg(r.id ? html(*r.id) : QStringLiteral("–"),
                     r.material ? html(*r.material) : QStringLiteral("–"));
    if (r.error)
        h += QStringLiteral("<p style='color:#a01010'><b>Not evaluated:</b> %1</p>").arg(html(*r.error));
    for (const std::string& w : r.warnings)
        h += QStringLiteral("<p style='color:#a01010'><b>Warning:</b> %1</p>").arg(html(w));

    // Where each geometry value came from: typed here, the file's header (its note names the
    // line), or computed.
    h += QStringLiteral("<h4>Geometry</h4><table cellspacing=0 cellpadding=2>");
    const std::pair<std::optional<double> standard::Specimen::*, const char*> geometry[]
        = {{&standard::Specimen::d0, "d0"}, {&standard::Specimen::a0, "a0"}, {&standard::Specimen::b0, "b0"},
            {&standard::Specimen::S0, "S0"}, {&standard::Specimen::L0, "L0"}, {&standard::Specimen::Lu, "Lu"},
            {&standard::Specimen::du, "du"}, {&standard::Specimen::Su, "Su"}};
    for (const auto& [member, symbol] : geometry) {
        const std::optional<double> own = specimen.setup.specimen.*member;
        std::optional<double> used = r.specimen.*member;
        QString from;
        if (own) {
            from = QStringLiteral("set here");
        } else if (used) {
            from = QStringLiteral("from the file");
            for (const std::string& note : r.notes)
                if (note.rfind(std::string(symbol) + " = ", 0) == 0)
                    from = html(note.substr(note.find(" from ") + 1));
        } else if (member == &standard::Specimen::S0 && r.S0) {
            used = r.S0;
            from = r.specimen.d0 ? QStringLiteral("computed from d0")
                                 : QStringLiteral("computed from a0 and b0");
        }
        if (!used)
            continue;
        const bool area = member == &standard::Specimen::S0 || member == &standard::Specimen::Su;
        h += QStringLiteral("<tr><td><b>%1</b></td><td align=right>%2 %3</td><td>&nbsp;%4</td></tr>")
                 .arg(QString::fromLatin1(symbol), text(report::NumberText(*used)),
                     area ? QStringLiteral("mm²") : QStringLiteral("mm"), from);
    }
    h += QStringLiteral("</table>");
    if (r.error)
        return h;

    h += QStringLiteral("<h4>Results</h4><table cellspacing=0 cellpadding=2>");
    for (const standard::Quantity& q : standard::QuantityTable(setup.proofPercents)) {
        const std::optional<std::string> v = report::ValueText(q.value(r));
        if (!v)
            continue;
        const std::string shown
            = q.rounding ? standard::FormatRounded(q.Number(r), *q.rounding) + " (" + *v + ")" : *v;
        h += QStringLiteral("<tr><td><b>%1</b></td><td align=right>%2</td><td>%3</td><td>&nbsp;%4</td></tr>")
                 .arg(html(q.symbol), html(shown), html(q.unit), html(q.meaning));
    }
    h += QStringLiteral("</table>");
    if (!r.notes.empty()) {
        h += QStringLiteral("<h4>Notes</h4><ul>");
        for (const std::string& n : r.notes)
            h += QStringLiteral("<li>%1</li>").arg(html(n));
        h += QStringLiteral("</ul>");
    }
    return h;
}

}  // namespace tenso::lab
