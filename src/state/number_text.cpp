#include "number_text.h"

#include "failure.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tenso {
namespace {

bool ignoredByVal(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Walks a text while skipping the characters that Val ignores.
class ValCursor {
public:
    explicit ValCursor(std::string_view t)
        : text_(t)
    {
        skip();
    }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void next()
    {
        ++pos_;
        skip();
    }

private:
    void skip()
    {
        while (pos_ < text_.size() && ignoredByVal(text_[pos_]))
            ++pos_;
    }
    std::string_view text_;
    size_t pos_ = 0;
};

int radixDigit(char c, int radix)
{
    int d = -1;
    if (isDigit(c))
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < radix ? d : -1;
}

double radixNumber(ValCursor& cur, int radix)
{
    double v = 0;
    for (int d = radixDigit(cur.peek(), radix); d >= 0; d = radixDigit(cur.peek(), radix)) {
        v = v * radix + d;
        if (!std::isfinite(v))
            throw Failure(failure::Overflow);
        cur.next();
    }
    return v;
}

// Adds two exponents without overflowing: anything past a few thousand is out of range anyway.
long long saturatingAdd(long long a, long long b)
{
    constexpr long long limit = 1LL << 40;
    const long long s = a + b;
    return s > limit ? limit : (s < -limit ? -limit : s);
}

}  // namespace

double Val(std::string_view text)
{
    ValCursor cur(text);
    if (cur.peek() == '&') {
        cur.next();
        const char kind = cur.peek();
        if (kind == 'H' || kind == 'h') {
            cur.next();
            return radixNumber(cur, 16);
        }
        if (kind == 'O' || kind == 'o') {
            cur.next();
            return radixNumber(cur, 8);
        }
        return 0;
    }

    // Collect the number in the form std::from_chars reads, which never looks at the locale.
    std::string number;
    if (cur.peek() == '+' || cur.peek() == '-') {
        if (cur.peek() == '-')
            number += '-';
        cur.next();
    }
    bool anyDigit = false;
    bool seenPoint = false;
    for (;; cur.next()) {
        const char c = cur.peek();
        if (isDigit(c)) {
            anyDigit = true;
            number += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            number += c;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0;

    const char e = cur.peek();
    if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
        cur.next();
        std::string exponent = "e";
        if (cur.peek() == '+' || cur.peek() == '-') {
            if (cur.peek() == '-')
                exponent += '-';
            cur.next();
        }
        bool anyExponentDigit = false;
        for (; isDigit(cur.peek()); cur.next()) {
            exponent += cur.peek();
            anyExponentDigit = true;
        }
        if (anyExponentDigit)  // "1e" and "1e+" read as 1
            number += exponent;
    }

    const double value = DecimalValue(number);
    if (std::isinf(value))
        throw Failure(failure::Overflow);
    return value;
}

double DecimalValue(std::string_view number)
{
    double value = 0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    (void)end;
    if (ec != std::errc::result_out_of_range)
        return ec == std::errc() ? value : 0.0;

    // Out of range: huge or tiny, decided by the decimal power of the first non-zero digit.
    const bool negative = !number.empty() && number.front() == '-';
    long long integerDigits = 0;  // counted from the first non-zero digit
    long long fractionPlace = 0;
    long long power = 0;  // decimal power of the first non-zero digit
    bool seenPoint = false;
    bool seenNonZero = false;
    size_t i = negative ? 1 : 0;
    for (; i < number.size() && (isDigit(number[i]) || number[i] == '.'); ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) {
            if (seenNonZero || c != '0') {
                seenNonZero = true;
                integerDigits = saturatingAdd(integerDigits, 1);
            }
        } else {
            fractionPlace = saturatingAdd(fractionPlace, 1);
            if (!seenNonZero && c != '0') {
                seenNonZero = true;
                power = -fractionPlace;
            }
        }
    }
    if (!seenNonZero)
        return negative ? -0.0 : 0.0;
    if (integerDigits > 0)
        power = integerDigits - 1;
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        const bool expNegative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+'))
            ++i;
        for (; i < number.size() && isDigit(number[i]); ++i)
            exponent = saturatingAdd(exponent * 10, number[i] - '0');
        if (expNegative)
            exponent = -exponent;
    }
    const bool huge = saturatingAdd(power, exponent) >= 0;
    if (huge)
        return negative ? -HUGE_VAL : HUGE_VAL;
    return negative ? -0.0 : 0.0;
}

std::optional<int16_t> ToWhole(double value)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double r = std::nearbyint(value);
    if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max()))
        return std::nullopt;
    return static_cast<int16_t>(r);
}

namespace {

// The exact binary value rounded to 7 significant digits, trailing zeros dropped.
std::string sevenDigits(float value)
{
    if (value == 0 || !std::isfinite(value))  // -0 shows as 0; non-finite never reaches here
        return "0";
    // to_chars rounds the exact binary value (ties to even) and never looks at the locale.
    char buf[32];
    const auto res
        = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::scientific, 6);
    std::string_view s(buf, static_cast<size_t>(res.ptr - buf));  // like "-1.100000e+00"
    const bool negative = s.front() == '-';
    if (negative)
        s.remove_prefix(1);
    std::string digits;
    digits += s[0];
    digits.append(s.substr(2, 6));
    int exponent = 0;
    std::string_view exp = s.substr(9);  // after "e"
    const bool expNegative = exp.front() == '-';
    std::from_chars(exp.data() + 1, exp.data() + exp.size(), exponent);
    if (expNegative)
        exponent = -exponent;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    const int n = static_cast<int>(digits.size());
    if (exponent >= -5 && exponent <= 6) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out += digits;
        } else if (n <= exponent + 1) {
            out += digits;
            out.append(static_cast<size_t>(exponent + 1 - n), '0');
        } else {
            out.append(digits, 0, static_cast<size_t>(exponent) + 1);
            out += '.';
            out.append(digits, static_cast<size_t>(exponent) + 1);
        }
        return out;
    }
    out += digits[0];
    if (n > 1) {
        out += '.';
        out.append(digits, 1);
    }
    char ebuf[16];
    std::snprintf(
        ebuf, sizeof ebuf, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    out += ebuf;
    return out;
}

}  // namespace

std::string SingleText(float value)
{
    std::string text = sevenDigits(value);
    // A power of ten can lie so far from the nearest float that reading it back gives a float just
    // below it, in the decade below, whose own text differs ("1E+28" reads back as 9.99999944E+27).
    // Then the field would show a value that the state cannot hold; show the text of that float.
    const std::string_view mantissa = std::string_view(text).substr(0, text.find('E'));
    const size_t digit = mantissa.find_first_not_of("-0.");
    if (digit != std::string::npos && mantissa[digit] == '1'
        && mantissa.find_first_of("123456789", digit + 1) == std::string::npos) {
        const float back = static_cast<float>(Val(text));
        if (std::string again = sevenDigits(back); again != text)
            return again;
    }
    return text;
}

}  // namespace tenso
