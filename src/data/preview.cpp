#include "preview.h"

#include "data_file.h"
#include "state/window.h"

#include <iconv.h>

#include <cerrno>

#include <array>
#include <optional>
#include <vector>

namespace tenso {
namespace {

constexpr size_t MaxPreviewBytes = 1024;

// Whether the bytes are UTF-8; validLength is the length of the valid prefix (a character cut off
// at the end does not make the text invalid).
bool validUtf8(std::string_view s, size_t& validLength)
{
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            min = 0x10000;
        } else {
            validLength = i;
            return false;
        }
        unsigned cp = c & (0xFFu >> (len + 1));
        for (size_t k = 1; k < len; ++k) {
            if (i + k >= n) {  // cut off at the end: the valid part ends before it
                validLength = i;
                return true;
            }
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                validLength = i;
                return false;
            }
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            validLength = i;
            return false;
        }
        i += len;
    }
    validLength = n;
    return true;
}

std::optional<std::string> fromShiftJis(std::string_view s)
{
    iconv_t cd = ::iconv_open("UTF-8", "CP932");
    // iconv_open's failure value is the handle -1.
    // NOLINTNEXTLINE(performance-no-int-to-ptr,cppcoreguidelines-pro-type-reinterpret-cast)
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(s.size() * 3 + 4, '\0');
    std::vector<char> in(s.begin(), s.end());
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t r = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool truncatedAtEnd = r == static_cast<size_t>(-1) && errno == EINVAL;  // a cut-off character
    ::iconv_close(cd);
    if (r == static_cast<size_t>(-1) && !truncatedAtEnd)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string fromLatin1(std::string_view s)
{
    std::string out;
    out.reserve(s.size() * 2);
    for (char ch : s) {
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

}  // namespace

std::string DisplayText(std::string_view bytes)
{
    size_t valid = 0;
    if (validUtf8(bytes, valid))
        return std::string(bytes.substr(0, valid));
    if (auto sjis = fromShiftJis(bytes))
        return *sjis;
    return fromLatin1(bytes);
}

void ShowFirstLines(const std::string& path, Window& w)
{
    // Read first, so that a file that fails part-way changes no field.
    std::array<std::string, PreviewLines> lines;
    int count = 0;
    {
        DataFile file(path, DataFile::View::Raw);
        std::string bytes;
        while (count < PreviewLines && file.ReadLine(bytes, MaxPreviewBytes))
            lines[static_cast<size_t>(count++)] = DisplayText(bytes);
    }
    for (int k = 0; k < count; ++k)
        w.SetText(Text11(k), lines[static_cast<size_t>(k)]);
}

}  // namespace tenso
