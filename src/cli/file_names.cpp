#include "file_names.h"

namespace tenso {
namespace {

constexpr qsizetype PathEnds = 40;  // characters kept at each end of a shortened path

}  // namespace

QStringList ArgumentsOf(int argc, const char* const* argv)
{
    QStringList out;
    out.reserve(argc);
    for (int a = 0; a < argc; ++a)
        out += common::DecodeArgument(argv[a]);
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
