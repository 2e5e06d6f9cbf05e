#pragma once

#include <QIcon>

namespace tenso {

// The icon of the main window and of the file dialog (the curve with its offset line), drawn as a
// 32 x 32 vector image.
QIcon AppIcon();

}  // namespace tenso
