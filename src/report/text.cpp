#include "text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tenso::report {
namespace {

// The length of a valid UTF-8 sequence starting at bytes[i], or 0.
std::size_t utf8Length(std::string_view bytes, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80)
        return 1;
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        length = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
        length = 3;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
        length = 4;
    else
        return 0;
    if (i + length > bytes.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0U) != 0x80U)
            return 0;
    const unsigned char b1 = byte(i + 1);
    if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F) || (b0 == 0xF0 && b1 < 0x90)
        || (b0 == 0xF4 && b1 > 0x8F))
        return 0;  // overlong, a surrogate, or beyond U+10FFFF
    return length;
}

}  // namespace

std::string NumberText(double value)
{
    if (!std::isfinite(value))
        return {};
    std::array<char, 32> buffer {};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc())
        return {};
    return {buffer.data(), end};
}

std::string JsonString(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8Length(bytes, i);
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (length == 0) {
            out += "\\udc";
            out += hex[c >> 4U];
            out += hex[c & 0xFU];
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(bytes.substr(i, length));
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4U];
            out += hex[c & 0xFU];
        } else {
            out += static_cast<char>(c);
        }
        i += length;
    }
    return out + '"';
}

std::string CsvField(std::string_view bytes)
{
    const bool quote = bytes.find_first_of(",\"\r\n") != std::string_view::npos
        || (!bytes.empty()
            && (bytes.front() == ' ' || bytes.front() == '\t' || bytes.back() == ' '
                || bytes.back() == '\t'));
    if (!quote)
        return std::string(bytes);
    std::string out = "\"";
    for (char c : bytes) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

}  // namespace tenso::report
