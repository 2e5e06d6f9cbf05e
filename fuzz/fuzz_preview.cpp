// The preview's text decoding of a line on arbitrary bytes (UTF-8, else Shift_JIS, else Latin-1):
// no crash, no sanitizer report, always valid UTF-8 out, valid UTF-8 in shown unchanged, and no
// more than three bytes out for a byte in (a half-width katakana of Shift_JIS).
#include "data/preview.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool validUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = 1;
        char32_t cp = c;
        if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07u;
        } else if (c >= 0xE0) {
            len = 3;
            cp = c & 0x0Fu;
        } else if (c >= 0xC2 && c < 0xE0) {
            len = 2;
            cp = c & 0x1Fu;
        } else if (c >= 0x80) {
            return false;
        }
        if (c >= 0xF5 || i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string shown = tenso::DisplayText(bytes);
    check(validUtf8(shown));
    if (validUtf8(bytes))
        check(shown == bytes);
    check(shown.size() <= 3 * bytes.size());
    return 0;
}
