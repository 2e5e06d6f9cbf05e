#include "form1.h"

#include "failure.h"
#include "number_text.h"
#include "plot/surface.h"
#include "shared_state.h"
#include "single.h"

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

void Text10_Change(SharedState& s, const Window& w)
{
    try {
        const auto whole = ToWhole(Val(w.Text(Field::Text10)));
        if (!whole)
            return;
        s.SkipLines = *whole < 0 ? int16_t{0} : *whole;
    } catch (const Failure&) {
        // A number beyond every range: the skip count stays as it was.
    }
}

void Text12_Change(int16_t index, SharedState& s, const Window& w)
{
    if (index != 0 && index != 1)
        return;
    float& max = index == 0 ? s.ScaleXMax : s.ScaleYMax;
    float& min = index == 0 ? s.ScaleXMin : s.ScaleYMin;
    try {
        const float value = single::from(Val(w.Text(Text12(index))));
        max = value;
        min = single::product(value, -0.1);
    } catch (const Failure&) {
        // Beyond the Single range: both edges stay as they were.
    }
}

void FieldChanged(Field f, SharedState& s, const Window& w)
{
    if (f == Field::Text10)
        Text10_Change(s, w);
    else if (f == Text12(0))
        Text12_Change(0, s, w);
    else if (f == Text12(1))
        Text12_Change(1, s, w);
}

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
