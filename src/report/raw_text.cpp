#include "raw_text.h"

#include <cstdint>

namespace tenso::report {
namespace {

// The length of the valid UTF-8 sequence at bytes[i], 0 when there is none (overlong forms,
// surrogates and code points beyond U+10FFFF are not valid).
std::size_t sequenceLength(std::string_view bytes, std::size_t i, char32_t& code)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    if ((b0 & 0xE0U) == 0xC0U) {
        length = 2;
        minimum = 0x80;
        code = b0 & 0x1FU;
    } else if ((b0 & 0xF0U) == 0xE0U) {
        length = 3;
        minimum = 0x800;
        code = b0 & 0x0FU;
    } else if ((b0 & 0xF8U) == 0xF0U) {
        length = 4;
        minimum = 0x10000;
        code = b0 & 0x07U;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0U) != 0x80U)
            return 0;
        code = (code << 6U) | (byte(i + k) & 0x3FU);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

QString DecodeArgument(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        const std::size_t length = sequenceLength(bytes, i, code);
        if (length == 0) {
            text += QChar(static_cast<char16_t>(0xDC00U + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            text += QChar(static_cast<char16_t>(0xD800U + ((code - 0x10000U) >> 10U)));
            text += QChar(static_cast<char16_t>(0xDC00U + ((code - 0x10000U) & 0x3FFU)));
        } else {
            text += QChar(static_cast<char16_t>(code));
        }
        i += length;
    }
    return text;
}

std::string EncodeArgument(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    const auto put = [&](char32_t code) {
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0U | (code >> 6U));
            bytes += static_cast<char>(0x80U | (code & 0x3FU));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0U | (code >> 12U));
            bytes += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
            bytes += static_cast<char>(0x80U | (code & 0x3FU));
        } else {
            bytes += static_cast<char>(0xF0U | (code >> 18U));
            bytes += static_cast<char>(0x80U | ((code >> 12U) & 0x3FU));
            bytes += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
            bytes += static_cast<char>(0x80U | (code & 0x3FU));
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            put(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            bytes += static_cast<char>(unit - 0xDC00U);  // an escaped byte
        } else {
            put(unit);
        }
    }
    return bytes;
}

}  // namespace tenso::report
