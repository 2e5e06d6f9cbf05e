// What tenso-eval writes: pictures either whole or not at all, results on standard output checked,
// and file names taken as the bytes the shell passed.
#include "support/temp_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>
#include <fstream>

namespace tenso {
namespace {

struct EvalResult {
    int status = -1;
    QByteArray out, err;
};

EvalResult finish(QProcess& p)
{
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError()};
}

// Runs tenso-eval with the arguments (separated by blanks) in `folder`.
EvalResult eval(const QString& arguments, const QString& folder, const QString& standardOutput = QString())
{
    QProcess p;
    p.setWorkingDirectory(folder);
    if (!standardOutput.isEmpty())
        p.setStandardOutputFile(standardOutput);
    p.start(QStringLiteral(TENSO_EVAL), arguments.split(QLatin1Char(' ')));
    return finish(p);
}

// The same through the shell, so that arguments can hold any bytes (printf escapes).
EvalResult evalSh(const QString& arguments, const QString& folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" ") + arguments, QStringLiteral(TENSO_EVAL)});
    return finish(p);
}

// 23 records rising by 1, or falling, so that two files give two different pictures.
std::string curve(bool rising)
{
    std::string content = "h\r\nh\r\nh\r\nh\r\nh\r\n";
    for (int i = 1; i <= 23; ++i)
        content += std::to_string(i) + "," + std::to_string(rising ? i : 24 - i) + "\r\n";
    return content;
}

QStringList entries(const std::string& folder)
{
    return QDir(QString::fromStdString(folder)).entryList(QDir::Files);
}

// A small tmpfs over `folder`, unmounted again at the end; needs root.
struct Mount {
    std::string folder;
    bool ok;
    Mount(std::string f, const char* options)
        : folder(std::move(f))
        , ok(::mount("tmpfs", folder.c_str(), "tmpfs", 0, options) == 0)
    { }
    ~Mount()
    {
        if (ok)
            ::umount(folder.c_str());
    }
};

TEST(PictureWrite, AFullDiskLeavesNoPictureAndSaysWhy)
{
    test::TempFile data(curve(true));
    const std::string disk = data.folder() + "/disk";
    std::filesystem::create_directory(disk);
    Mount mount(disk, "size=64k");
    if (!mount.ok)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs (needs root)";
    std::ofstream(disk + "/fill") << std::string(60 * 1024, 'x');  // 4 KiB left: less than either picture
    for (const char* name : {"a.png", "a.svg"}) {
        const EvalResult r = eval(QStringLiteral("--plot-scale 4 --plot disk/%1 data.dat").arg(name),
            QString::fromStdString(data.folder()));
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.err.toStdString(),
            "tenso-eval: cannot write disk/" + std::string(name) + ": No space left on device\n");
        EXPECT_EQ(entries(disk), QStringList {QStringLiteral("fill")}) << "no picture and no temporary file";
        EXPECT_TRUE(r.out.contains("\"error\": null")) << "the results are printed all the same";
    }
}

TEST(PictureWrite, AReadOnlyFolderOrPictureFailsAndKeepsWhatWasThere)
{
    test::TempFile data(curve(true));
    const QString folder = QString::fromStdString(data.folder());
    std::ofstream(data.folder() + "/old.png") << "old";
    std::filesystem::permissions(data.folder() + "/old.png", std::filesystem::perms::owner_read);
    EvalResult r = eval(QStringLiteral("--plot old.png data.dat"), folder);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err, "tenso-eval: cannot write old.png: the existing file is read-only and was left as it was\n");
    std::ifstream old(data.folder() + "/old.png");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old");
    EXPECT_EQ(entries(data.folder()), (QStringList {QStringLiteral("data.dat"), QStringLiteral("old.png")}));

    // A read-only folder: a read-only mount, which binds the super-user too.
    const std::string locked = data.folder() + "/locked";
    std::filesystem::create_directory(locked);
    Mount mount(locked, "size=64k");
    if (!mount.ok || ::mount(nullptr, locked.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "cannot mount a read-only tmpfs (needs root)";
    r = eval(QStringLiteral("--plot locked/p.svg data.dat"), folder);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.toStdString(), "tenso-eval: cannot write locked/p.svg: Read-only file system\n");
    EXPECT_TRUE(entries(locked).isEmpty());
}

TEST(PictureWrite, FilesOfOneBaseNameGetOnePictureEach)
{
    test::TempFile data(curve(true));
    const QString folder = QString::fromStdString(data.folder());
    for (const char* sub : {"/a", "/b"})
        std::filesystem::create_directory(data.folder() + sub);
    std::ofstream(data.folder() + "/a/run.dat") << curve(true);
    std::ofstream(data.folder() + "/b/run.dat") << curve(false);
    ASSERT_EQ(eval(QStringLiteral("--plot one.png a/run.dat"), folder).status, 0);
    ASSERT_EQ(eval(QStringLiteral("--plot two.png b/run.dat"), folder).status, 0);
    const EvalResult r = eval(QStringLiteral("--plot pic.png a/run.dat b/run.dat"), folder);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const auto bytes = [&](const char* name) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    // The first keeps its name from the base name, the second adds its place in the list.
    EXPECT_EQ(bytes("pic-run.png"), bytes("one.png"));
    EXPECT_EQ(bytes("pic-run-2.png"), bytes("two.png"));
    EXPECT_NE(bytes("one.png"), bytes("two.png"));
}

TEST(PictureWrite, AMissingPlotFolderIsOneUsageErrorBeforeAnyEvaluation)
{
    test::TempFile data(curve(true));
    const QString deep = QString(120, QLatin1Char('d'));
    const EvalResult r = eval(
        QStringLiteral("--plot %1/p.png data.dat data.dat").arg(deep), QString::fromStdString(data.folder()));
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    // The 120-character folder is shown by its first and last 40 characters.
    EXPECT_EQ(r.err.toStdString(),
        "tenso-eval: --plot: the folder \"" + std::string(40, 'd') + "..." + std::string(40, 'd')
            + "\" does not exist\n");
}

TEST(StandardOutput, AFullDeviceIsAFailure)
{
    test::TempFile data(curve(true));
    const EvalResult r = eval(QStringLiteral("data.dat data.dat"), QString::fromStdString(data.folder()),
        QStringLiteral("/dev/full"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.toStdString(),
        "tenso-eval: cannot write the results to standard output: No space left on device\n");
}

TEST(StandardOutput, AClosedOneIsAFailure)
{
    // Without the check, the next file opened would take descriptor 1 and receive the results.
    test::TempFile data(curve(true));
    const EvalResult r = evalSh(QStringLiteral("data.dat >&-"), QString::fromStdString(data.folder()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.toStdString(),
        "tenso-eval: cannot write the results to standard output: Bad file descriptor\n");
}

TEST(FileNames, AreTheBytesAsGiven)
{
    // "caf\xe9.dat" in Latin-1 holds the curve; "caf\xef\xbf\xbd.dat" (U+FFFD, what a lossy
    // decoding makes of it) holds no number at all and must not be the file evaluated.
    test::TempFile data(curve(true), "caf\xe9.dat");
    std::ofstream(data.folder() + "/caf\xef\xbf\xbd.dat") << "h\r\nh\r\nh\r\nh\r\nh\r\nx,y\r\n";
    const QString folder = QString::fromStdString(data.folder());
    EvalResult r = evalSh(QStringLiteral("\"$(printf 'caf\\351.dat')\""), folder);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\"file\": \"caf\\udce9.dat\",\n    \"error\": null,")) << r.out.toStdString();
    r = evalSh(QStringLiteral("--format csv \"$(printf 'caf\\351.dat')\""), folder);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.split('\n').value(1).startsWith("caf\xe9.dat,tangent,,23,2,")) << r.out.toStdString();
}

TEST(FileNames, ACharacterBeyondU10000IsFoundAndADeleteIsEscapedInJson)
{
    // U+1F4A9 is the UTF-16 pair D83D DCA9, whose low half looks like the escape of the byte A9:
    // read as that byte, the name would be another file. DEL is escaped so that it can be seen.
    test::TempFile pile(curve(true), "pile\xf0\x9f\x92\xa9.dat");
    std::ofstream(pile.folder() + "/del\x7f.dat", std::ios::binary) << curve(false);
    const QString folder = QString::fromStdString(pile.folder());
    const EvalResult r = evalSh(
        QStringLiteral("\"$(printf 'pile\\360\\237\\222\\251.dat')\" \"$(printf 'del\\177.dat')\""), folder);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\"file\": \"pile\xf0\x9f\x92\xa9.dat\",\n    \"error\": null,"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\"file\": \"del\\u007f.dat\",\n    \"error\": null,")) << r.out.toStdString();
}

TEST(FileNames, AnEmptyNameIsTheMissingFileError)
{
    // An unset variable in a script must not pass for a clean run.
    const EvalResult r = eval(QString(), QDir::tempPath());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(
        "\"file\": \"\",\n    \"error\": {\"number\": 53, \"message\": \"This file includes error "
        "data or you may mistake column or skip indication. (53)\"}"))
        << r.out.toStdString();
}

}  // namespace
}  // namespace tenso
