#pragma once
// The page coordinates and the type face of tenso-report's PDF documents, the test report and the
// validation record, so that both print alike.

#include <QFont>
#include <QString>

#include <cmath>

namespace tenso::report::pdf {

inline constexpr int Resolution = 1200;  // dpi of the page's coordinates
inline constexpr double Unit = Resolution / 72.0;  // one point
inline constexpr double Millimetre = Resolution / 25.4;

// Liberation Sans, which the package depends on, so that the PDF embeds the same face everywhere.
inline QFont Font(double points, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * Unit)));
    font.setBold(bold);
    return font;
}

}  // namespace tenso::report::pdf
