#include "browse.h"

#include "state/shared_state.h"
#include "state/surface.h"
#include "state/window.h"

namespace tenso {

void Command2_Click(SharedState& s, Window& w)
{
    w.SetText(Text2(0), "");
    w.ShowFileDialog("Data File Open", "*.dat");
    w.Enable(Command1(0));
    w.Enable(Command1(1));
    w.Enable(Command3(0));
    w.Enable(Command3(1));
    w.Picture1().Cls();
    s.FileScanned = 0;
}

}  // namespace tenso
