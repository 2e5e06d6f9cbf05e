#pragma once

#include <QFont>

namespace tenso {

// The three faces of the window, requested by their Windows names. RegisterFontSubstitutes maps
// each name to the Linux faces that look closest, so the request resolves wherever they exist.
enum class Face { P, F, A };  // proportional Japanese, fixed-pitch Japanese, proportional Western

// Idempotent; must run before the first font of the window is made.
void RegisterFontSubstitutes();

// The window's sizes are 9.75 pt and 8.25 pt at 96 dpi. They are given in logical pixels (13 and
// 11) so that the text keeps its size relative to the twips layout whatever the screen's dpi.
inline constexpr int Regular = 13;
inline constexpr int Small = 11;

QFont WindowFont(Face face, int pixelSize = Regular, bool bold = false, bool italic = false);

}  // namespace tenso
