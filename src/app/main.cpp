#include "end_on_signal.h"
#include "state/shared_state.h"
#include "ui/form1.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether Qt has a window system to connect to. Without one, QApplication aborts the process with a
// core dump, so this is decided before it is made: a display of X or Wayland, a platform chosen in
// the environment, or Qt's own -platform or -display option on the command line (Qt takes each also
// with two dashes).
bool HasDisplay(int argc, char* argv[])
{
    if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i + 1 < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--", 2) == 0)
            ++arg;
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "-display") == 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!HasDisplay(argc, argv)) {
        std::fputs("tenso: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set, "
                   "no -platform given); to evaluate files without the window use tenso-eval\n",
            stderr);
        return 2;
    }
    // QApplication takes its own options (-platform, -style, -display ...) out of the list; whatever
    // remains is meant for Tenso, which opens no file by name and reads no setting from the command
    // line. Saying so beats starting as if a file named there had been opened.
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) {
        std::fprintf(stderr,
            "tenso: takes no arguments, got \"%s\"; to evaluate files without the window use tenso-eval\n",
            qPrintable(args.at(1)));
        return 2;
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("tenso"));  // ties the window to tenso.desktop

    tenso::SharedState state;  // the run's one shared record, zeroed
    tenso::Form1 form(state);
    form.Load();
    form.show();
    tenso::CloseOnTermination(form);
    return QApplication::exec();
}
