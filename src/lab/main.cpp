// Tenso Lab: a series of machine exports evaluated by ISO 6892-1 in a window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tenso Lab"));
    QApplication::setApplicationVersion(QStringLiteral(TENSO_VERSION));
    QMainWindow window;
    window.show();
    return QApplication::exec();
}
