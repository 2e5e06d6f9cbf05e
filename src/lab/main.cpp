// Tenso Lab: a series of machine exports evaluated by ISO 6892-1 in a window.
#include "main_window.h"
#include "raw_text.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Every number the window writes or copies is independent of the desktop's language.
    std::setlocale(LC_ALL, "C");
    QApplication::setOrganizationName(QStringLiteral("Tenso"));
    QApplication::setApplicationName(QStringLiteral("Tenso Lab"));
    QApplication::setApplicationVersion(QStringLiteral(TENSO_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tenso-lab/tenso-lab.svg")));
    // Wayland finds the icon and the name of the menu entry by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("tenso-lab"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Evaluates a series of tensile-test exports by ISO "
                                                    "6892-1 in a window, with the numbers of tenso-report."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("Exports, folders of exports, or an evaluation saved by Tenso Lab (.json)."),
        QStringLiteral("[FILE...]"));
    // The names as their bytes: a Latin-1 file name must still open.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << tenso::report::DecodeArgument(argv[i]);
    parser.process(arguments);

    tenso::lab::MainWindow window;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.OpenPaths(parser.positionalArguments());
    return QApplication::exec();
}
