#include "fonts.h"

#include <QStringList>

namespace tenso {

namespace {

QString FaceName(Face face)
{
    switch (face) {
    case Face::P:
        return QStringLiteral("ＭＳ Ｐゴシック");
    case Face::F:
        return QStringLiteral("ＭＳ ゴシック");
    case Face::A:
        break;
    }
    return QStringLiteral("Arial");
}

}  // namespace

void RegisterFontSubstitutes()
{
    // insertSubstitutions skips names already in the list, so a second call changes nothing.
    QFont::insertSubstitutions(FaceName(Face::P),
        {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(FaceName(Face::F),
        {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(
        FaceName(Face::A), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont WindowFont(Face face, int pixelSize, bool bold, bool italic)
{
    QFont font(FaceName(face));
    font.setStyleHint(face == Face::F ? QFont::TypeWriter : QFont::SansSerif);
    if (face == Face::F)
        font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    return font;
}

}  // namespace tenso
