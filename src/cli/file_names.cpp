#include "file_names.h"

namespace tenso {
namespace {

constexpr char16_t ByteEscape = 0xDC00;
constexpr qsizetype PathEnds = 40;  // characters kept at each end of a shortened path

}  // namespace

size_t Utf8SequenceAt(std::string_view s, size_t i, char32_t* codePoint)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        if (codePoint)
            *codePoint = c;
        return 1;
    }
    size_t len = 0;
    char32_t min = 0;
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
        return 0;
    }
    if (s.size() - i < len)
        return 0;
    char32_t cp = c & (0xFFu >> (len + 1));
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    if (codePoint)
        *codePoint = cp;
    return len;
}

bool IsUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const size_t n = Utf8SequenceAt(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QStringList ArgumentsOf(int argc, const char* const* argv)
{
    QStringList out;
    out.reserve(argc);
    for (int a = 0; a < argc; ++a) {
        const std::string_view bytes(argv[a]);
        QString text;
        for (size_t i = 0; i < bytes.size();) {
            char32_t cp = 0;
            const size_t n = Utf8SequenceAt(bytes, i, &cp);
            if (n == 0) {
                text += QChar(static_cast<char16_t>(ByteEscape + static_cast<unsigned char>(bytes[i])));
                ++i;
                continue;
            }
            // Character by character: QString::fromUtf8 would drop a byte order mark.
            if (QChar::requiresSurrogates(cp)) {
                text += QChar(QChar::highSurrogate(cp));
                text += QChar(QChar::lowSurrogate(cp));
            } else {
                text += QChar(static_cast<char16_t>(cp));
            }
            i += n;
        }
        out += text;
    }
    return out;
}

std::string ArgumentBytes(const QString& argument)
{
    std::string out;
    out.reserve(static_cast<size_t>(argument.size()));
    qsizetype start = 0;  // the start of the run of ordinary text not yet copied
    const auto flush
        = [&](qsizetype end) { out += QStringView(argument).mid(start, end - start).toUtf8().toStdString(); };
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const char16_t u = argument[i].unicode();
        if (u >= ByteEscape + 0x80 && u <= ByteEscape + 0xFF) {
            flush(i);
            out += static_cast<char>(u - ByteEscape);
            start = i + 1;
        }
    }
    flush(argument.size());
    return out;
}

QString ShortPath(std::string_view path)
{
    QString text = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    // Counted in characters (code points), so that no character is cut in two.
    qsizetype characters = 0;
    for (const QChar c : text)
        characters += !c.isLowSurrogate();
    if (characters <= 2 * PathEnds + 3)
        return text;
    const auto unitsOf = [&](qsizetype from, qsizetype count) {  // UTF-16 units of `count` characters
        qsizetype i = from, seen = 0;
        while (i < text.size() && seen < count) {
            i += text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            ++seen;
        }
        return i - from;
    };
    const qsizetype head = unitsOf(0, PathEnds);
    const qsizetype tailStart = head + unitsOf(head, characters - 2 * PathEnds);
    return text.left(head) + QStringLiteral("...") + text.mid(tailStart);
}

}  // namespace tenso
