#include "validation.h"

#include "fields.h"
#include "problem_text.h"
#include "raw_text.h"
#include "series.h"

#include "standard/text.h"
#include "standard/units.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>
#include <QTimeZone>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace tenso::report {
namespace {

using standard::Quantity;
using standard::Value;

// ---- Reading the small CSV files of the suite ----

std::string trimmed(std::string_view text) { return std::string(standard::TrimBlanks(text)); }

// The fields of one line: ',' separates outside double quotes, `""` inside them is one quote;
// blanks around a field are dropped.
std::vector<std::string> csvFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                field += line[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(trimmed(field));
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(trimmed(field));
    return fields;
}

// The lines of a text file without their line ends (LF or CR LF) and without a UTF-8 byte order
// mark; throws std::runtime_error naming the file when it cannot be read.
std::vector<std::string> textLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lines.empty() && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        lines.push_back(std::move(line));
    }
    if (in.bad())
        throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
    return lines;
}

bool skipped(std::string_view line)
{
    const std::string_view text = standard::TrimBlanks(line);
    return text.empty() || text.front() == '#';
}

// ---- Numbers with units ----

struct Amount {
    double value = 0;
    std::string unit;  // as written, blanks dropped; empty for none
};

// "1e-7 %", "2 MPa", "0.5GPa", "200": a number with a '.' mark and an optional exponent, then an
// optional unit. nullopt for anything else, and for a number beyond the double range.
std::optional<Amount> readAmount(std::string_view text)
{
    text = standard::TrimBlanks(text);
    const bool plus = !text.empty() && text.front() == '+';
    const char* first = text.data() + (plus ? 1 : 0);
    const char* last = text.data() + text.size();
    if (first == last || (plus && *first == '-'))
        return std::nullopt;
    Amount amount;
    const auto [end, ec] = std::from_chars(first, last, amount.value, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(amount.value))
        return std::nullopt;
    amount.unit = trimmed(std::string_view(end, static_cast<std::size_t>(last - end)));
    // from_chars reads "1." and ".5"; a unit must not run on from the digits of a second number.
    if (!amount.unit.empty()
        && (std::isdigit(static_cast<unsigned char>(amount.unit.front())) != 0 || amount.unit.front() == '.'
            || amount.unit.front() == ','))
        return std::nullopt;
    return amount;
}

// A unit as compared: lower case, `²` and `^2` as 2, `µ` as u.
std::string unitKey(std::string_view unit)
{
    std::string key = standard::FoldCase(standard::TrimBlanks(unit));
    for (const auto& [from, to] : {std::pair<std::string_view, std::string_view> {"\xC2\xB2", "2"},
             {"^2", "2"}, {"\xC2\xB5", "u"}, {"\xCE\xBC", "u"}}) {
        for (std::size_t at = key.find(from); at != std::string::npos; at = key.find(from, at))
            key.replace(at, from.size(), to);
    }
    return key;
}

// The factor that turns an amount in `given` into the quantity's own unit: 1 for the same unit,
// the ratio of the rules' factors for another of its kind (MPa for a value in GPa, N for kN).
std::optional<double> unitFactor(std::string_view given, std::string_view own)
{
    if (unitKey(given) == unitKey(own))
        return 1.0;
    const std::optional<standard::Unit> from = standard::FindUnit(given), to = standard::FindUnit(own);
    if (!from || !to || from->kind != to->kind || from->kind == standard::UnitKind::Time)
        return std::nullopt;
    return from->factor / to->factor;
}

bool unitless(const Quantity& q) { return q.unit.empty() || q.unit == "-"; }

// A difference as the messages give it: in the quantity's unit, in percentage points for one in %.
std::string absoluteText(double value, const Quantity& q)
{
    std::string number = standard::MessageText(value);
    if (unitless(q))
        return number;
    return number + " " + (q.unit == "%" ? std::string("pp") : q.unit);
}

// ---- Tolerances ----

struct Tolerance {
    double value = 0;
    bool relative = false;  // value in per cent of the expected value
};

// Empty: exact. "N %": N per cent of the expected value. "N pp": N percentage points, for a value in
// %. "N UNIT": absolute, in the quantity's unit or one of its kind. "N": absolute, for a value
// without a unit, or 0 for any. Returns the tolerance or why it cannot be read.
std::variant<Tolerance, std::string> readTolerance(const std::string& text, const Quantity& q)
{
    if (standard::TrimBlanks(text).empty())
        return Tolerance {};
    const std::optional<Amount> a = readAmount(text);
    if (!a)
        return "the tolerance \"" + text + "\" is no number with a unit or %";
    if (a->value < 0)
        return "the tolerance \"" + text + "\" is negative";
    if (a->unit == "%")
        return Tolerance {a->value, true};
    if (unitKey(a->unit) == "pp") {
        if (q.unit != "%")
            return "the tolerance \"" + text + "\" is in percentage points, but " + q.symbol + " is in "
                + (unitless(q) ? std::string("no unit") : q.unit);
        return Tolerance {a->value, false};
    }
    if (a->unit.empty()) {
        if (unitless(q) || a->value == 0)
            return Tolerance {a->value, false};
        return "the tolerance \"" + text + "\" needs a unit (" + (q.unit == "%" ? "pp" : q.unit)
            + ") or % of the expected value";
    }
    if (const std::optional<double> factor = unitless(q) ? std::nullopt : unitFactor(a->unit, q.unit))
        return Tolerance {a->value * *factor, false};
    return "the tolerance \"" + text + "\" is in " + a->unit + ", which is no unit of " + q.symbol + " ("
        + (unitless(q) ? std::string("none") : q.unit) + ")";
}

// ---- The values ----

// The value of a quantity that is a word (the method of a fit), should the table hold one: compared
// as text. nullopt for a number, a count, a flag or none.
std::optional<std::string> wordOf(const Value& v)
{
    return std::visit(
        [](const auto& held) -> std::optional<std::string> {
            if constexpr (std::is_convertible_v<decltype(held), std::string_view>)
                return std::string(std::string_view(held));
            else
                return std::nullopt;
        },
        v);
}

std::string valueText(const Value& v) { return ValueText(v).value_or("none"); }

// A name as compared: ASCII lower case, '_' and '.' as blanks, runs of blanks as one.
std::string nameKey(std::string_view name)
{
    std::string key;
    for (const char c : standard::TrimBlanks(name)) {
        const char d = c == '_' || c == '.' || c == '\t' ? ' ' : c;
        if (d == ' ' && (key.empty() || key.back() == ' '))
            continue;
        key += (d >= 'A' && d <= 'Z') ? static_cast<char>(d - 'A' + 'a') : d;
    }
    if (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

Check failed(Check check, std::string reason)
{
    check.passed = false;
    check.reason = std::move(reason);
    return check;
}

// The proof strengths of the table, for the message about one it does not have.
std::string proofList(const std::vector<Quantity>& table)
{
    std::string list;
    for (const Quantity& q : table)
        if (q.id == standard::QuantityId::Rp)
            list += (list.empty() ? "" : ", ") + q.symbol;
    return list;
}

// ---- The run ----

QDateTime runTime()
{
    // SOURCE_DATE_EPOCH, as for the test report: a record made for the documentation stays the same.
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok)
        return QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc());
    return QDateTime::currentDateTime();
}

// The processor's name where the system tells it (Linux); empty elsewhere.
std::string processorModel()
{
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.starts_with("model name"))
            continue;
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            return trimmed(std::string_view(line).substr(colon + 1));
    }
    return {};
}

std::string systemText()
{
    std::string text = QSysInfo::prettyProductName().toStdString() + ", "
        + QSysInfo::kernelType().toStdString() + " " + QSysInfo::kernelVersion().toStdString() + ", "
        + QSysInfo::currentCpuArchitecture().toStdString();
    if (const std::string model = processorModel(); !model.empty())
        text += ", " + model;
    return text;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

struct SuiteCase {
    std::string name, data, expected, purpose;
};

// The suite's list of cases: a header row naming the columns case, data, expected and purpose.
std::vector<SuiteCase> readSuite(const std::string& folder)
{
    const std::string path = joinPath(folder, "cases.csv");
    std::vector<std::string> header;
    std::vector<SuiteCase> cases;
    for (const std::string& line : textLines(path)) {
        if (skipped(line))
            continue;
        std::vector<std::string> fields = csvFields(line);
        if (header.empty()) {
            header = std::move(fields);
            continue;
        }
        const auto field = [&](std::string_view column) {
            const auto at = std::ranges::find(header, column);
            const auto k = static_cast<std::size_t>(at - header.begin());
            return k < fields.size() ? fields[k] : std::string();
        };
        SuiteCase c {field("case"), field("data"), field("expected"), field("purpose")};
        if (c.name.empty() || c.data.empty() || c.expected.empty())
            throw std::runtime_error(path + ": a case needs its name, data file and expected values");
        cases.push_back(std::move(c));
    }
    if (cases.empty())
        throw std::runtime_error(path + " lists no case");
    return cases;
}

// Evaluates one case's export and compares each expected value; a file that cannot be evaluated
// fails every check with its message.
CaseOutcome runCase(CaseOutcome outcome, const std::vector<Expectation>& expected,
    const standard::Result& result, const std::vector<Quantity>& table)
{
    if (result.error) {
        outcome.error = result.problem ? ProblemText(*result.problem) : *result.error;
        for (const Expectation& x : expected)
            outcome.checks.push_back(failed(Check {x.quantity, x.expected, x.tolerance, {}, {}, false, {}},
                "not evaluated: " + outcome.error));
        return outcome;
    }
    for (const Expectation& x : expected)
        outcome.checks.push_back(Judge(x, result, table));
    return outcome;
}

// ---- The text ----

// Columns are padded by characters, not bytes: µm and mm² take one place each.
std::size_t shownWidth(std::string_view text)
{
    return static_cast<std::size_t>(
        std::ranges::count_if(text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U; }));
}

std::string padded(const std::string& text, std::size_t width)
{
    const std::size_t shown = shownWidth(text);
    return shown >= width ? text : text + std::string(width - shown, ' ');
}

}  // namespace

std::vector<Expectation> ReadExpectations(const std::string& path)
{
    const std::vector<std::string> lines = textLines(path);
    std::vector<Expectation> rows;
    bool first = true;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (skipped(lines[n]))
            continue;
        const std::vector<std::string> fields = csvFields(lines[n]);
        if (std::exchange(first, false) && nameKey(fields[0]) == "quantity")
            continue;
        Expectation row;
        row.line = n + 1;
        if (fields.size() < 2 || fields.size() > 3 || fields[0].empty()) {
            row.quantity = fields[0].empty() ? "line " + std::to_string(n + 1) : fields[0];
            row.problem = path + " line " + std::to_string(n + 1)
                + ": a row is quantity,expected,tolerance (the tolerance may be empty)";
        } else {
            row.quantity = fields[0];
            row.expected = fields[1];
            row.tolerance = fields.size() > 2 ? fields[2] : std::string();
        }
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        throw std::runtime_error(path + " holds no expected value (rows quantity,expected,tolerance)");
    return rows;
}

const Quantity* FindQuantity(const std::vector<Quantity>& table, const std::string& name)
{
    for (const Quantity& q : table)
        if (q.symbol == name)
            return &q;
    const std::string key = nameKey(name);
    for (const Quantity& q : table)
        if (nameKey(q.symbol) == key)
            return &q;
    // A member of the modulus fit by its JSON key, with or without "E" or "sdar" before it: "lo",
    // "E.hi", "sdar.x_noise", "fit_range" (the table's "E fit range").
    std::string_view member = key;
    for (const std::string_view prefix : {"e sdar ", "sdar ", "e "}) {
        if (member.starts_with(prefix)) {
            member.remove_prefix(prefix.size());
            break;
        }
    }
    for (const Quantity& q : table) {
        if (q.group == standard::Group::Proof)
            continue;
        if (nameKey(q.key) == member || nameKey(q.symbol) == "e " + std::string(member))
            return &q;
    }
    return nullptr;
}

Check Judge(const Expectation& x, const standard::Result& result, const std::vector<Quantity>& table)
{
    Check check {x.quantity, x.expected, x.tolerance, {}, {}, false, {}};
    if (!x.problem.empty())
        return failed(check, x.problem);
    const Quantity* q = FindQuantity(table, x.quantity);
    if (!q) {
        std::string reason = "no such value: " + x.quantity;
        if (nameKey(x.quantity).starts_with("rp"))
            reason += " (the proof strengths of this call are " + proofList(table) + "; --proof adds others)";
        return failed(check, reason);
    }
    check.unit = q->unit;
    const Value value = q->value(result);
    check.computed = valueText(value);
    const std::string expected = standard::FoldCase(standard::TrimBlanks(x.expected));

    if (expected == "none") {
        check.passed = std::holds_alternative<std::monostate>(value);
        if (!check.passed)
            check.reason = "Tenso computed a value where none is expected";
        return check;
    }
    if (expected == "true" || expected == "false") {
        const bool* flag = std::get_if<bool>(&value);
        if (!flag)
            return failed(check, q->symbol + " is no yes-or-no value");
        check.passed = *flag == (expected == "true");
        if (!check.passed)
            check.reason = "Tenso computed " + check.computed;
        return check;
    }

    if (const std::optional<std::string> word = wordOf(value)) {
        check.passed = standard::FoldCase(*word) == expected;
        if (!check.passed)
            check.reason = "Tenso computed " + check.computed;
        return check;
    }

    const std::optional<Amount> amount = readAmount(x.expected);
    if (!amount)
        return failed(
            check, "the expected value \"" + x.expected + "\" is no number (with '.' as the decimal mark)");
    double target = amount->value;
    if (!amount->unit.empty()) {
        const std::optional<double> factor = unitless(*q) ? std::nullopt : unitFactor(amount->unit, q->unit);
        if (!factor)
            return failed(check,
                "the expected value \"" + x.expected + "\" is in " + amount->unit + ", which is no unit of "
                    + q->symbol + " (" + (unitless(*q) ? std::string("none") : q->unit) + ")");
        target *= *factor;
    }
    const std::variant<Tolerance, std::string> tolerance = readTolerance(x.tolerance, *q);
    if (const std::string* why = std::get_if<std::string>(&tolerance))
        return failed(check, *why);
    const Tolerance& t = std::get<Tolerance>(tolerance);

    const std::optional<double> computed = q->Number(result);
    if (std::holds_alternative<std::monostate>(value))
        return failed(check, "Tenso computed no value of " + q->symbol);
    if (!computed)
        return failed(check, q->symbol + " is a yes-or-no value: expected true or false");
    const double allowed = t.relative ? t.value / 100 * std::abs(target) : t.value;
    const double difference = std::abs(*computed - target);
    check.passed = difference <= allowed;
    if (!check.passed) {
        // In the tolerance's own terms: per cent of the expected value, or the absolute unit.
        if (t.relative && target != 0)
            check.reason = "off by " + standard::MessageText(difference / std::abs(target) * 100)
                + " % of the expected value, more than " + standard::MessageText(t.value) + " %";
        else
            check.reason
                = "off by " + absoluteText(difference, *q) + ", more than " + absoluteText(allowed, *q);
    }
    return check;
}

std::size_t ValidationRun::Passed() const
{
    std::size_t n = 0;
    for (const CaseOutcome& c : cases)
        n += static_cast<std::size_t>(
            std::ranges::count_if(c.checks, [](const Check& k) { return k.passed; }));
    return n;
}

std::size_t ValidationRun::Total() const
{
    std::size_t n = 0;
    for (const CaseOutcome& c : cases)
        n += c.checks.size();
    return n;
}

SuiteLocation FindSuite()
{
    // Beside the program in a build tree (the build copies it there), else in the installation's
    // share/tenso/validation, found from bin as tenso-eval finds its picture module.
    const QString dir = QCoreApplication::applicationDirPath();
    SuiteLocation location;
    for (const QString& candidate :
        {dir + QStringLiteral("/validation"), dir + QStringLiteral("/" TENSO_VALIDATION_FROM_BIN)}) {
        const std::string folder = QFile::encodeName(QDir::cleanPath(candidate)).toStdString();
        if (QFileInfo(candidate + QStringLiteral("/cases.csv")).isFile()) {
            location.folder = folder;
            break;
        }
        location.searched.push_back(folder);
    }
    return location;
}

ValidationRun RunValidationSuite(
    const std::string& suite, const Settings& settings, const standard::SpecimenTable* table)
{
    // The laboratory's expected values are read first: a file that cannot be read is a usage error,
    // before anything is evaluated.
    std::vector<Expectation> reference;
    if (!settings.referenceFile.empty()) {
        try {
            reference = ReadExpectations(settings.expectFile);
        } catch (const std::exception& e) {
            throw UsageError(std::string("--expect: ") + e.what());
        }
    }

    ValidationRun run;
    run.version = TENSO_VERSION;
    run.program = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    run.date = QLocale::c().toString(runTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss t")).toStdString();
    run.host = QSysInfo::machineHostName().toStdString();
    run.system = systemText();
    run.suite = suite;

    // The suite is evaluated as the plain call evaluates a file: every case says in its own header
    // what it needs, so the known answers hold for the defaults a user starts from.
    const standard::Options plain;
    const std::vector<Quantity> plainTable = standard::QuantityTable(plain.proofPercents);
    for (const SuiteCase& c : readSuite(suite)) {
        CaseOutcome outcome {c.name, c.data, c.purpose, {}, {}};
        std::vector<Expectation> expected;
        try {
            expected = ReadExpectations(joinPath(suite, c.expected));
        } catch (const std::exception& e) {
            // A case without its expected values fails as one check, so that the count shows it.
            outcome.error = e.what();
            outcome.checks.push_back(failed(Check {"expected values", {}, {}, {}, {}, false, {}}, e.what()));
            run.cases.push_back(std::move(outcome));
            continue;
        }
        const standard::Result result = standard::EvaluateFile(joinPath(suite, c.data), plain, false);
        run.cases.push_back(runCase(std::move(outcome), expected, result, plainTable));
    }

    if (!settings.referenceFile.empty()) {
        CaseOutcome outcome {"reference", settings.referenceFile,
            "The laboratory's reference export " + settings.referenceFile + " with the certified values of "
                + settings.expectFile + ", evaluated with the options of this call",
            {}, {}};
        const standard::Result result = EvaluateOne(settings.referenceFile, settings, table, false);
        run.cases.push_back(runCase(
            std::move(outcome), reference, result, standard::QuantityTable(settings.options.proofPercents)));
    }
    return run;
}

std::string ValidationText(const ValidationRun& run)
{
    std::string out = "Tenso validation record\n";
    out += "Software: Tenso " + run.version + " (tenso-report)\n";
    out += "Program:  " + run.program + "\n";
    out += "Rules:    " + run.rules + "\n";
    out += "Date:     " + run.date + "\n";
    out += "Machine:  " + run.host + " (" + run.system + ")\n";
    out += "Suite:    " + run.suite + "\n\n";

    const std::vector<std::string> heading
        = {"case", "quantity", "expected", "computed", "tolerance", "result"};
    std::vector<std::vector<std::string>> rows;
    for (const CaseOutcome& c : run.cases) {
        for (const Check& k : c.checks) {
            const std::string quantity
                = k.unit.empty() || k.unit == "-" ? k.quantity : k.quantity + " [" + k.unit + "]";
            rows.push_back({c.name, quantity, k.expected, k.computed,
                k.tolerance.empty() ? "exact" : k.tolerance, k.passed ? "pass" : "fail: " + k.reason});
        }
    }
    std::vector<std::size_t> widths(heading.size());
    for (std::size_t i = 0; i < heading.size(); ++i) {
        widths[i] = shownWidth(heading[i]);
        for (const auto& row : rows)
            widths[i] = std::max(widths[i], shownWidth(row[i]));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t i = 0; i + 1 < cells.size(); ++i)
            text += padded(cells[i], widths[i]) + "  ";
        return text + cells.back() + "\n";
    };
    out += line(heading);
    for (const auto& row : rows)
        out += line(row);
    out += "\n" + std::to_string(run.Passed()) + " of " + std::to_string(run.Total()) + " checks passed\n";
    return out;
}

}  // namespace tenso::report
