#include "end_on_signal.h"
#include "state/shared_state.h"
#include "ui/form1.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
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
