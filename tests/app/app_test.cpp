#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct AppRun {
    bool finished = false;
    int status = -1;
    QByteArray err;
};

// Runs tenso with `args`; a run that is still going after `wait` ms is the window waiting for the
// user, and is ended here.
AppRun runApp(const QStringList& args, int wait,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TENSO_APP), args);
    EXPECT_TRUE(p.waitForStarted(10000));
    AppRun r;
    r.finished = p.waitForFinished(wait);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(10000);
    } else if (p.exitStatus() == QProcess::NormalExit) {
        r.status = p.exitCode();
    }
    r.err = p.readAllStandardError();
    return r;
}

// Any argument that Qt does not take for itself is refused before a window opens: one line on
// standard error, exit status 2 (the convention for a usage error, as tenso-eval has it).
TEST(TensoArguments, AreRefusedWithOneLineAndStatusTwo)
{
    const QList<QStringList> cases = {
        {QStringLiteral("steel.dat")},
        {QStringLiteral("--help")},
        {QStringLiteral("--version")},
        {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("steel.dat")},
        {QStringLiteral("")},
    };
    for (const QStringList& args : cases) {
        const AppRun r = runApp(args, 60000);
        const std::string what = args.join(QLatin1Char(' ')).toStdString();
        ASSERT_TRUE(r.finished) << what;
        EXPECT_EQ(r.status, 2) << what;
        // Qt may add its own notes (a missing XDG_RUNTIME_DIR); ours is one line of its own.
        QList<QByteArray> ours;
        for (const QByteArray& line : r.err.split('\n'))
            if (line.startsWith("tenso:"))
                ours.append(line);
        ASSERT_EQ(ours.size(), 1) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(ours[0].startsWith("tenso: takes no arguments")) << what << ": " << ours[0].toStdString();
    }
}

// The CPU time the process has used so far, in clock ticks (fields 14 and 15 of /proc/PID/stat).
long long cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// Qt's own options keep working: -platform is taken by Qt, so tenso starts and waits for the user.
// The window is idle in its event loop once its CPU time stands still for a second; that takes a
// fraction of a second natively and far longer under memcheck, which is why it is waited for rather
// than timed. A SIGTERM then closes the window, and the program ends normally, status 0.
TEST(TensoArguments, QtOptionsAreLeftToQt)
{
    for (const QStringList& args :
        {QStringList {}, QStringList {QStringLiteral("-platform"), QStringLiteral("offscreen")}}) {
        const std::string what = args.join(QLatin1Char(' ')).toStdString();
        QProcess p;
        p.start(QStringLiteral(TENSO_APP), args);
        ASSERT_TRUE(p.waitForStarted(10000)) << what;
        long long last = -1;
        for (int still = 0, waited = 0; still < 4 && waited < 600 && p.state() == QProcess::Running;
             ++waited) {
            p.waitForFinished(250);
            const long long now = cpuTicks(p.processId());
            still = now == last ? still + 1 : 0;
            last = now;
        }
        ASSERT_EQ(p.state(), QProcess::Running)
            << what << " ended: " << p.readAllStandardError().toStdString();
        p.terminate();
        ASSERT_TRUE(p.waitForFinished(60000)) << what;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(p.exitCode(), 0) << what << ": " << p.readAllStandardError().toStdString();
    }
}

// The environment of a terminal without any window system.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

// Without a display Qt would abort with a core dump (status 134); tenso says so in one line and ends
// with status 2, before it looks at its arguments.
TEST(TensoWithoutDisplay, SaysSoInOneLineWithStatusTwo)
{
    for (const QStringList& args : {QStringList {}, QStringList {QStringLiteral("--help")}}) {
        const AppRun r = runApp(args, 60000, withoutDisplay());
        const std::string what = args.join(QLatin1Char(' ')).toStdString();
        ASSERT_TRUE(r.finished) << what;
        EXPECT_EQ(r.status, 2) << what;
        EXPECT_TRUE(r.err.startsWith("tenso: no display")) << what << ": " << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << what << ": " << r.err.toStdString();
    }
}

// A platform chosen on the command line is a display: the window starts and waits for the user.
TEST(TensoWithoutDisplay, StartsOnThePlatformGivenToQt)
{
    for (const char* option : {"-platform", "--platform"}) {
        const AppRun r
            = runApp({QString::fromLatin1(option), QStringLiteral("offscreen")}, 1500, withoutDisplay());
        EXPECT_FALSE(r.finished) << option << " ended with " << r.status << ": " << r.err.toStdString();
    }
}

}  // namespace
