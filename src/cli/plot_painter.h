#pragma once

// The one entry of the picture module that tenso-eval loads when --plot asks for pictures: painting
// needs Qt Gui and Svg, which a plain evaluation does not load, so that it starts in half the time.

class QByteArray;

namespace tenso {
class RecordingSurface;
}

extern "C" {

// Paints the recorded plot area as a PNG (or SVG when svg is true) into `picture`, `scale` times
// the window's size. Returns false with a message in `error` (at most errorSize bytes) on failure.
using TensoPaintPlotFunction = bool(const tenso::RecordingSurface* drawing, int scale, bool svg,
    const char* title, QByteArray* picture, char* error, int errorSize);
TensoPaintPlotFunction TensoPaintPlot;
}
