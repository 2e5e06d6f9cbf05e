#pragma once

// The one entry of the picture module that tenso-eval loads when --plot asks for pictures: painting
// needs Qt Gui and Svg, which a plain evaluation does not load, so that it starts in half the time.

namespace tenso {
class RecordingSurface;
}

extern "C" {

// Paints the recorded plot area into `path` (PNG, or SVG when svg is true), `scale` times the
// window's size. Returns false with a message in `error` (at most errorSize bytes) on failure.
using TensoPaintPlotFunction = bool(const tenso::RecordingSurface* drawing, const char* path, int scale, bool svg,
                                    const char* title, char* error, int errorSize);
TensoPaintPlotFunction TensoPaintPlot;
}
