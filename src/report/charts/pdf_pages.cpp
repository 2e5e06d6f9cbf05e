#include "pdf_pages.h"

#include "pdf_style.h"

#include <QFontMetricsF>

#include <utility>

namespace tenso::report::pdf {
namespace {

double footerHeight() { return 6 * Millimetre; }

}  // namespace

Pages::Pages(QPdfWriter& writer, QPainter& painter, QString footer, int total)
    : writer_(writer)
    , painter_(painter)
    , footer_(std::move(footer))
    , total_(total)
{
    const QRect paint = writer.pageLayout().paintRectPixels(Resolution);
    area_ = QRectF(0, 0, paint.width(), paint.height() - footerHeight());
    y = area_.top();
}

bool Pages::Need(double height)
{
    if (y + height <= area_.bottom() || y == area_.top())
        return false;
    NewPage();
    return true;
}

void Pages::NewPage()
{
    footer();
    writer_.newPage();
    y = area_.top();
}

int Pages::Finish()
{
    footer();
    return number_;
}

void Pages::footer()
{
    ++number_;
    const QFont font = Font(7);
    const QFontMetricsF metrics(font, painter_.device());
    painter_.setFont(font);
    painter_.setPen(QColor(0x55, 0x55, 0x55));
    const double baseline = area_.bottom() + footerHeight() - metrics.descent();
    painter_.drawText(
        QPointF(area_.left(), baseline), metrics.elidedText(footer_, Qt::ElideRight, area_.width() * 0.7));
    const QString page = total_ > 0 ? QStringLiteral("Page %1 of %2").arg(number_).arg(total_)
                                    : QStringLiteral("Page %1").arg(number_);
    painter_.drawText(QPointF(area_.right() - metrics.horizontalAdvance(page), baseline), page);
    painter_.setPen(Qt::black);
}

void Paragraph(Pages& pages, const QString& text, const QFont& font, double indent, const QColor& colour)
{
    QPainter& painter = pages.Painter();
    painter.setFont(font);
    painter.setPen(colour);
    const QRectF room(pages.Left() + indent, 0, pages.Width() - indent, 1e9);
    const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    const QRectF bounds = painter.boundingRect(room, flags, text);
    pages.Need(bounds.height());
    painter.drawText(QRectF(room.left(), pages.y, room.width(), bounds.height() + Unit), flags, text);
    pages.y += bounds.height();
    painter.setPen(Qt::black);
}

}  // namespace tenso::report::pdf
