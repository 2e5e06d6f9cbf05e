#pragma once

#include "open_save_model.h"
#include "open_save_volumes.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tenso {

// frmOpenSave, the file dialog, as Qt widgets over OpenSaveModel. Each widget's objectName is its
// control name (filOpenSave, dirOpenSave, txtOpenSave, drvOpenSave, cmdOpenSave(0), lblOpenSave(2)
// ...). The widgets hand the user's actions to the model and show its state after each one; the
// dialog closes when the model has closed.
class FrmOpenSave : public QDialog {
    Q_OBJECT

public:
    // The load step: lists on the process's current folder, centred on the screen.
    FrmOpenSave(SharedState& s, Window& w, QWidget* parent = nullptr,
        std::vector<std::string> volumes = MountedVolumes(), DriveMemory& memory = RunDriveMemory());

    // The caller's steps before exec(): the title, which is also the dialog's mode, and the
    // file-name field, whose text is then selected whole, so that typing replaces it.
    void SetTitle(std::string_view title);
    void SetFileNameText(std::string_view fileName);

    const OpenSaveModel& Model() const { return model_; }

    // Shows one of the dialog's warnings and returns when the user has closed it: a modal message
    // box with a warning icon, the title "tenso" and an OK button.
    std::function<void(const QString& text)> showWarning;

    // Cancel, Escape and the frame's close control.
    void reject() override;

private:
    void build();
    void connectEvents();
    template <class Action> void run(Action action);
    void refresh();
    void showDrives();
    void showFolders();
    void showFiles();

    OpenSaveModel model_;
    std::array<QLabel*, 4> lblOpenSave_ {};
    QListWidget* filOpenSave_ = nullptr;
    QListWidget* dirOpenSave_ = nullptr;
    QLineEdit* txtOpenSave_ = nullptr;
    QComboBox* drvOpenSave_ = nullptr;
    std::array<QPushButton*, 2> cmdOpenSave_ {};
    // What the widgets show, so that a list is rebuilt only when it changed.
    std::vector<std::string> shownDrives_;
    std::vector<FolderEntry> shownFolders_;
    std::vector<std::string> shownFiles_;
};

}  // namespace tenso
