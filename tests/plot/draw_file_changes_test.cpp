// The data file changes on disk after Browse has chosen it: deleted, replaced, locked. Draw opens it
// afresh and must end in the data-file message with the number of what it found.
#include "data/preview.h"
#include "data/reader.h"
#include "plot/draw.h"
#include "support/fake_window.h"
#include "support/temp_file.h"
#include "ui/browse.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tenso {
namespace {

namespace fs = std::filesystem;

// Five header lines and four records, as the window's defaults (skip 5, X column 1, Y column 2) read.
const std::string steel = "TENSILE TEST\r\nS355\r\nrate\r\ngauge\r\nstrain,stress\r\n"
                          "0,0\r\n1000,205\r\n2000,350\r\n3000,360\r\n";

// A started window in which Browse has chosen the file: path stored, preview shown, scan undone.
struct Chosen : test::Form {
    explicit Chosen(std::string_view content = steel)
        : file(content)
    {
        window.onFileDialog = [this](std::string_view, std::string_view) {
            state.DataFileName = file.path();
            ShowFirstLines(state.DataFileName, window);
        };
        Command2_Click(state, window);
    }
    // Draw's failure number, 0 when it showed no message.
    int draw()
    {
        window.ClearMessages();
        Command3_Click(0, state, window);
        if (window.Messages().empty())
            return 0;
        const Message& m = window.Messages().back();
        EXPECT_EQ(m, DataFileMessage(static_cast<int16_t>(std::stoi(m.text.substr(m.text.rfind('(') + 1)))));
        return std::stoi(m.text.substr(m.text.rfind('(') + 1));
    }
    void write(std::string_view content) const
    {
        std::ofstream(file.path(), std::ios::binary | std::ios::trunc) << content;
    }

    test::TempFile file;
};

TEST(DrawAfterTheFileChanged, EachChangeEndsInItsMessage)
{
    struct Case {
        const char* name;
        std::function<void(const Chosen&)> change;
        int number;
        bool scanned;  // the scan completed before the failure
    };
    const auto replace = [](const Chosen& c, const std::function<void(const std::string&)>& by) {
        fs::remove(c.file.path());
        by(c.file.path());
    };
    const Case cases[] = {
        {"unchanged", [](const Chosen&) {}, 0, true},
        {"deleted", [](const Chosen& c) { fs::remove(c.file.path()); }, 53, false},
        {"a folder in its place",
            [&](const Chosen& c) { replace(c, [](const std::string& p) { fs::create_directory(p); }); }, 75,
            false},
        {"a FIFO in its place",
            [&](const Chosen& c) { replace(c, [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }); }, 75,
            false},
        {"a link to a device in its place",
            [&](const Chosen& c) {
                replace(c, [](const std::string& p) { fs::create_symlink("/dev/zero", p); });
            },
            75, false},
        {"its folder deleted", [](const Chosen& c) { fs::remove_all(c.file.folder()); }, 76, false},
        {"its folder replaced by a file",
            [](const Chosen& c) {
                fs::remove_all(c.file.folder());
                std::ofstream(c.file.folder()) << "x";
            },
            76, false},
        {"emptied", [](const Chosen& c) { c.write(""); }, 62, false},
        {"cut to its header", [](const Chosen& c) { c.write(steel.substr(0, steel.find("0,0"))); }, 62,
            false},
        {"text written into it", [](const Chosen& c) { c.write("h\nh\nh\nh\nh\n1,abc\n"); }, 13, true},
    };
    for (const Case& c : cases) {
        Chosen chosen;
        c.change(chosen);
        EXPECT_EQ(chosen.draw(), c.number) << c.name;
        EXPECT_EQ(chosen.window.Text(Text2(0)), chosen.file.path()) << c.name;
        EXPECT_EQ(chosen.state.FileScanned, c.scanned ? 1 : 0) << c.name;
    }
}

// After a scan, Draw keeps the counts until the next Browse: a file that shrinks then lacks records
// (62), and one that grows is read as far as the counts reach.
TEST(DrawAfterTheFileChanged, ASecondDrawReadsTheChangedFileWithTheCountsOfTheFirst)
{
    Chosen shrinking;
    ASSERT_EQ(shrinking.draw(), 0);
    shrinking.write(steel.substr(0, steel.find("3000")));
    EXPECT_EQ(shrinking.draw(), 62);
    EXPECT_EQ(shrinking.state.PointCount, 4.0f);

    Chosen growing;
    ASSERT_EQ(growing.draw(), 0);
    growing.write(steel + "4000,500\r\n");
    EXPECT_EQ(growing.draw(), 0);
    EXPECT_EQ(growing.state.YMax, 360.0f);  // record 5 is beyond the counts
    EXPECT_EQ(growing.state.XData[4], 3000.0f);
}

// Runs `f` in a child process with the rights of the user "nobody" and returns its exit status; -1
// when the rights cannot be dropped here.
int asNobody(const std::function<int()>& f)
{
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            ::_exit(255);
        ::_exit(f());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// A file whose read permission is taken away after Browse (70). The superuser reads every file, so
// as root the Draw runs in a child process as "nobody".
TEST(DrawAfterTheFileChanged, AFileMadeUnreadableFails70)
{
    Chosen chosen;
    fs::permissions(
        chosen.file.folder(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(chosen.file.path(), fs::perms::none);
    if (::geteuid() != 0) {
        EXPECT_EQ(chosen.draw(), 70);
        return;
    }
    const int number = asNobody([&] { return chosen.draw(); });
    if (number < 0)
        GTEST_SKIP() << "cannot run as the user nobody here";
    EXPECT_EQ(number, 70);
}

}  // namespace
}  // namespace tenso
