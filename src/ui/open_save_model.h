#pragma once

#include "open_save_folders.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tenso {

struct SharedState;
class Window;

// What the dialog keeps of the process between its openings, besides the current folder itself:
// the folder last shown on each volume in this run, where choosing that drive returns.
struct DriveMemory {
    std::map<std::string, std::string> lastFolder;
};
DriveMemory& RunDriveMemory();  // the one memory of this run

// One line of the folder list: the folders from the root down to the current one ("open"), then
// the current folder's subfolders one level deeper.
struct FolderEntry {
    std::string name;
    std::string path;
    int depth = 0;
    bool open = false;
    friend bool operator==(const FolderEntry&, const FolderEntry&) = default;
};

inline constexpr std::string_view DataFileOpenTitle = "Data File Open";
inline constexpr std::string_view MissingFileWarning = "ファイルが存在しません。";

// The file dialog frmOpenSave without a display: the drive, folder and file lists, the file-name
// field, the OK button's state, and the dialog's events. Each list raises its change event only
// when its value really changes, and the events set one another's lists, nested, until they come
// to rest. The process's current folder follows the folder list.
//
// The view forwards the user's actions (the public event functions) and shows the state; warnings
// go to onWarning, which returns when the user has closed the message box.
class OpenSaveModel {
public:
    // The load step: the lists start on the process's current folder (or, when that cannot be read,
    // its nearest readable parent, which then becomes the current folder).
    OpenSaveModel(SharedState& s, Window& w, std::vector<std::string> volumes, DriveMemory& memory);

    // The caller's steps before showing: the title is also the mode ("Data File Open" previews).
    void SetTitle(std::string_view title) { title_ = title; }
    // The file-name field, set by the caller or typed by the user.
    void SetText(std::string_view text);

    void PickDrive(size_t index);  // drive list
    void OpenFolder(size_t index);  // double-click in the folder list
    void SelectFile(size_t index);  // click or arrow key in the file list
    void ChooseFile(size_t index);  // double-click in the file list
    void ClickOk();
    void Cancel();  // Cancel, Escape, or the frame's close control

    const std::string& Title() const { return title_; }
    const std::vector<std::string>& Drives() const { return drives_; }
    const std::string& Drive() const { return drive_; }
    const std::vector<FolderEntry>& Folders() const { return folders_; }
    const std::string& Folder() const { return folder_; }
    const std::string& FileFolder() const { return fileFolder_; }
    const std::string& Pattern() const { return pattern_; }
    const std::vector<std::string>& Files() const { return files_; }
    int SelectedFile() const { return selected_; }  // -1 for none
    const std::string& Text() const { return text_; }
    bool OkEnabled() const { return okEnabled_; }
    const std::string& FolderCaption() const { return caption_; }  // lblOpenSave(2)
    bool Closed() const { return closed_; }

    std::function<void(const std::string& text)> onWarning;

private:
    // The lists' setters: each raises its list's change event on a real change only. They take
    // their value by copy, as it is often a list's own value, which the nested events replace.
    void setDrive(std::string path);
    void setFolder(std::string path);
    void setFolderToDrive(std::string drive);
    void setFileFolder(std::string path);
    void setPattern(std::string pattern);
    void setText(std::string text);

    void driveChanged();
    void folderChanged();
    void fileFolderChanged();
    void patternChanged();
    void textChanged();
    void fileChosen();

    void requestFileName(const std::string& text);
    void remember(const std::string& folder);
    void restoreReadableFolder();
    void warn(const std::string& text) const;

    SharedState& state_;
    Window& window_;
    DriveMemory& memory_;
    std::string title_ = "File";
    std::vector<std::string> drives_;
    std::string drive_;
    std::string folder_;
    std::vector<FolderEntry> folders_;
    std::string fileFolder_;
    std::string pattern_ = "*.dat";
    std::vector<std::string> files_;
    int selected_ = -1;
    std::string text_ = "*.dat";
    bool okEnabled_ = false;
    std::string caption_;
    bool closed_ = false;
};

}  // namespace tenso
