#include "open_save_model.h"
#include "open_save_temp_tree.h"
#include "state/failure.h"
#include "support/fake_window.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

namespace tenso {
namespace {

using Files = std::vector<std::string>;

// Each scenario runs in its own folder tree:
//   A.DAT  b.dat  c.csv  notes.txt  .hidden.dat  zeta/  sub/ (d.dat, e.csv)  .git/
class OpenSave : public ::testing::Test {
protected:
    OpenSave()
    {
        tree.file("A.DAT", "a1\r\na2\r\n");
        tree.file("b.dat", "b1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\nb7\r\n");
        tree.file("c.csv", "c1\r\n");
        tree.file("notes.txt", "n\r\n");
        tree.file(".hidden.dat");
        tree.folder("zeta");
        tree.file("sub/d.dat", "d1\r\n");
        tree.file("sub/e.csv");
        tree.folder(".git");
    }

    OpenSaveModel& open(std::vector<std::string> volumes = {"/"})
    {
        model = std::make_unique<OpenSaveModel>(form.state, form.window, std::move(volumes), memory);
        model->onWarning = [this](const std::string& text) { warnings.push_back(text); };
        model->SetTitle("Data File Open");
        return *model;
    }

    size_t folderIndex(const std::string& path) const
    {
        const auto& f = model->Folders();
        const auto it
            = std::find_if(f.begin(), f.end(), [&](const FolderEntry& e) { return e.path == path; });
        return static_cast<size_t>(it - f.begin());
    }
    size_t fileIndex(const std::string& name) const
    {
        const auto& f = model->Files();
        return static_cast<size_t>(std::find(f.begin(), f.end(), name) - f.begin());
    }
    void type(const std::string& text)
    {
        model->SetText(text);
        model->ClickOk();
    }
    static std::string cwd() { return std::filesystem::current_path().string(); }

    test::TempTree tree;
    test::Form form;
    DriveMemory memory;
    std::unique_ptr<OpenSaveModel> model;
    std::vector<std::string> warnings;
};

TEST_F(OpenSave, LoadShowsTheCurrentFolder)
{
    auto& m = open();
    EXPECT_EQ(m.Drive(), "/");
    EXPECT_EQ(m.Folder(), tree.root());
    EXPECT_EQ(m.FileFolder(), tree.root());
    EXPECT_EQ(m.FolderCaption(), tree.root());
    // "*.dat" ignores case, sorts without regard to case, and leaves the hidden file out.
    EXPECT_EQ(m.Files(), (Files {"A.DAT", "b.dat"}));
    EXPECT_EQ(m.SelectedFile(), -1);
    EXPECT_EQ(m.Text(), "*.dat");
    EXPECT_FALSE(m.OkEnabled());
    EXPECT_EQ(m.Title(), "Data File Open");

    // The folder list: "/", each folder down to the current one, then its visible subfolders.
    const auto& f = m.Folders();
    ASSERT_GE(f.size(), 4u);
    EXPECT_EQ(f.front(), (FolderEntry {"/", "/", 0, true}));
    const FolderEntry& current = f[f.size() - 3];
    EXPECT_EQ(current.path, tree.root());
    EXPECT_TRUE(current.open);
    EXPECT_EQ(f[f.size() - 2], (FolderEntry {"sub", tree.path("sub"), current.depth + 1, false}));
    EXPECT_EQ(f[f.size() - 1], (FolderEntry {"zeta", tree.path("zeta"), current.depth + 1, false}));
}

TEST_F(OpenSave, OkIsEnabledByAnyTextButExactlyStarDotPrn)
{
    auto& m = open();
    m.SetText("*.dat");  // what the caller sets: the field already shows it, so nothing changes
    EXPECT_FALSE(m.OkEnabled());
    m.SetText("*.prn");
    EXPECT_FALSE(m.OkEnabled());
    m.SetText("*.pr");
    EXPECT_TRUE(m.OkEnabled());
    m.SetText("*.prn");  // nothing disables OK again
    EXPECT_TRUE(m.OkEnabled());

    auto& again = open();
    again.SetText("");
    EXPECT_TRUE(again.OkEnabled());

    auto& third = open();
    third.SelectFile(1);  // selecting a file writes its name into the field
    EXPECT_EQ(third.Text(), "b.dat");
    EXPECT_TRUE(third.OkEnabled());

    // Enter while OK is disabled does nothing.
    auto& fourth = open();
    fourth.ClickOk();
    EXPECT_TRUE(warnings.empty());
    EXPECT_FALSE(fourth.Closed());
}

TEST_F(OpenSave, TypedPatternBecomesTheListsPattern)
{
    auto& m = open();
    type("*.CSV");
    EXPECT_EQ(m.Pattern(), "*.CSV");
    EXPECT_EQ(m.Files(), (Files {"c.csv"}));
    EXPECT_EQ(m.Text(), "*.CSV");  // the field keeps the typed pattern
    EXPECT_FALSE(m.Closed());
    EXPECT_EQ(cwd(), tree.root());

    type("*.dat; *.csv");
    EXPECT_EQ(m.Files(), (Files {"A.DAT", "b.dat", "c.csv"}));
    type(".*");
    EXPECT_EQ(m.Files(), (Files {".hidden.dat"}));
    type("*.*");
    EXPECT_EQ(m.Files(), (Files {"A.DAT", "b.dat", "c.csv", "notes.txt"}));
    EXPECT_TRUE(warnings.empty());
}

TEST_F(OpenSave, TypedFolderMovesEveryListAndTheCurrentFolder)
{
    auto& m = open();
    type("sub/");
    EXPECT_EQ(m.Folder(), tree.path("sub"));
    EXPECT_EQ(m.FileFolder(), tree.path("sub"));
    EXPECT_EQ(m.FolderCaption(), tree.path("sub"));
    EXPECT_EQ(m.Drive(), "/");
    EXPECT_EQ(m.Files(), (Files {"d.dat"}));
    EXPECT_EQ(m.Text(), "*.dat");  // reset to the pattern
    EXPECT_EQ(cwd(), tree.path("sub"));

    type("..");  // a folder's name without a separator moves as well
    EXPECT_EQ(m.Folder(), tree.root());
    EXPECT_EQ(cwd(), tree.root());

    type(tree.path("sub") + "/*.csv");  // folder and pattern at once: the field shows the new pattern
    EXPECT_EQ(m.Folder(), tree.path("sub"));
    EXPECT_EQ(m.Files(), (Files {"e.csv"}));
    EXPECT_EQ(m.Text(), "*.csv");

    type("/");
    EXPECT_EQ(m.Folder(), "/");
    EXPECT_EQ(m.FolderCaption(), "/");
    EXPECT_EQ(cwd(), "/");
    EXPECT_TRUE(warnings.empty());
    EXPECT_FALSE(m.Closed());
}

TEST_F(OpenSave, TypedListedFileIsChosenLikeADoubleClick)
{
    auto& m = open();
    type("b.dat");
    EXPECT_TRUE(m.Closed());
    EXPECT_EQ(form.state.DataFileName, tree.path("b.dat"));
    EXPECT_EQ(form.window.Text(Text11(0)), "b1");
    EXPECT_EQ(form.window.Text(Text11(5)), "b6");

    auto& clicked = open();
    clicked.ChooseFile(0);
    EXPECT_TRUE(clicked.Closed());
    EXPECT_EQ(form.state.DataFileName, tree.path("A.DAT"));

    // The list ignores case, so another case names the one file it lists.
    open();
    type("a.dat");
    EXPECT_EQ(form.state.DataFileName, tree.path("A.DAT"));

    // A path into another folder moves there and chooses the file.
    auto& elsewhere = open();
    type(tree.path("sub/d.dat"));
    EXPECT_TRUE(elsewhere.Closed());
    EXPECT_EQ(form.state.DataFileName, tree.path("sub/d.dat"));
    EXPECT_EQ(cwd(), tree.path("sub"));
    EXPECT_TRUE(warnings.empty());
}

TEST_F(OpenSave, ChosenFileIsNotPreviewedUnderAnotherTitle)
{
    form.window.SetText(Text11(0), "kept");
    auto& m = open();
    m.SetTitle("Data File Save");
    m.ChooseFile(1);
    EXPECT_TRUE(m.Closed());
    EXPECT_EQ(form.state.DataFileName, tree.path("b.dat"));
    EXPECT_EQ(form.window.Text(Text11(0)), "kept");
}

TEST_F(OpenSave, NameOfNoFileWarnsAndTheDialogStays)
{
    form.state.DataFileName = "earlier.dat";
    auto& m = open();
    type("nothere.dat");
    EXPECT_EQ(warnings, (Files {"ファイルが存在しません。"}));
    EXPECT_FALSE(m.Closed());
    EXPECT_EQ(m.Text(), "nothere.dat");
    EXPECT_EQ(form.state.DataFileName, "earlier.dat");

    // A missing folder on the way is no file either.
    warnings.clear();
    type("nofolder/x.dat");
    EXPECT_EQ(warnings, (Files {"ファイルが存在しません。"}));

    // A file that exists but is not listed (another pattern): nothing is said, the dialog stays.
    warnings.clear();
    type("notes.txt");
    EXPECT_TRUE(warnings.empty());
    EXPECT_FALSE(m.Closed());

    // A name the system refuses: the existence test fails, and its description is shown.
    type(std::string(300, 'x') + ".dat");
    EXPECT_EQ(warnings, (Files {std::strerror(ENAMETOOLONG)}));
    EXPECT_FALSE(m.Closed());
}

TEST_F(OpenSave, CancelKeepsTheFileNameButTheNewFolderStaysCurrent)
{
    form.state.DataFileName = "earlier.dat";
    auto& m = open();
    m.OpenFolder(folderIndex(tree.path("sub")));
    EXPECT_EQ(m.Files(), (Files {"d.dat"}));
    EXPECT_EQ(m.FolderCaption(), tree.path("sub"));
    m.Cancel();
    EXPECT_TRUE(m.Closed());
    EXPECT_EQ(form.state.DataFileName, "earlier.dat");
    EXPECT_EQ(cwd(), tree.path("sub"));

    auto& next = open();  // the next opening starts where the last one ended
    EXPECT_EQ(next.Folder(), tree.path("sub"));
    EXPECT_EQ(next.Text(), "*.dat");
    EXPECT_FALSE(next.OkEnabled());
}

TEST_F(OpenSave, UnreadableFolderWarnsAndTheListsStay)
{
    auto& m = open();
    const Files filesBefore = m.Files();
    std::filesystem::remove(tree.path("zeta"));  // listed, then removed before the double-click
    m.OpenFolder(folderIndex(tree.path("zeta")));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
        "The folder \"" + tree.path("zeta") + "\" cannot be read: " + std::strerror(ENOENT) + ".");
    EXPECT_EQ(m.Folder(), tree.root());
    EXPECT_EQ(m.FileFolder(), tree.root());
    EXPECT_EQ(m.Files(), filesBefore);
    EXPECT_EQ(cwd(), tree.root());

    if (::geteuid() != 0) {  // permissions do not stop root
        std::filesystem::permissions(tree.path("sub"), std::filesystem::perms::none);
        warnings.clear();
        m.OpenFolder(folderIndex(tree.path("sub")));
        EXPECT_EQ(warnings,
            (Files {
                "The folder \"" + tree.path("sub") + "\" cannot be read: " + std::strerror(EACCES) + "."}));
        EXPECT_EQ(m.Folder(), tree.root());
        // Typed, the same folder fails the request and then the existence test, which names it.
        warnings.clear();
        type("sub/d.dat");
        EXPECT_EQ(warnings,
            (Files {
                "The folder \"" + tree.path("sub") + "\" cannot be read: " + std::strerror(EACCES) + "."}));
        EXPECT_EQ(m.Folder(), tree.root());
    }
}

TEST_F(OpenSave, FileThatCannotBeOpenedWarnsAndTheChoiceIsUndone)
{
    form.state.DataFileName = "earlier.dat";
    form.window.SetText(Text11(0), "kept");
    auto& m = open();
    std::filesystem::remove(tree.path("b.dat"));  // listed, then removed before the choice
    m.ChooseFile(fileIndex("b.dat"));
    EXPECT_EQ(warnings,
        (Files {"The file \"" + tree.path("b.dat") + "\" cannot be opened: " + std::strerror(ENOENT) + "."}));
    EXPECT_EQ(form.state.DataFileName, "earlier.dat");
    EXPECT_EQ(form.window.Text(Text11(0)), "kept");
    EXPECT_FALSE(m.Closed());

    m.ChooseFile(fileIndex("A.DAT"));  // the dialog still works
    EXPECT_TRUE(m.Closed());
    EXPECT_EQ(form.state.DataFileName, tree.path("A.DAT"));
}

TEST_F(OpenSave, PreviewKeepsTheLaterLinesOfALongerEarlierFile)
{
    open().ChooseFile(1);  // b.dat, 7 lines
    open();
    tree.file("short.dat", "s1\r\ns2\r\ns3\r\n");
    type("short.dat");  // not listed yet when the dialog opened: typed, it is not chosen ...
    EXPECT_FALSE(model->Closed());
    open().ChooseFile(fileIndex("short.dat"));  // ... a new opening lists it
    const Files expected {"s1", "s2", "s3", "b4", "b5", "b6"};
    for (int k = 0; k < PreviewLines; ++k)
        EXPECT_EQ(form.window.Text(Text11(k)), expected[static_cast<size_t>(k)]) << "Text11(" << k << ")";
}

TEST_F(OpenSave, DrivesReturnToTheFolderLastShownOnThem)
{
    // A folder of the tree stands in for a mounted volume.
    const std::string vol = tree.folder("vol");
    tree.folder("vol/deep");
    auto& m = open({"/", vol});
    EXPECT_EQ(m.Drives(), (Files {"/", vol}));

    m.PickDrive(1);  // never shown in this run: its root
    EXPECT_EQ(m.Drive(), vol);
    EXPECT_EQ(m.Folder(), vol);
    EXPECT_EQ(m.FileFolder(), vol);
    EXPECT_EQ(cwd(), vol);
    m.OpenFolder(folderIndex(vol + "/deep"));
    EXPECT_EQ(m.Drive(), vol);

    m.PickDrive(0);  // back to the folder last shown on "/"
    EXPECT_EQ(m.Folder(), tree.root());
    EXPECT_EQ(cwd(), tree.root());

    auto& next = open({"/", vol});  // the memory outlives the opening
    next.PickDrive(1);
    EXPECT_EQ(next.Folder(), vol + "/deep");
    EXPECT_EQ(cwd(), vol + "/deep");

    // A typed folder on another volume moves every list there, the drive list included.
    next.PickDrive(0);
    type("vol/");
    EXPECT_EQ(next.Drive(), vol);
    EXPECT_EQ(next.Folder(), vol);
    EXPECT_EQ(cwd(), vol);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(OpenSave, UnreadableDriveWarnsAndTheListsStay)
{
    const std::string gone = tree.path("gone");  // a volume that has disappeared
    auto& m = open({"/", gone});
    m.PickDrive(1);
    EXPECT_EQ(
        warnings, (Files {"The drive \"" + gone + "\" cannot be read: " + std::strerror(ENOENT) + "."}));
    EXPECT_EQ(m.Drive(), "/");
    EXPECT_EQ(m.Folder(), tree.root());
    EXPECT_EQ(cwd(), tree.root());

    // A remembered folder that has gone since falls back to the volume's root.
    const std::string vol = tree.folder("vol");
    tree.folder("vol/deep");
    memory.lastFolder[vol] = vol + "/deep";
    std::filesystem::remove(vol + "/deep");
    auto& next = open({"/", vol});
    next.PickDrive(1);
    EXPECT_EQ(next.Folder(), vol);
}

TEST_F(OpenSave, StartsOnTheRootWhenTheCurrentFolderIsGone)
{
    const std::string doomed = tree.folder("doomed");
    std::filesystem::current_path(doomed);
    std::filesystem::remove(doomed);
    auto& m = open();
    EXPECT_EQ(m.Folder(), "/");
    EXPECT_EQ(cwd(), "/");
}

}  // namespace
}  // namespace tenso
