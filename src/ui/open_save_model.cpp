#include "open_save_model.h"

#include "data/preview.h"
#include "open_save_pattern.h"
#include "open_save_volumes.h"
#include "state/failure.h"
#include "state/shared_state.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace tenso {
namespace {

// The file-name request of the file list failed: the text names no folder, pattern or listed file.
struct RequestFailed { };

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNoCase(std::string_view a, std::string_view b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lower(x) == lower(y); });
}

std::vector<std::string> filtered(const std::vector<std::string>& files, const std::string& pattern)
{
    std::vector<std::string> out;
    std::copy_if(files.begin(), files.end(), std::back_inserter(out),
        [&](const std::string& f) { return MatchesPattern(f, pattern); });
    return out;
}

std::vector<FolderEntry> folderEntries(const std::string& folder, const std::vector<std::string>& subfolders)
{
    std::vector<FolderEntry> entries {{"/", "/", 0, true}};
    std::string path;
    size_t start = 1;
    while (start < folder.size()) {
        const size_t slash = folder.find('/', start);
        const size_t end = slash == std::string::npos ? folder.size() : slash;
        path = folder.substr(0, end);
        entries.push_back({folder.substr(start, end - start), path, static_cast<int>(entries.size()), true});
        start = end + 1;
    }
    const int depth = static_cast<int>(entries.size());
    for (const std::string& name : subfolders)
        entries.push_back({name, JoinPath(folder, name), depth, false});
    return entries;
}

std::string folderMessage(const FolderError& e)
{
    return "The folder \"" + e.path + "\" cannot be read: " + SystemErrorText(e.error) + ".";
}

// The preview's failure numbers, told in the system's words where the system has words for them.
std::string failureReason(int16_t number)
{
    switch (number) {
    case failure::FileNotFound:
    case failure::PathNotFound:
        return SystemErrorText(ENOENT);
    case failure::PermissionDenied:
        return SystemErrorText(EACCES);
    case failure::BadFileName:
        return SystemErrorText(ENAMETOOLONG);
    case failure::TooManyFiles:
        return SystemErrorText(EMFILE);
    case failure::DeviceIo:
        return SystemErrorText(EIO);
    case failure::AccessError:
        return "It is not a regular file";
    default:
        return "Failure " + std::to_string(number);
    }
}

}  // namespace

DriveMemory& RunDriveMemory()
{
    static DriveMemory memory;
    return memory;
}

OpenSaveModel::OpenSaveModel(SharedState& s, Window& w, std::vector<std::string> volumes, DriveMemory& memory)
    : state_(s)
    , window_(w)
    , memory_(memory)
    , drives_(std::move(volumes))
{
    if (std::find(drives_.begin(), drives_.end(), "/") == drives_.end())
        drives_.insert(drives_.begin(), "/");

    const std::string current = CurrentFolder();
    std::string start = current.empty() ? "/" : current;
    FolderListing listing;
    while (true) {
        try {
            listing = ReadFolder(start);
            break;
        } catch (const FolderError&) {
            if (start == "/")
                break;  // nothing readable at all: the lists stay empty
            start = ResolveFolder(start, "..");
        }
    }
    if (start != current) {
        try {
            ChangeFolder(start);
        } catch (const FolderError&) { }
    }

    // The lists come into being on the current folder, so the load's own settings change nothing.
    drive_ = VolumeOf(start, drives_);
    folder_ = start;
    folders_ = folderEntries(start, listing.folders);
    fileFolder_ = start;
    files_ = filtered(listing.files, pattern_);
    remember(start);
    setDrive(start);
    setFolder(start);
    caption_ = folder_;
}

void OpenSaveModel::SetText(std::string_view text)
{
    if (!closed_)
        setText(std::string(text));
}

void OpenSaveModel::PickDrive(size_t index)
{
    if (closed_ || index >= drives_.size() || drives_[index] == drive_)
        return;
    const std::string drive = drives_[index];
    try {
        drive_ = drive;
        driveChanged();
    } catch (const FolderError& e) {
        warn("The drive \"" + drive + "\" cannot be read: " + SystemErrorText(e.error) + ".");
        restoreReadableFolder();
    }
}

void OpenSaveModel::OpenFolder(size_t index)
{
    if (closed_ || index >= folders_.size())
        return;
    try {
        setFolder(folders_[index].path);
    } catch (const FolderError& e) {
        warn(folderMessage(e));
        restoreReadableFolder();
    }
}

void OpenSaveModel::SelectFile(size_t index)
{
    if (closed_ || index >= files_.size())
        return;
    selected_ = static_cast<int>(index);
    setText(files_[index]);
}

void OpenSaveModel::ChooseFile(size_t index)
{
    if (closed_ || index >= files_.size())
        return;
    selected_ = static_cast<int>(index);
    fileChosen();
}

void OpenSaveModel::ClickOk()
{
    if (closed_ || !okEnabled_)
        return;
    // The typed text as it stood, and the folder it was typed in: the request may move both.
    const std::string typed = text_;
    const std::string base = fileFolder_;
    try {
        requestFileName(typed);
        return;
    } catch (const RequestFailed&) {
    } catch (const FolderError&) { }
    try {
        if (!FindFirstFile(typed, base))
            warn(std::string(MissingFileWarning));
    } catch (const FolderError& e) {
        warn(folderMessage(e));
    } catch (const std::system_error& e) {
        warn(SystemErrorText(e.code().value()));
    }
}

void OpenSaveModel::Cancel() { closed_ = true; }

// The drive list takes the volume of the path it is given.
void OpenSaveModel::setDrive(std::string path)  // NOLINT(performance-unnecessary-value-param): see the header
{
    const std::string volume = VolumeOf(path, drives_);
    if (volume == drive_)
        return;
    drive_ = volume;
    driveChanged();
}

void OpenSaveModel::setFolder(
    std::string path)  // NOLINT(performance-unnecessary-value-param): see the header
{
    if (path == folder_)
        return;
    FolderListing listing = ReadFolder(path);
    folder_ = path;
    folders_ = folderEntries(path, listing.folders);
    remember(path);
    folderChanged();
}

// A drive given to the folder list means the folder last shown on it, or its root.
void OpenSaveModel::setFolderToDrive(
    std::string drive)  // NOLINT(performance-unnecessary-value-param): see the header
{
    const auto last = memory_.lastFolder.find(drive);
    if (last != memory_.lastFolder.end() && last->second != drive) {
        try {
            setFolder(last->second);
            return;
        } catch (const FolderError&) {
            // Removed or locked since it was shown: the root of the volume instead.
        }
    }
    setFolder(drive);
}

void OpenSaveModel::setFileFolder(
    std::string path)  // NOLINT(performance-unnecessary-value-param): see the header
{
    if (path == fileFolder_)
        return;
    FolderListing listing = ReadFolder(path);
    fileFolder_ = path;
    files_ = filtered(listing.files, pattern_);
    selected_ = -1;
    remember(path);
    fileFolderChanged();
}

void OpenSaveModel::setPattern(
    std::string pattern)  // NOLINT(performance-unnecessary-value-param): see the header
{
    if (pattern == pattern_)
        return;
    FolderListing listing = ReadFolder(fileFolder_);
    pattern_ = pattern;
    files_ = filtered(listing.files, pattern_);
    selected_ = -1;
    patternChanged();
}

void OpenSaveModel::setText(std::string text)  // NOLINT(performance-unnecessary-value-param): see the header
{
    if (text == text_)
        return;
    text_ = text;
    textChanged();
}

void OpenSaveModel::driveChanged()
{
    setFolderToDrive(drive_);
    const auto last = memory_.lastFolder.find(drive_);
    ChangeFolder(last != memory_.lastFolder.end() ? last->second : drive_);
}

void OpenSaveModel::folderChanged()
{
    setFileFolder(folder_);
    caption_ = folder_;
    ChangeFolder(folder_);
}

void OpenSaveModel::fileFolderChanged()
{
    setText(pattern_);
    setDrive(fileFolder_);
    setFolder(fileFolder_);
}

void OpenSaveModel::patternChanged()
{
    setDrive(fileFolder_);
    setFolder(fileFolder_);
}

void OpenSaveModel::textChanged()
{
    if (text_ != "*.prn")
        okEnabled_ = true;
}

void OpenSaveModel::fileChosen()
{
    if (selected_ < 0 || static_cast<size_t>(selected_) >= files_.size())
        return;
    const std::string path = JoinPath(fileFolder_, files_[static_cast<size_t>(selected_)]);
    const std::string before = state_.DataFileName;
    state_.DataFileName = path;
    if (title_ == DataFileOpenTitle) {
        try {
            ShowFirstLines(state_.DataFileName, window_);
        } catch (const Failure& f) {
            // Removed or locked since it was listed: the choice is undone and the dialog stays.
            state_.DataFileName = before;
            warn("The file \"" + path + "\" cannot be opened: " + failureReason(f.number) + ".");
            return;
        }
    }
    closed_ = true;
}

// A folder part moves the file list, a pattern becomes its pattern (set first, so that the field
// shows the new pattern after the move), and a listed file's name chooses it.
void OpenSaveModel::requestFileName(const std::string& text)
{
    if (text.empty())
        throw RequestFailed {};
    const size_t slash = text.rfind('/');
    std::string folderPart = slash == std::string::npos ? "" : text.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    if (!name.empty() && !HasWildcards(name) && IsFolder(ResolveFolder(fileFolder_, folderPart + name))) {
        folderPart += name + "/";
        name.clear();
    }
    std::string target;
    if (!folderPart.empty()) {
        target = ResolveFolder(fileFolder_, folderPart);
        ReadFolder(target);  // an unreadable folder fails here, before anything moves
    }
    if (HasWildcards(name))
        setPattern(name);
    if (!target.empty())
        setFileFolder(target);
    if (name.empty() || HasWildcards(name))
        return;

    auto listed = std::find(files_.begin(), files_.end(), name);
    if (listed == files_.end()) {
        // The list ignores case, so a name typed in another case chooses the one file it means.
        const auto sameName = [&](const std::string& f) { return equalNoCase(f, name); };
        if (std::count_if(files_.begin(), files_.end(), sameName) != 1)
            throw RequestFailed {};
        listed = std::find_if(files_.begin(), files_.end(), sameName);
    }
    selected_ = static_cast<int>(listed - files_.begin());
    fileChosen();
}

void OpenSaveModel::remember(const std::string& folder)
{
    memory_.lastFolder[VolumeOf(folder, drives_)] = folder;
}

// After a folder or drive that could not be read: every list back on the folder whose files are
// shown, which was read last.
void OpenSaveModel::restoreReadableFolder()
{
    try {
        setFolder(fileFolder_);
        setDrive(fileFolder_);
        ChangeFolder(fileFolder_);
    } catch (const FolderError&) {
        // That folder went away as well; the lists keep what they show.
    }
}

void OpenSaveModel::warn(const std::string& text) const
{
    if (onWarning)
        onWarning(text);
}

}  // namespace tenso
