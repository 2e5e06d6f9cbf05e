#pragma once
// A PNG encoder for charts. Qt's writer goes through libpng, which tries five row filters on every
// row of a true-colour image and spends four fifths of a chart's time doing so; a chart is mostly
// runs of one colour, which run-length deflate packs as small without any filter.

class QIODevice;
class QImage;

namespace tenso::report {

// Writes `source` as an 8-bit RGB PNG. Returns false when the device refuses the bytes.
bool WriteChartPng(QIODevice& device, const QImage& source);

}  // namespace tenso::report
