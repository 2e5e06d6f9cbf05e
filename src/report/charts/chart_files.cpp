#include "chart_files.h"

#include "chart_painter.h"
#include "png_writer.h"

#include "common/qt_text.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace tenso::report {

QString ChartNames::Next(const std::string& dataFile)
{
    QString base = QFileInfo(QString::fromStdString(dataFile)).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("chart");
    const QString extension = format_ == PlotFormat::Svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    QString name = base + extension;
    for (int i = 2; used_.contains(name); ++i)
        name = QStringLiteral("%1-%2%3").arg(base).arg(i).arg(extension);
    used_.insert(name);
    return name;
}

std::string WriteChartFile(const QString& path, const ChartData& chart, QSize size, PlotFormat format)
{
    const auto failure = [&](const QString& reason) {
        return QStringLiteral("cannot write %1: %2").arg(path, reason).toStdString();
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const double unit = ChartUnitForPixels(size.width(), size.height());
    const QRectF area(0, 0, size.width(), size.height());
    if (format == PlotFormat::Svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(area);
        generator.setTitle(common::DisplayNameText(chart.name));
        QPainter painter;
        if (!painter.begin(&generator))
            return failure(QStringLiteral("the SVG cannot be started"));
        painter.fillRect(area, Qt::white);
        PaintTitledChart(painter, area, unit, chart);
        painter.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PaintTitledChart(painter, area, unit, chart);
        }
        if (!WriteChartPng(file, image))
            return failure(file.errorString());
    }
    if (!file.commit())
        return failure(file.errorString());
    return {};
}

}  // namespace tenso::report
