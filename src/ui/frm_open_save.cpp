#include "frm_open_save.h"

#include "frm_open_save_dialog.h"

namespace tenso {

// The dialog is parented to the main window only so that it stays in front of it and takes no
// task-bar entry of its own; it places itself in the middle of the screen.
void ShowOpenSaveDialog(
    QWidget* mainWindow, SharedState& s, Window& w, std::string_view title, std::string_view pattern)
{
    FrmOpenSave dialog(s, w, mainWindow);
    dialog.SetTitle(title);
    dialog.SetFileNameText(pattern);
    dialog.exec();
}

}  // namespace tenso
