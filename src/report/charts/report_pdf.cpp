#include "report_pdf.h"

#include "chart_painter.h"
#include "pdf_pages.h"
#include "pdf_style.h"

#include "standard/quantity_table.h"

#include "common/qt_text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>

namespace tenso::report {

namespace {

using standard::Result;

using pdf::Font;
using pdf::Millimetre;
using pdf::Pages;
using pdf::Paragraph;
using pdf::Resolution;
using pdf::Unit;
const QString Dash = QStringLiteral("\u2013");

QString Text(const std::string& s) { return QString::fromStdString(s); }

std::string Shortest(double value)
{
    char text[32];
    auto* const end = std::to_chars(text, text + sizeof text, value).ptr;
    return {text, end};
}

// ---- The quantities of the tables ----

using standard::Quantity;
using standard::QuantityId;

// The report's columns: the quantities of the table that it rounds, the series table's among them.
std::vector<Quantity> Columns(const std::vector<double>& proofPercents)
{
    std::vector<Quantity> columns;
    for (Quantity& q : standard::QuantityTable(proofPercents))
        if (q.rounding)
            columns.push_back(std::move(q));
    return columns;
}

QString Cell(const Quantity& column, const Result& r)
{
    QString text = Text(standard::FormatRounded(column.Number(r), *column.rounding));
    if (column.id == QuantityId::A && r.A && r.A_from_curve.value_or(false))
        text += QStringLiteral("*");
    return text;
}

// ---- Pages ----

QString Parameters(const ReportSettings& s)
{
    QStringList proofs;
    for (const double p : s.options.proofPercents)
        proofs << Text(standard::ProofKey(p)) + QStringLiteral(" %");
    QString modulus;
    if (s.options.modulusRange) {
        modulus = QStringLiteral("least squares over %1 to %2 MPa")
                      .arg(Text(Shortest(s.options.modulusRange->first)),
                          Text(Shortest(s.options.modulusRange->second)));
    } else if (s.options.modulus == standard::ModulusMethod::Passes) {
        modulus = QStringLiteral("least squares over 10 to 40 % of Rm, then 10 to 50 % of ReH (or Rp0.2)");
    } else {
        // One line, as the passes' text was: where SDAR finds no straight start, the notes say so.
        modulus = QStringLiteral(
            "SDAR (ASTM E3076), else least squares over 10 to 40 % of Rm, then 10 to 50 % of ReH (or Rp0.2)");
    }
    return QStringLiteral(
        "Rules: ISO 6892-1, rules 2, Tenso %1.  Fracture: a fall of more than %2 % of Rm within 0.05 % "
        "strain.  Proof extensions: %3.  Elastic modulus: %4.")
        .arg(Text(s.version), Text(Shortest(s.options.fractureDropPercent)),
            proofs.join(QStringLiteral(", ")), modulus);
}

QString When(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm:ss t"));
}

// ---- The series table ----

struct Table {
    QFont font, bold;
    double row = 0, padding = 0, fileWidth = 0;
    std::vector<double> widths;  // of the quantity columns
};

struct Row {
    QString first;  // the file (and id), or the statistic
    std::vector<QString> second;  // the quantity cells
    bool warned = false;  // a result to be read with its warnings: the row stands out
    bool excluded = false;  // left out of the series: greyed, and not in the statistics
};

const QColor WarningColour(0xa0, 0x10, 0x10);
const QColor ExcludedColour(0x80, 0x80, 0x80);

// A specimen as the tables name it: its file, and its id where the file or a row gives one.
QString SpecimenName(const Result& r)
{
    QString name = common::DisplayNameText(r.file);
    if (r.id)
        name += QStringLiteral(" \u00b7 ") + Text(*r.id);
    return name;
}

Table LayoutTable(const QPaintDevice* device, double width, const std::vector<Quantity>& columns,
    const std::vector<Row>& rows)
{
    Table table;
    // The largest font from 8 down to 5 points at which every number fits; long file names are
    // shortened in the middle.
    for (double points = 8; points >= 5; points -= 0.5) {
        table.font = Font(points);
        table.bold = Font(points, true);
        const QFontMetricsF metrics(table.font, device), boldMetrics(table.bold, device);
        table.padding = 1.5 * Unit;
        table.row = metrics.height() * 1.3;
        table.widths.assign(columns.size(), 0);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            double w = std::max(boldMetrics.horizontalAdvance(Text(columns[c].symbol)),
                metrics.horizontalAdvance(Text(columns[c].unit)));
            for (const auto& row : rows)
                w = std::max(w, metrics.horizontalAdvance(row.second[c]));
            table.widths[c] = w + 2 * table.padding;
        }
        double file = boldMetrics.horizontalAdvance(QStringLiteral("CoV %"));
        for (const auto& row : rows)
            file = std::max(file, metrics.horizontalAdvance(row.first));
        double quantities = 0;
        for (const double w : table.widths)
            quantities += w;
        table.fileWidth = std::min(file + 2 * table.padding, width - quantities);
        if (table.fileWidth >= 20 * Millimetre || points <= 5) {
            // The width left over goes to the quantity columns alike, so the table spans the page.
            const double spare = width - quantities - table.fileWidth;
            if (spare > 0 && !table.widths.empty()) {
                for (double& w : table.widths)
                    w += spare / static_cast<double>(table.widths.size());
            }
            break;
        }
    }
    return table;
}

void TableHeader(Pages& pages, const Table& table, const std::vector<Quantity>& columns)
{
    QPainter& painter = pages.Painter();
    const QFontMetricsF metrics(table.font, painter.device());
    double x = pages.Left();
    const double top = pages.y;
    painter.setFont(table.bold);
    painter.drawText(QPointF(x + table.padding, top + metrics.ascent()), QStringLiteral("File"));
    x += table.fileWidth;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const QRectF cell(x, top, table.widths[c] - table.padding, table.row);
        painter.setFont(table.bold);
        painter.drawText(cell, Qt::AlignRight | Qt::AlignTop, Text(columns[c].symbol));
        painter.setFont(table.font);
        painter.drawText(
            cell.translated(0, metrics.height()), Qt::AlignRight | Qt::AlignTop, Text(columns[c].unit));
        x += table.widths[c];
    }
    pages.y += 2 * metrics.height() + 0.5 * Unit;
    painter.setPen(QPen(Qt::black, 0.5 * Unit));
    painter.drawLine(QPointF(pages.Left(), pages.y), QPointF(x, pages.y));
    pages.y += 0.5 * Unit;
}

void SeriesTable(Pages& pages, const std::vector<Quantity>& columns, const std::vector<Row>& rows,
    std::size_t specimenRows)
{
    QPainter& painter = pages.Painter();
    const Table table = LayoutTable(painter.device(), pages.Width(), columns, rows);
    const QFontMetricsF metrics(table.font, painter.device());
    const double headerHeight = 2 * metrics.height() + Unit;
    pages.Need(headerHeight + 2 * table.row);
    TableHeader(pages, table, columns);
    double right = pages.Left() + table.fileWidth;
    for (const double w : table.widths)
        right += w;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (pages.Need(table.row))
            TableHeader(pages, table, columns);
        if (r == specimenRows) {
            painter.setPen(QPen(Qt::black, 0.5 * Unit));
            painter.drawLine(QPointF(pages.Left(), pages.y), QPointF(right, pages.y));
        } else if (r % 2 == 1 && r < specimenRows) {
            painter.fillRect(
                QRectF(pages.Left(), pages.y, right - pages.Left(), table.row), QColor(0xf2, 0xf2, 0xf2));
        }
        painter.setPen(Qt::black);
        const double baseline = pages.y + (table.row - metrics.height()) / 2 + metrics.ascent();
        painter.setFont(r >= specimenRows || rows[r].warned ? table.bold : table.font);
        if (rows[r].warned)
            painter.setPen(WarningColour);
        if (rows[r].excluded)
            painter.setPen(ExcludedColour);
        painter.drawText(QPointF(pages.Left() + table.padding, baseline),
            metrics.elidedText(rows[r].first, Qt::ElideMiddle, table.fileWidth - 2 * table.padding));
        painter.setPen(rows[r].excluded ? ExcludedColour : Qt::black);
        painter.setFont(table.font);
        double x = pages.Left() + table.fileWidth;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const QString& text = rows[r].second[c];
            painter.drawText(
                QPointF(x + table.widths[c] - table.padding - metrics.horizontalAdvance(text), baseline),
                text);
            x += table.widths[c];
        }
        pages.y += table.row;
    }
    pages.y += Unit;
}

std::vector<Row> TableRows(const std::vector<Quantity>& columns,
    const std::vector<const ReportEntry*>& evaluated, const standard::Statistics& statistics)
{
    std::vector<Row> rows;
    for (const ReportEntry* entry : evaluated) {
        const Result& r = entry->result;
        Row row {(r.warnings.empty() ? QString() : QStringLiteral("! "))
                + (entry->included ? QString() : QStringLiteral("(excluded) ")) + SpecimenName(r),
            {}, !r.warnings.empty(), !entry->included};
        for (const Quantity& column : columns)
            row.second.push_back(Cell(column, r));
        rows.push_back(std::move(row));
    }
    using Field = std::optional<double> standard::Statistic::*;
    const std::pair<QString, Field> statisticRows[] = {{QStringLiteral("mean"), &standard::Statistic::mean},
        {QStringLiteral("s"), &standard::Statistic::s}, {QStringLiteral("CoV %"), &standard::Statistic::CoV},
        {QStringLiteral("min"), &standard::Statistic::min},
        {QStringLiteral("max"), &standard::Statistic::max}};
    for (const auto& [name, field] : statisticRows) {
        Row row {name, {}, false, false};
        for (const Quantity& column : columns) {
            const standard::Statistic* statistic
                = column.statistics ? standard::FindStatistic(statistics, column.symbol) : nullptr;
            if (!statistic) {
                row.second.emplace_back();
                continue;
            }
            const bool cov = field == &standard::Statistic::CoV;
            row.second.push_back(Text(standard::FormatRounded(
                statistic->*field, cov ? standard::Rounding::CoV : *column.rounding)));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---- The pages of one specimen ----

struct Line {
    QString name, value, detail;
};

// What a value's line says beside it: its meaning, or why it is empty.
QString Detail(const Quantity& q, const Result& r, bool given)
{
    switch (q.id) {
    case QuantityId::ReH:
    case QuantityId::ReL:
        return given ? Text(q.meaning) : QStringLiteral("continuous yielding");
    case QuantityId::Rp:
        return given ? Text(q.meaning) : QStringLiteral("not reached");
    case QuantityId::Rf:
    case QuantityId::At:
        return given ? Text(q.meaning) : QStringLiteral("none: the test was unloaded, not broken");
    case QuantityId::A:
        if (!given)
            return QStringLiteral("none: no Lu given, and the test was unloaded");
        return r.A_from_curve.value_or(false)
            ? QStringLiteral("from the curve: At less the elastic part (no Lu given)")
            : Text(q.meaning) + QStringLiteral(", from Lu");
    case QuantityId::Z:
        return given ? Text(q.meaning) : QStringLiteral("no du or Su given");
    default:
        return Text(q.meaning);
    }
}

// How E was fitted: the method, the window, its records and r².
QString FitText(const standard::ModulusFit& fit)
{
    QString method;
    switch (fit.method) {
    case standard::FitMethod::Sdar:
        method = QStringLiteral("SDAR (ASTM E3076)");
        break;
    case standard::FitMethod::Passes:
        method = QStringLiteral("pass %1").arg(fit.pass.value_or(0));
        break;
    case standard::FitMethod::Range:
        method = QStringLiteral("--modulus-range");
        break;
    }
    return QStringLiteral("%1, fit over %2 to %3 MPa, %4 points, r\u00b2 = %5")
        .arg(method, QString::number(fit.lo, 'f', 0), QString::number(fit.hi, 'f', 0))
        .arg(fit.points)
        .arg(QString::number(fit.r2, 'f', 5));
}

// The quality metrics of ASTM E3076 in two lines, each value marked where it fails its check.
std::pair<QString, QString> ChecksText(const standard::SdarMetrics& m)
{
    const auto value = [](const std::optional<double>& v, bool passes) {
        const QString text = v ? QString::number(*v, 'f', 2) : Dash;
        return passes ? text : text + QStringLiteral(" (fails)");
    };
    const standard::SdarChecks& c = m.checks;
    return {QStringLiteral("noise %1 / %2, resolution %3 / %4 in strain / stress")
                .arg(value(m.x_noise, c.xNoise), value(m.y_noise, c.yNoise),
                    value(m.x_resolution, c.xResolution), value(m.y_resolution, c.yResolution)),
        QStringLiteral("residual slope %1 / %2 at start / end, fit range %3")
            .arg(value(m.q1, c.q1), value(m.q4, c.q4), value(m.fit_range, c.fitRange))};
}

// Every value the report rounds, in the table's order; S0 and L0 stand above the chart instead.
std::vector<Line> SpecimenLines(const Result& r, const std::vector<Quantity>& columns)
{
    std::vector<Line> lines;
    for (const Quantity& q : columns) {
        if (q.id == QuantityId::S0 || q.id == QuantityId::L0)
            continue;
        const std::optional<double> v = q.Number(r);
        const QString text = Text(standard::FormatRounded(v, *q.rounding));
        if (q.id == QuantityId::E) {
            if (!r.E)
                continue;
            lines.push_back({QStringLiteral("E"), text + QStringLiteral(" GPa"), FitText(*r.E)});
            if (r.E->sdar) {
                const auto [noise, curvature] = ChecksText(*r.E->sdar);
                lines.push_back({QStringLiteral("E3076"),
                    r.E->sdar->passed ? QStringLiteral("pass") : QStringLiteral("fail"), noise});
                lines.push_back({QString(), QString(), curvature});
            }
            if (r.e0)
                lines.push_back({QStringLiteral("e0"),
                    QString::number(std::abs(*r.e0 * 100) < 0.0005 ? 0.0 : *r.e0 * 100, 'f', 3)
                        + QStringLiteral(" %"),
                    QStringLiteral("strain origin: where the elastic line crosses zero stress")});
            continue;
        }
        lines.push_back({Text(q.symbol), v ? text + QStringLiteral(" ") + Text(q.unit) : text,
            Detail(q, r, v.has_value())});
    }
    return lines;
}

void SpecimenPage(Pages& pages, const ReportEntry& entry, const std::vector<Quantity>& columns)
{
    const Result& r = entry.result;
    QPainter& painter = pages.Painter();
    Paragraph(pages, common::DisplayNameText(r.file), Font(12, true));
    pages.y += 1 * Unit;
    QStringList specimen;
    if (r.id)
        specimen << QStringLiteral("Specimen %1").arg(Text(*r.id));
    if (r.material)
        specimen << QStringLiteral("material %1").arg(Text(*r.material));
    if (!specimen.isEmpty())
        Paragraph(pages, specimen.join(QStringLiteral(",  ")), Font(9));
    if (!entry.included)
        Paragraph(pages, QStringLiteral("Excluded from the series: not in its statistics."), Font(9, true), 0,
            ExcludedColour);
    QStringList geometry;
    geometry
        << QStringLiteral("S0 = %1 mm²").arg(Text(standard::FormatRounded(r.S0, standard::Rounding::Area)))
        << QStringLiteral("L0 = %1 mm").arg(Text(standard::FormatRounded(r.L0, standard::Rounding::Length)))
        << QStringLiteral("%1 records").arg(r.records.value_or(0));
    if (r.skipped.value_or(0) > 0)
        geometry << QStringLiteral("%1 skipped").arg(*r.skipped);
    Paragraph(pages, geometry.join(QStringLiteral(",  ")), Font(9));
    pages.y += 3 * Unit;
    if (!r.warnings.empty()) {
        // Above the chart, where no one reads past them.
        for (const std::string& warning : r.warnings)
            Paragraph(pages, QStringLiteral("Warning: ") + Text(warning), Font(9, true), 0, WarningColour);
        pages.y += 3 * Unit;
    }

    // The whole curve, and beside it its start, where the elastic line, the offset lines and the
    // yield points lie too close together at the scale of the whole.
    const double chartHeight = std::min(pages.Width() * 0.5, pages.Remaining() * 0.5);
    const double gap = 6 * Unit;
    const double wide = (pages.Width() - gap) * 0.58;
    PaintChart(painter, QRectF(pages.Left(), pages.y, wide, chartHeight), Unit, entry.chart);
    PaintChart(painter, QRectF(pages.Left() + wide + gap, pages.y, pages.Width() - wide - gap, chartHeight),
        Unit, ZoomOnYielding(entry.chart));
    pages.y += chartHeight + 5 * Unit;

    const QFont font = Font(9), bold = Font(9, true);
    const QFontMetricsF metrics(font, painter.device());
    const double row = metrics.height() * 1.3;
    const double nameWidth = 14 * Millimetre, valueWidth = 28 * Millimetre;
    for (const Line& line : SpecimenLines(r, columns)) {
        pages.Need(row);
        const double baseline = pages.y + metrics.ascent();
        painter.setFont(bold);
        painter.drawText(QPointF(pages.Left(), baseline), line.name);
        painter.setFont(font);
        painter.drawText(
            QPointF(pages.Left() + nameWidth + valueWidth - metrics.horizontalAdvance(line.value), baseline),
            line.value);
        painter.setPen(QColor(0x44, 0x44, 0x44));
        painter.drawText(QPointF(pages.Left() + nameWidth + valueWidth + 6 * Unit, baseline),
            metrics.elidedText(
                line.detail, Qt::ElideRight, pages.Width() - nameWidth - valueWidth - 6 * Unit));
        painter.setPen(Qt::black);
        pages.y += row;
    }
    if (!r.notes.empty()) {
        pages.y += 3 * Unit;
        pages.Need(2 * row);
        Paragraph(pages, QStringLiteral("Notes"), bold);
        for (const std::string& note : r.notes)
            Paragraph(pages, QStringLiteral("\u2022 ") + Text(note), font, 2 * Unit);
    }
}

}  // namespace

std::string WritePdfReport(const QString& path, const ReportSettings& settings,
    const std::vector<ReportEntry>& entries, const standard::Statistics& statistics)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString();
    {
        QPdfWriter writer(&file);
        writer.setResolution(Resolution);
        writer.setTitle(Text(settings.title));
        writer.setCreator(QStringLiteral("Tenso %1").arg(Text(settings.version)));
        writer.setPageLayout(
            QPageLayout(QPageSize(settings.page == PageSize::Letter ? QPageSize::Letter : QPageSize::A4),
                QPageLayout::Portrait, QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("cannot write %1: the PDF cannot be started").arg(path).toStdString();
        Pages pages(
            writer, painter, Text(settings.title) + QStringLiteral(" \u00b7 ") + When(settings.evaluated));

        const std::vector<Quantity> columns = Columns(settings.options.proofPercents);
        std::vector<Quantity> tableColumns;
        std::copy_if(columns.begin(), columns.end(), std::back_inserter(tableColumns),
            [](const Quantity& q) { return q.seriesTable; });
        std::vector<const ReportEntry*> evaluated, failed;
        for (const ReportEntry& entry : entries)
            (entry.result.error ? failed : evaluated).push_back(&entry);

        Paragraph(pages, Text(settings.title), Font(16, true));
        pages.y += 2 * Unit;
        Paragraph(pages,
            QStringLiteral("Evaluated %1: %2 of %3 files.")
                .arg(When(settings.evaluated))
                .arg(evaluated.size())
                .arg(entries.size()),
            Font(9));
        Paragraph(pages, Parameters(settings), Font(9));
        pages.y += 4 * Unit;

        const std::vector<Row> rows = TableRows(tableColumns, evaluated, statistics);
        SeriesTable(pages, tableColumns, rows, evaluated.size());
        const bool anyFromCurve = std::any_of(evaluated.begin(), evaluated.end(),
            [](const ReportEntry* e) { return e->result.A && e->result.A_from_curve.value_or(false); });
        if (anyFromCurve)
            Paragraph(pages,
                QStringLiteral("* A from the curve: At less the elastic part, since no Lu was given."),
                Font(7));
        if (std::any_of(
                evaluated.begin(), evaluated.end(), [](const ReportEntry* e) { return !e->included; }))
            Paragraph(pages,
                QStringLiteral("(excluded): left out of the series by the user; not in the statistics or "
                               "the chart of the series."),
                Font(7));

        const bool anyWarning = std::any_of(evaluated.begin(), evaluated.end(),
            [](const ReportEntry* e) { return !e->result.warnings.empty(); });
        if (anyWarning) {
            pages.y += 4 * Unit;
            Paragraph(
                pages, QStringLiteral("Warnings (the rows marked !)"), Font(10, true), 0, WarningColour);
            for (const ReportEntry* entry : evaluated)
                for (const std::string& warning : entry->result.warnings)
                    Paragraph(pages, SpecimenName(entry->result) + QStringLiteral(": ") + Text(warning),
                        Font(8), 2 * Unit, WarningColour);
        }

        if (!failed.empty()) {
            pages.y += 4 * Unit;
            Paragraph(pages, QStringLiteral("Not evaluated"), Font(10, true));
            for (const ReportEntry* entry : failed)
                Paragraph(pages,
                    common::DisplayNameText(entry->result.file) + QStringLiteral(": ")
                        + Text(*entry->result.error),
                    Font(8), 2 * Unit);
        }

        if (!evaluated.empty()) {
            // The chart of all curves below the table, or on a page of its own when less than
            // 100 mm is left.
            pages.y += 6 * Unit;
            pages.Need(100 * Millimetre);
            std::vector<const ChartData*> charts;
            charts.reserve(evaluated.size());
            for (const ReportEntry* entry : evaluated)
                if (entry->included)
                    charts.push_back(&entry->chart);
            const double height = std::min(pages.Remaining(), pages.Width() * 0.85);
            PaintSeriesChart(painter, QRectF(pages.Left(), pages.y, pages.Width(), height), Unit, charts);
        }

        for (const ReportEntry* entry : evaluated) {
            pages.NewPage();
            SpecimenPage(pages, *entry, columns);
        }
        pages.Finish();
        if (!painter.end())
            return QStringLiteral("cannot write %1: the PDF cannot be finished").arg(path).toStdString();
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString();
    return {};
}

}  // namespace tenso::report
