#include "validation_pdf.h"

#include "pdf_pages.h"
#include "pdf_style.h"
#include "raw_text.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace tenso::report {

namespace {

using pdf::Font;
using pdf::Millimetre;
using pdf::Resolution;
using pdf::Unit;

const QColor FailColour(0xa0, 0x10, 0x10);
const QColor PassColour(0x1a, 0x5e, 0x20);
const QColor Grey(0x55, 0x55, 0x55);
const QColor Shade(0xf2, 0xf2, 0xf2);
const QString Title = QStringLiteral("Software validation record");

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The record's pages, footed "Page n of m" (m from a first pass that only counts the pages).
using Sheet = pdf::Pages;
using pdf::Paragraph;

void Heading(Sheet& sheet, const QString& text)
{
    sheet.y += 5 * Unit;
    // A heading never stands alone at the foot of a page.
    sheet.Need(14 * Millimetre);
    Paragraph(sheet, text, Font(11, true));
    sheet.y += 2 * Unit;
}

// ---- What was run, where and when ----

void Identification(Sheet& sheet, const ValidationRun& run)
{
    const std::size_t suiteChecks = [&] {
        std::size_t n = 0;
        for (const CaseOutcome& c : run.cases)
            n += c.name == "reference" ? 0 : c.checks.size();
        return n;
    }();
    const std::size_t suiteCases = static_cast<std::size_t>(
        std::ranges::count_if(run.cases, [](const CaseOutcome& c) { return c.name != "reference"; }));
    std::vector<std::pair<QString, QString>> fields = {
        {QStringLiteral("Software"), QStringLiteral("Tenso %1, tenso-report").arg(Text(run.version))},
        {QStringLiteral("Program"), common::DisplayNameText(run.program)},
        {QStringLiteral("Rules"), Text(run.rules)},
        {QStringLiteral("Date"), Text(run.date)},
        {QStringLiteral("Machine"), Text(run.host)},
        {QStringLiteral("System"), Text(run.system)},
        {QStringLiteral("Suite"),
            QStringLiteral("%1 (%2 cases, %3 checks)").arg(Text(run.suite)).arg(suiteCases).arg(suiteChecks)},
    };
    for (const CaseOutcome& c : run.cases)
        if (c.name == "reference")
            fields.emplace_back(QStringLiteral("Reference"), Text(c.purpose));

    QPainter& painter = sheet.Painter();
    const QFont font = Font(9), bold = Font(9, true);
    const double labelWidth = 22 * Millimetre;
    for (const auto& [label, value] : fields) {
        const QRectF room(sheet.Left() + labelWidth, 0, sheet.Width() - labelWidth, 1e9);
        painter.setFont(font);
        const QRectF bounds
            = painter.boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, value);
        sheet.Need(bounds.height());
        painter.setFont(bold);
        painter.drawText(
            QRectF(sheet.Left(), sheet.y, labelWidth, bounds.height()), Qt::AlignLeft | Qt::AlignTop, label);
        painter.setFont(font);
        painter.drawText(QRectF(room.left(), sheet.y, room.width(), bounds.height() + Unit),
            Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, value);
        sheet.y += bounds.height() + 1.5 * Unit;
    }
}

QString Verdict(const ValidationRun& run)
{
    if (run.AllPassed())
        return QStringLiteral("Result: all %1 checks passed.").arg(run.Total());
    return QStringLiteral("Result: %1 of %2 checks passed; %3 failed.")
        .arg(run.Passed())
        .arg(run.Total())
        .arg(run.Total() - run.Passed());
}

// ---- The cases ----

void Cases(Sheet& sheet, const ValidationRun& run)
{
    Heading(sheet, QStringLiteral("Cases"));
    const QFont font = Font(9), bold = Font(9, true);
    for (const CaseOutcome& c : run.cases) {
        // The name and the first lines of its purpose stay on one page.
        sheet.Need(12 * Millimetre);
        Paragraph(sheet, Text(c.name) + QStringLiteral("  \u00b7  ") + common::DisplayNameText(c.file), bold);
        Paragraph(sheet, Text(c.purpose), font, 4 * Millimetre);
        if (!c.error.empty())
            Paragraph(
                sheet, QStringLiteral("Not evaluated: ") + Text(c.error), font, 4 * Millimetre, FailColour);
        sheet.y += 2.5 * Unit;
    }
}

// ---- The table of checks ----

struct Row {
    std::vector<QString> cells;  // case, quantity, expected, computed, tolerance, result
    bool passed = true;
    QString reason;
};

struct Layout {
    QFont font, bold;
    double row = 0, padding = 0;
    std::vector<double> widths;
};

const std::vector<QString>& Headings()
{
    static const std::vector<QString> headings
        = {QStringLiteral("Case"), QStringLiteral("Quantity"), QStringLiteral("Expected"),
            QStringLiteral("Computed"), QStringLiteral("Tolerance"), QStringLiteral("Result")};
    return headings;
}

std::vector<Row> CheckRows(const ValidationRun& run)
{
    std::vector<Row> rows;
    for (const CaseOutcome& c : run.cases) {
        for (const Check& k : c.checks) {
            const QString quantity = k.unit.empty() || k.unit == "-"
                ? Text(k.quantity)
                : QStringLiteral("%1 [%2]").arg(Text(k.quantity), Text(k.unit));
            rows.push_back({{Text(c.name), quantity, Text(k.expected), Text(k.computed),
                                k.tolerance.empty() ? QStringLiteral("exact") : Text(k.tolerance),
                                k.passed ? QStringLiteral("pass") : QStringLiteral("FAIL")},
                k.passed, Text(k.reason)});
        }
    }
    return rows;
}

// The largest font from 8 down to 5.5 points at which every column fits the width; the spare width
// goes to the columns alike, so that the table spans the page.
Layout LayOut(const QPaintDevice* device, double width, const std::vector<Row>& rows)
{
    Layout layout;
    for (double points = 8; points >= 5.5; points -= 0.5) {
        layout.font = Font(points);
        layout.bold = Font(points, true);
        const QFontMetricsF metrics(layout.font, device), boldMetrics(layout.bold, device);
        layout.padding = 2 * Unit;
        layout.row = metrics.height() * 1.35;
        layout.widths.assign(Headings().size(), 0);
        for (std::size_t c = 0; c < Headings().size(); ++c) {
            double w = boldMetrics.horizontalAdvance(Headings()[c]);
            for (const Row& row : rows)
                w = std::max(w, (c == 5 ? boldMetrics : metrics).horizontalAdvance(row.cells[c]));
            layout.widths[c] = w + 2 * layout.padding;
        }
        double total = 0;
        for (const double w : layout.widths)
            total += w;
        if (total <= width || points <= 5.5) {
            for (double& w : layout.widths)
                w += std::max(0.0, width - total) / static_cast<double>(layout.widths.size());
            break;
        }
    }
    return layout;
}

void TableHeader(Sheet& sheet, const Layout& layout)
{
    QPainter& painter = sheet.Painter();
    const QFontMetricsF metrics(layout.bold, painter.device());
    painter.setFont(layout.bold);
    double x = sheet.Left();
    for (std::size_t c = 0; c < Headings().size(); ++c) {
        painter.drawText(QPointF(x + layout.padding, sheet.y + metrics.ascent()), Headings()[c]);
        x += layout.widths[c];
    }
    sheet.y += metrics.height() + Unit;
    painter.setPen(QPen(Qt::black, 0.5 * Unit));
    painter.drawLine(QPointF(sheet.Left(), sheet.y), QPointF(sheet.Right(), sheet.y));
    painter.setPen(Qt::black);
    sheet.y += 0.5 * Unit;
}

void ChecksTable(Sheet& sheet, const ValidationRun& run)
{
    Heading(sheet, QStringLiteral("Checks"));
    Paragraph(sheet,
        QStringLiteral("Each value as Tenso computes it, at full precision, against the value the case is "
                       "built to have. A tolerance in % is relative to the expected value, one with a unit "
                       "(pp: percentage points) absolute. 1e-7 % is one part in a thousand million: the "
                       "value is exact by construction, and only the rounding of double precision is left."),
        Font(8), 0, Grey);
    sheet.y += 2 * Unit;
    QPainter& painter = sheet.Painter();
    const std::vector<Row> rows = CheckRows(run);
    const Layout layout = LayOut(painter.device(), sheet.Width(), rows);
    const QFontMetricsF metrics(layout.font, painter.device());
    sheet.Need(metrics.height() * 2 + 3 * layout.row);
    TableHeader(sheet, layout);
    bool shaded = true;  // rows of one case share a shade, so that the cases stand apart
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const bool first = r == 0 || rows[r - 1].cells[0] != row.cells[0];
        if (first)
            shaded = !shaded;
        const bool newPage = sheet.Need(layout.row);
        if (newPage)
            TableHeader(sheet, layout);
        const bool named = first || newPage;  // a page that starts within a case names it again
        if (shaded)
            painter.fillRect(QRectF(sheet.Left(), sheet.y, sheet.Width(), layout.row), Shade);
        const double baseline = sheet.y + (layout.row - metrics.height()) / 2 + metrics.ascent();
        double x = sheet.Left();
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const bool result = c + 1 == row.cells.size();
            painter.setFont(result ? layout.bold : layout.font);
            painter.setPen(result ? (row.passed ? PassColour : FailColour) : QColor(Qt::black));
            if (c > 0 || named)
                painter.drawText(QPointF(x + layout.padding, baseline), row.cells[c]);
            x += layout.widths[c];
        }
        painter.setPen(Qt::black);
        sheet.y += layout.row;
        if (!row.passed && !row.reason.isEmpty()) {
            // Why it failed, on a line of its own below the row, in the row's shade.
            const double indent = layout.widths[0] + layout.padding;
            const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
            painter.setFont(layout.font);
            const QRectF room(sheet.Left() + indent, 0, sheet.Width() - indent - layout.padding, 1e9);
            const double height = painter.boundingRect(room, flags, row.reason).height() + Unit;
            sheet.Need(height);
            if (shaded)
                painter.fillRect(QRectF(sheet.Left(), sheet.y, sheet.Width(), height), Shade);
            painter.setPen(FailColour);
            painter.drawText(QRectF(room.left(), sheet.y, room.width(), height), flags, row.reason);
            painter.setPen(Qt::black);
            sheet.y += height;
        }
    }
    painter.setPen(QPen(Qt::black, 0.5 * Unit));
    painter.drawLine(QPointF(sheet.Left(), sheet.y), QPointF(sheet.Right(), sheet.y));
    painter.setPen(Qt::black);
    sheet.y += 4 * Unit;
    Paragraph(sheet, QStringLiteral("%1 of %2 checks passed").arg(run.Passed()).arg(run.Total()),
        Font(10, true), 0, run.AllPassed() ? PassColour : FailColour);
}

// ---- Signatures ----

void Signatures(Sheet& sheet)
{
    QPainter& painter = sheet.Painter();
    const QFont font = Font(9), bold = Font(9, true), small = Font(7);
    const QFontMetricsF metrics(font, painter.device());
    const double line = 13 * Millimetre;
    // The whole block on one page, headed and with both rows.
    sheet.y += 6 * Unit;
    sheet.Need(3 * line + 20 * Millimetre);
    Heading(sheet, QStringLiteral("Review and approval"));
    Paragraph(sheet,
        QStringLiteral("The record is complete when it has been prepared and reviewed: the version and the "
                       "machine above are those in use, and every check passed."),
        Font(8), 0, Grey);
    sheet.y += 3 * Unit;
    const double labelWidth = 26 * Millimetre, gap = 5 * Millimetre;
    const double free = sheet.Width() - labelWidth - 2 * gap;
    const double widths[] = {free * 0.38, free * 0.38, free * 0.24};
    const QString captions[] = {QStringLiteral("Name"), QStringLiteral("Signature"), QStringLiteral("Date")};
    for (const QString& role : {QStringLiteral("Prepared by"), QStringLiteral("Reviewed by")}) {
        const double baseline = sheet.y + line * 0.6;
        painter.setFont(bold);
        painter.drawText(QPointF(sheet.Left(), baseline), role);
        double x = sheet.Left() + labelWidth;
        for (std::size_t k = 0; k < 3; ++k) {
            painter.setPen(QPen(Qt::black, 0.5 * Unit));
            painter.drawLine(QPointF(x, baseline + metrics.descent()),
                QPointF(x + widths[k], baseline + metrics.descent()));
            painter.setPen(Grey);
            painter.setFont(small);
            painter.drawText(
                QPointF(x, baseline + metrics.descent() + QFontMetricsF(small, painter.device()).height()),
                captions[k]);
            painter.setPen(Qt::black);
            x += widths[k] + gap;
        }
        sheet.y += line;
    }
}

// The whole record; `total` is the number of pages for the footers (0 while they are counted).
// Returns the number of pages, or 0 when the painter cannot be started or finished.
int PaintRecord(QPdfWriter& writer, const ValidationRun& run, int total)
{
    QPainter painter;
    if (!painter.begin(&writer))
        return 0;
    Sheet sheet(writer, painter,
        QStringLiteral("%1 \u00b7 Tenso %2 \u00b7 %3 \u00b7 %4")
            .arg(Title, Text(run.version), Text(run.date), Text(run.host)),
        total);
    Paragraph(sheet, Title, Font(16, true));
    sheet.y += 2 * Unit;
    Paragraph(sheet,
        QStringLiteral(
            "Known-answer tests of tenso-report, the evaluation of tensile tests by ISO 6892-1, "
            "run on the machine below: the record that ISO/\u2060IEC 17025 asks a laboratory to keep "
            "for the software that computes its results. Each case is a synthetic export built "
            "so that its answers follow from its construction; the derivations are in README.md "
            "beside the cases."),
        Font(9));
    sheet.y += 4 * Unit;
    Identification(sheet, run);
    sheet.y += 2 * Unit;
    Paragraph(sheet, Verdict(run), Font(11, true), 0, run.AllPassed() ? PassColour : FailColour);
    Cases(sheet, run);
    ChecksTable(sheet, run);
    Signatures(sheet);
    const int pages = sheet.Finish();
    return painter.end() ? pages : 0;
}

void SetUp(QPdfWriter& writer, const ValidationRun& run, PageSize page)
{
    writer.setResolution(Resolution);
    writer.setTitle(Title);
    writer.setCreator(QStringLiteral("Tenso %1").arg(Text(run.version)));
    writer.setPageLayout(QPageLayout(QPageSize(page == PageSize::Letter ? QPageSize::Letter : QPageSize::A4),
        QPageLayout::Portrait, QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter));
}

void Message(const std::string& text) { std::fprintf(stderr, "tenso-report: %s\n", text.c_str()); }

// A --pdf whose folder is missing, or that names a folder, is a usage error before anything runs.
void CheckPdfPath(const std::string& pdf)
{
    const QFileInfo file(DecodeArgument(pdf));
    if (file.isDir())
        throw UsageError("--pdf: \"" + pdf + "\" is a folder, not a file name");
    if (!file.absoluteDir().exists())
        throw UsageError("--pdf: the folder of \"" + pdf + "\" does not exist");
}

}  // namespace

std::string WriteValidationPdf(const QString& path, const ValidationRun& run, PageSize page)
{
    // The footers say "Page n of m": a first pass into memory counts the pages.
    int total = 0;
    {
        QBuffer scratch;
        scratch.open(QIODevice::WriteOnly);
        QPdfWriter writer(&scratch);
        SetUp(writer, run, page);
        total = PaintRecord(writer, run, 0);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString();
    {
        QPdfWriter writer(&file);
        SetUp(writer, run, page);
        if (total == 0 || PaintRecord(writer, run, total) == 0)
            return QStringLiteral("cannot write %1: the PDF cannot be made").arg(path).toStdString();
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString();
    return {};
}

int RunValidation(const Settings& settings, const standard::SpecimenTable* table)
{
    if (!settings.charts.pdf.empty())
        CheckPdfPath(settings.charts.pdf);
    const SuiteLocation suite = FindSuite();
    if (suite.folder.empty()) {
        std::string searched;
        for (const std::string& folder : suite.searched)
            searched += (searched.empty() ? "" : " nor ") + folder;
        Message(
            "the validation suite is missing: neither " + searched + " holds its cases.csv; reinstall Tenso");
        return 1;
    }
    ValidationRun run;
    try {
        run = RunValidationSuite(suite.folder, settings, table);
    } catch (const UsageError&) {
        throw;
    } catch (const std::exception& e) {
        Message(std::string("the validation suite cannot be read: ") + e.what());
        return 1;
    }

    bool written = true;
    const std::string text = ValidationText(run);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        Message(std::string("cannot write the record to standard output: ") + std::strerror(errno));
        written = false;
    }
    if (!settings.charts.pdf.empty()) {
        const std::string error
            = WriteValidationPdf(DecodeArgument(settings.charts.pdf), run, settings.charts.page);
        if (!error.empty()) {
            Message(error);
            written = false;
        }
    }
    return run.AllPassed() && written ? 0 : 1;
}

}  // namespace tenso::report
