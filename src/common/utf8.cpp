#include "common/utf8.h"

namespace tenso::common {
namespace {

constexpr char16_t ByteEscape = 0xDC00;  // U+DC00 + b stands for the byte b
constexpr char16_t HighSurrogates = 0xD800, LowSurrogates = 0xDC00;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string& bytes, char32_t code)
{
    const auto put = [&](char32_t byte) { bytes += static_cast<char>(byte); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0U | (code >> 6U));
        put(0x80U | (code & 0x3FU));
    } else if (code < 0x10000) {
        put(0xE0U | (code >> 12U));
        put(0x80U | ((code >> 6U) & 0x3FU));
        put(0x80U | (code & 0x3FU));
    } else {
        put(0xF0U | (code >> 18U));
        put(0x80U | ((code >> 12U) & 0x3FU));
        put(0x80U | ((code >> 6U) & 0x3FU));
        put(0x80U | (code & 0x3FU));
    }
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i, char32_t* codePoint)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        if (codePoint)
            *codePoint = lead;
        return 1;
    }
    // C0 and C1 could only start overlong forms, F5 and above only code points beyond U+10FFFF.
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    char32_t code = lead & (0x7FU >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0U) != 0x80U)
            return 0;
        code = (code << 6U) | (next & 0x3FU);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    if (codePoint)
        *codePoint = code;
    return length;
}

bool IsUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::u16string DecodeBytes(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        const std::size_t length = Utf8SequenceAt(bytes, i, &code);
        if (length == 0) {
            text += static_cast<char16_t>(ByteEscape + static_cast<unsigned char>(bytes[i]));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text += static_cast<char16_t>(HighSurrogates + (code >> 10U));
            text += static_cast<char16_t>(LowSurrogates + (code & 0x3FFU));
        } else {
            text += static_cast<char16_t>(code);
        }
        i += length;
    }
    return text;
}

std::string EncodeBytes(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        // A pair first: the low half of a character such as U+1F4A9 lies in the escapes' range.
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t high = unit - HighSurrogates;
            const char32_t low = text[i + 1] - LowSurrogates;
            appendUtf8(bytes, 0x10000 + (high << 10U) + low);
            ++i;
        } else if (unit >= ByteEscape + 0x80 && unit <= ByteEscape + 0xFF) {
            bytes += static_cast<char>(unit - ByteEscape);
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace tenso::common
