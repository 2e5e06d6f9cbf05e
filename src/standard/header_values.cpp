#include "standard/header_values.h"

#include "standard/text.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace tenso::standard {
namespace {

enum Value { d0, a0, b0, S0, L0, Lu, du, Su, NoValue };

constexpr std::array<std::string_view, 8> Symbols {"d0", "a0", "b0", "S0", "L0", "Lu", "du", "Su"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

template <std::size_t N> bool holdsAny(std::string_view folded, const std::array<std::string_view, N>& words)
{
    return std::ranges::any_of(words, [&](std::string_view w) { return HoldsWord(folded, w); });
}

// Keys that hold one of these name a machine setting, not the specimen: a grip length, a parallel
// length, a speed.
constexpr std::array<std::string_view, 7> NotSpecimen {
    "grip", "einspann", "parallel", "speed", "rate", "geschwindigkeit", "vitesse"};
constexpr std::array<std::string_view, 5> AfterFracture {"after", "fracture", "bruch", "rupture", "final"};
constexpr std::array<std::string_view, 3> AreaWords {"area", "section", "querschnitt"};
constexpr std::array<std::string_view, 3> DiameterWords {"diameter", "durchmesser", "diam\xC3\xA8tre"};
constexpr std::array<std::string_view, 3> LengthWords {"length", "l\xC3\xA4nge", "longueur"};
constexpr std::array<std::string_view, 5> CrossSectionWords {
    "cross-section", "cross section", "area", "querschnitt", "section"};
constexpr std::array<std::string_view, 4> ThicknessWords {
    "thickness", "dicke", "\xC3\xA9paisseur", "epaisseur"};
constexpr std::array<std::string_view, 3> WidthWords {"width", "breite", "largeur"};
constexpr std::array<std::string_view, 4> GaugeLengthWords {"gauge length", "gage length", "messl\xC3\xA4nge",
    "longueur de r\xC3\xA9"
    "f\xC3\xA9rence"};
constexpr std::array<std::string_view, 4> SpecimenWords {"specimen", "sample", "probe", "\xC3\xA9prouvette"};
constexpr std::array<std::string_view, 4> NameWords {"id", "name", "bezeichnung", "kennung"};
constexpr std::array<std::string_view, 3> MaterialWords {"material", "werkstoff", "mat\xC3\xA9riau"};

// Which specimen value a folded key names, if any.
Value valueOf(std::string_view key)
{
    if (holdsAny(key, NotSpecimen))
        return NoValue;
    // A key that names a value after fracture names nothing else ("Cross-section after fracture").
    if (holdsAny(key, AfterFracture)) {
        if (holdsAny(key, AreaWords))
            return Su;
        if (holdsAny(key, DiameterWords))
            return du;
        if (holdsAny(key, LengthWords))
            return Lu;
    }
    if (HoldsWord(key, "su"))
        return Su;
    if (HoldsWord(key, "du"))
        return du;
    if (HoldsWord(key, "lu"))
        return Lu;
    if (holdsAny(key, CrossSectionWords) || HoldsWord(key, "s0"))
        return S0;
    if (holdsAny(key, DiameterWords) || HoldsWord(key, "d0"))
        return d0;
    if (holdsAny(key, ThicknessWords) || HoldsWord(key, "a0"))
        return a0;
    if (holdsAny(key, WidthWords) || HoldsWord(key, "b0"))
        return b0;
    if (holdsAny(key, GaugeLengthWords) || HoldsWord(key, "l0"))
        return L0;
    return NoValue;
}

// The factor of a length or area unit to mm or mm²; none for a text that is no such unit.
std::optional<double> unitFactor(std::string_view unit, bool area)
{
    std::string u = FoldCase(TrimBlanks(unit));
    if (u.size() >= 2 && ((u.front() == '[' && u.back() == ']') || (u.front() == '(' && u.back() == ')')))
        u = std::string(TrimBlanks(std::string_view(u).substr(1, u.size() - 2)));
    for (const std::string_view micro : {"\xC2\xB5", "\xCE\xBC"})
        if (u.starts_with(micro))
            u = "u" + u.substr(micro.size());
    for (const std::string_view square : {"\xC2\xB2", "^2"})
        if (u.ends_with(square))
            u = u.substr(0, u.size() - square.size()) + "2";
    if (u.empty())
        return 1.0;
    struct Entry {
        std::string_view text;
        double factor;
    };
    static constexpr std::array<Entry, 5> Lengths {
        {{"mm", 1}, {"cm", 10}, {"m", 1000}, {"um", 0.001}, {"in", 25.4}}};
    static constexpr std::array<Entry, 4> Areas {{{"mm2", 1}, {"cm2", 100}, {"m2", 1e6}, {"in2", 645.16}}};
    for (const Entry& e : area ? std::span<const Entry>(Areas) : std::span<const Entry>(Lengths))
        if (u == e.text)
            return e.factor;
    return std::nullopt;
}

// A header value as a number: a '.' or, with another separator than the comma, a ',' as decimal
// mark; in quotes with the comma separator also with thousands separators.
std::optional<double> numberOf(std::string_view text, bool quoted, Separator separator)
{
    text = TrimBlanks(text);
    const DecimalMarks marks {true, separator != Separator::Comma};
    if (const NumberShape shape = ScanNumber(text, marks); shape.isNumber)
        return ParseNumber(text, false);
    if (quoted && separator == Separator::Comma)
        return ParseThousands(text);
    return std::nullopt;
}

}  // namespace

void HeaderValues::Take(
    const std::vector<std::string>& fields, const std::vector<bool>& quoted, std::size_t line)
{
    if (fields.empty())
        return;
    std::string_view key, value, unit;
    bool valueQuoted = false;
    std::string joined;
    if (fields.size() >= 2 && separator_ != Separator::Blank) {
        key = fields[0];
        value = fields[1];
        valueQuoted = quoted.size() > 1 && quoted[1];
        if (fields.size() > 2)
            unit = fields[2];
    } else {
        // One field "key: value unit" or "key = value unit" (a blank-separated line is read whole).
        for (const std::string& f : fields)
            joined += (joined.empty() ? "" : " ") + f;
        const std::size_t mark = joined.find_first_of(":=");
        if (mark == std::string::npos)
            return;
        key = std::string_view(joined).substr(0, mark);
        value = TrimBlanks(std::string_view(joined).substr(mark + 1));
    }
    key = TrimBlanks(key);
    while (!key.empty() && (key.back() == ':' || isBlank(key.back())))
        key.remove_suffix(1);
    if (key.empty())
        return;
    const std::string folded = FoldCase(key);
    const Value which = valueOf(folded);
    if (which == NoValue) {
        const std::string text(TrimBlanks(value));
        if (text.empty())
            return;
        if (!found_.id && holdsAny(folded, SpecimenWords) && holdsAny(folded, NameWords))
            found_.id = HeaderText {text, line};
        else if (!found_.material && holdsAny(folded, MaterialWords))
            found_.material = HeaderText {text, line};
        return;
    }
    std::optional<HeaderNumber>* const slots[]
        = {&found_.d0, &found_.a0, &found_.b0, &found_.S0, &found_.L0, &found_.Lu, &found_.du, &found_.Su};
    std::optional<HeaderNumber>& slot = *slots[which];
    if (slot)
        return;
    std::string_view number = value;
    if (!joined.empty()) {
        // "5.003 mm": the number, then its unit as the last word.
        const std::size_t blank = value.find_first_of(" \t");
        number = value.substr(0, blank);
        if (blank != std::string_view::npos)
            unit = TrimBlanks(value.substr(blank));
    }
    const std::optional<double> v = numberOf(number, valueQuoted, separator_);
    if (!v)
        return;
    if (unit.empty()) {
        // "Width [mm]": the unit in brackets at the end of the key.
        const char close = key.back();
        const std::size_t open = close == ']' ? key.rfind('[')
            : close == ')'                    ? key.rfind('(')
                                              : std::string_view::npos;
        if (open != std::string_view::npos)
            unit = key.substr(open);
    }
    const bool area = which == S0 || which == Su;
    const std::optional<double> factor = unitFactor(unit, area);
    if (!factor) {
        notes_.push_back({"line " + std::to_string(line) + ": \"" + std::string(key) + "\" is given in \""
                + std::string(TrimBlanks(unit)) + "\", not a unit of " + (area ? "area" : "length")
                + "; not used",
            line, which});
        return;
    }
    slot = HeaderNumber {*v * *factor, line};
}

HeaderSpecimen HeaderValues::Above(std::size_t line) const
{
    HeaderSpecimen h;
    const auto keep
        = [line](const auto& value) { return value && value->line < line ? value : std::nullopt; };
    h.d0 = keep(found_.d0);
    h.a0 = keep(found_.a0);
    h.b0 = keep(found_.b0);
    h.S0 = keep(found_.S0);
    h.L0 = keep(found_.L0);
    h.Lu = keep(found_.Lu);
    h.du = keep(found_.du);
    h.Su = keep(found_.Su);
    h.id = keep(found_.id);
    h.material = keep(found_.material);
    const std::optional<HeaderNumber>* const slots[]
        = {&h.d0, &h.a0, &h.b0, &h.S0, &h.L0, &h.Lu, &h.du, &h.Su};
    for (const Note& note : notes_) {
        const std::optional<HeaderNumber>& given = *slots[note.value];
        // Said only where the line would have counted: above the names, and before the value's line.
        if (note.line < line && (!given || given->line > note.line))
            h.notes.push_back(note.text);
    }
    return h;
}

Specimen WithHeader(const Specimen& given, const HeaderSpecimen& header, std::vector<std::string>& notes)
{
    Specimen s = given;
    const auto take = [&notes](
                          std::optional<double>& to, const std::optional<HeaderNumber>& from, Value which) {
        to = from->value;
        const bool area = which == S0 || which == Su;
        notes.push_back(std::string(Symbols[which]) + " = " + MessageText(from->value)
            + (area ? " mm\xC2\xB2" : " mm") + " from line " + std::to_string(from->line) + " of the file");
    };
    if (!(given.d0 || given.a0 || given.b0 || given.S0)) {
        if (header.S0)
            take(s.S0, header.S0, S0);
        else if (header.d0)
            take(s.d0, header.d0, d0);
        else if (header.a0 && header.b0) {
            take(s.a0, header.a0, a0);
            take(s.b0, header.b0, b0);
        }
    }
    if (!given.L0 && header.L0)
        take(s.L0, header.L0, L0);
    if (!given.Lu && header.Lu)
        take(s.Lu, header.Lu, Lu);
    if (!(given.du || given.Su)) {
        if (header.Su)
            take(s.Su, header.Su, Su);
        else if (header.du)
            take(s.du, header.du, du);
    }
    return s;
}

}  // namespace tenso::standard
