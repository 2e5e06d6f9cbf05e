#include "standard/text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace tenso::standard {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A field longer than this is not a number anyone wrote; it is treated as text.
constexpr std::size_t MaxNumberLength = 256;

// More digits than this before the mark could exceed the double range even without an exponent.
constexpr std::size_t SafeIntegerDigits = 300;

}  // namespace

NumberShape ScanNumber(std::string_view field, DecimalMarks marks)
{
    NumberShape shape;
    const std::size_t n = field.size();
    if (n == 0 || n > MaxNumberLength)
        return shape;
    std::size_t i = 0;
    bool plain = true;
    if (field[0] == '+' || field[0] == '-') {
        plain = field[0] == '-';
        i = 1;
    }
    std::size_t integerDigits = 0, fractionDigits = 0;
    while (i < n && isDigit(field[i])) {
        ++i;
        ++integerDigits;
    }
    if (i < n && ((field[i] == '.' && marks.point) || (field[i] == ',' && marks.comma))) {
        plain = plain && field[i] == '.';
        ++i;
        while (i < n && isDigit(field[i])) {
            ++i;
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0)
        return shape;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        if (i < n && (field[i] == '+' || field[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(field[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return shape;
        shape.mayOverflow = true;
    }
    if (i != n)
        return shape;
    shape.isNumber = true;
    shape.plain = plain;
    shape.mayOverflow = shape.mayOverflow || integerDigits > SafeIntegerDigits;
    return shape;
}

std::optional<double> ParseNumber(std::string_view field, bool plain)
{
    // from_chars takes neither a leading '+' nor a decimal comma; the field is short (ScanNumber
    // refuses long ones), so a copy on the stack costs little and only happens when needed.
    // Not cleared: only the first n bytes are written and read, and clearing would cost every number.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
    std::array<char, MaxNumberLength + 1> copy;
    const char* first = field.data();
    const char* last = field.data() + field.size();
    if (!plain && !field.empty() && (field.front() == '+' || field.find(',') != std::string_view::npos)) {
        std::size_t n = 0;
        for (char c : field) {
            if (c == '+' && n == 0)
                continue;
            if (n < MaxNumberLength)
                copy[n++] = c == ',' ? '.' : c;
        }
        first = copy.data();
        last = copy.data() + n;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Both overflow and underflow land here; strtod tells them apart (HUGE_VAL on overflow).
        // In the C locale: under the process locale a decimal comma country would stop the
        // text at the '.', and 1.5e400 would be read as 1.
        static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", locale_t {});
        std::string text(first, last);
        errno = 0;
        const double v = ::strtod_l(text.c_str(), nullptr, cLocale);
        if (std::isinf(v))
            return std::nullopt;
        return v;
    }
    if (ec != std::errc {} || ptr != last)
        return std::nullopt;
    return value;
}

const char* ScanShortDecimal(const char* p, const char* end, DecimalMarks marks, double& value)
{
    static constexpr std::array<double, 20> powersOf10 = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
        1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    if (p == end)
        return nullptr;
    const bool negative = *p == '-';
    if (negative || *p == '+')
        ++p;
    const char* const first = p;
    std::uint64_t mantissa = 0;  // wraps beyond 19 digits, which are refused below
    for (; p != end && isDigit(*p); ++p)
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    const auto integerDigits = static_cast<std::size_t>(p - first);
    std::size_t decimals = 0;
    if (p != end && ((*p == '.' && marks.point) || (*p == ',' && marks.comma))) {
        const char* const fraction = ++p;
        for (; p != end && isDigit(*p); ++p)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        decimals = static_cast<std::size_t>(p - fraction);
    }
    const std::size_t digits = integerDigits + decimals;
    if (digits == 0 || digits > 19 || mantissa > (std::uint64_t {1} << 53))
        return nullptr;
    const double magnitude = static_cast<double>(mantissa) / powersOf10[decimals];
    value = negative ? -magnitude : magnitude;
    return p;
}

bool ParseShortDecimal(std::string_view field, DecimalMarks marks, double& value)
{
    const char* const end = field.data() + field.size();
    double v = 0;
    const char* const stop = ScanShortDecimal(field.data(), end, marks, v);
    if (stop == nullptr || stop != end)
        return false;
    value = v;
    return true;
}

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsMissingValue(std::string_view field)
{
    static constexpr std::array<std::string_view, 13> Missing {
        "nan", "inf", "+inf", "-inf", "infinity", "n/a", "na", "#n/a", "null", "none", "-", "--", "---"};
    if (field.empty() || field.size() > 8)
        return false;
    std::string lower(field);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return std::ranges::find(Missing, lower) != Missing.end();
}

std::optional<double> ParseThousands(std::string_view field)
{
    if (field.size() > 64)
        return std::nullopt;
    std::size_t i = 0;
    std::string plain;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        if (field[i] == '-')
            plain += '-';
        ++i;
    }
    std::size_t lead = 0;
    while (i < field.size() && isDigit(field[i]) && lead < 4) {
        plain += field[i++];
        ++lead;
    }
    if (lead == 0 || lead > 3)
        return std::nullopt;
    std::size_t groups = 0;
    while (i < field.size() && field[i] == ',') {
        if (i + 3 >= field.size()
            || !(isDigit(field[i + 1]) && isDigit(field[i + 2]) && isDigit(field[i + 3])))
            return std::nullopt;
        plain.append(field.substr(i + 1, 3));
        i += 4;
        ++groups;
        if (i < field.size() && isDigit(field[i]))
            return std::nullopt;  // a group of four digits
    }
    if (groups == 0)
        return std::nullopt;
    if (i < field.size() && field[i] == '.') {
        plain += field[i++];
        std::size_t decimals = 0;
        while (i < field.size() && isDigit(field[i])) {
            plain += field[i++];
            ++decimals;
        }
        if (decimals == 0)
            return std::nullopt;
    }
    if (i != field.size())
        return std::nullopt;
    return ParseNumber(plain, true);
}

bool HoldsWord(std::string_view folded, std::string_view word)
{
    if (word.size() > 2)
        return folded.find(word) != std::string_view::npos;
    const auto separates = [](char c) {
        return c == ' ' || c == '\t' || c == '_' || c == '-' || c == '.' || c == '/' || c == ':' || c == '='
            || c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}';
    };
    std::size_t start = 0;
    while (start <= folded.size()) {
        std::size_t end = start;
        while (end < folded.size() && !separates(folded[end]))
            ++end;
        if (folded.substr(start, end - start) == word)
            return true;
        start = end + 1;
    }
    return false;
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string FoldCase(std::string_view text)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // U+00C0..U+00DE but the multiplication sign: C3 80..C3 9E -> C3 A0..C3 BE
            const auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97)
                out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return out;
}

std::string ShortestText(double value)
{
    std::array<char, 32> buffer {};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string MessageText(double value)
{
    std::array<char, 32> buffer {};
    // printf's %.6g, but with a '.' whatever the locale (Qt sets the process locale).
    const auto result
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 6);
    return {buffer.data(), result.ptr};
}

std::string ShortestFixedText(double value)
{
    std::array<char, 400> buffer {};
    const auto result
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc {})
        return ShortestText(value);
    return {buffer.data(), result.ptr};
}

}  // namespace tenso::standard
