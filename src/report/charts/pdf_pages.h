#pragma once
// The page engine of tenso-report's PDF documents, the test report and the validation record: a
// cursor that moves down the page, a new page when the next block does not fit, a footer on each
// page, and paragraphs wrapped to the width.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QString>

namespace tenso::report::pdf {

class Pages {
public:
    // `total` 0: the footer says "Page n"; else "Page n of total" (a first pass counts them).
    Pages(QPdfWriter& writer, QPainter& painter, QString footer, int total = 0);
    QPainter& Painter() { return painter_; }
    double Left() const { return area_.left(); }
    double Width() const { return area_.width(); }
    double Right() const { return area_.right(); }
    double Bottom() const { return area_.bottom(); }
    double Remaining() const { return area_.bottom() - y; }
    // Starts a new page unless `height` fits below the cursor; returns whether it did.
    bool Need(double height);
    void NewPage();
    // Ends the last page; returns the number of pages.
    int Finish();

    double y = 0;

private:
    void footer();

    QPdfWriter& writer_;
    QPainter& painter_;
    QString footer_;
    int total_;
    QRectF area_;
    int number_ = 0;
};

// A paragraph wrapped to the width from `indent`, moved to the next page whole when it does not fit.
void Paragraph(Pages& pages, const QString& text, const QFont& font, double indent = 0,
    const QColor& colour = Qt::black);

}  // namespace tenso::report::pdf
