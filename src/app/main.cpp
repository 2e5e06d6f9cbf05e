#include "state/shared_state.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tenso::SharedState state;  // the run's one shared record, zeroed
    tenso::Form1 form(state);
    form.Load();
    form.show();
    return QApplication::exec();
}
