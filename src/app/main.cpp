#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tenso"));
    window.resize(447, 487);
    window.show();
    return QApplication::exec();
}
