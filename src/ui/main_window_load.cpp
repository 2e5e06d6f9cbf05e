#include "main_window_load.h"

#include "state/shared_state.h"
#include "state/window.h"

namespace tenso {

void Form_Load(SharedState& s, Window& w)
{
    w.SetText(Field::Text4, "1");
    w.SetText(Field::Text5, "2");
    w.SetText(Field::Text10, "5");
    w.SetText(Field::Text1, "20");
    w.SetText(Field::Text3, "60");
    w.SetText(Field::Text6, "2000");

    for (Field f : {Field::Text7, Field::Text8, Field::Text16, Field::Text9, Field::Text15})
        w.SetText(f, "");
    for (int k = 0; k < PreviewLines; ++k)
        w.SetText(Text11(k), "");
    w.SetText(Text2(0), "");
    w.SetText(Text12(0), "");
    w.SetText(Text12(1), "");

    w.SetText(Field::Text13, "1");
    w.SetText(Field::Text14, "1");

    s.ScaleXMax = 0;
    s.ScaleYMax = 0;
    s.FallFlag = 0;
    s.ValleyCount = 0;
    s.FileScanned = 0;
}

}  // namespace tenso
