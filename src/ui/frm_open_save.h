#pragma once

#include <string_view>

class QWidget;

namespace tenso {

struct SharedState;
class Window;

// Shows the file dialog frmOpenSave modally, created afresh, with this title and file-name pattern
// (selected). A chosen file is stored in DataFileName and, with the title "Data File Open",
// previewed in the main window through ShowFirstLines. Returns when the dialog has closed.
void ShowOpenSaveDialog(
    QWidget* mainWindow, SharedState& s, Window& w, std::string_view title, std::string_view pattern);

}  // namespace tenso
