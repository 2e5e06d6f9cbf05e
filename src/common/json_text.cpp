#include "common/json_text.h"

#include "common/utf8.h"

namespace tenso::common {
namespace {

constexpr char Hex[] = "0123456789abcdef";

void appendHexByte(std::string& out, unsigned char byte)
{
    out += Hex[byte >> 4U];
    out += Hex[byte & 0xFU];
}

// The escape of the lone surrogate that stands for a byte outside valid UTF-8.
void appendByteEscape(std::string& out, char byte)
{
    out += "\\udc";
    appendHexByte(out, static_cast<unsigned char>(byte));
}

}  // namespace

std::string JsonString(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length == 0) {
            appendByteEscape(out, bytes[i]);
            ++i;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[i]);
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
            // JSON allows a raw DEL, but in a terminal or an editor it is invisible and a file name
            // holding one could not be told from the name without it.
            out += "\\u00";
            appendHexByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
        i += length;
    }
    out += '"';
    return out;
}

std::string DisplayName(std::string_view bytes)
{
    if (IsUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 16);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length == 0) {
            appendByteEscape(out, bytes[i]);
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

}  // namespace tenso::common
