#include "field_rules.h"

#include "state/failure.h"
#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/single.h"

namespace tenso {

void Text10_Change(SharedState& s, const Window& w)
{
    try {
        const auto whole = ToWhole(Val(w.Text(Field::Text10)));
        if (!whole)
            return;
        s.SkipLines = *whole < 0 ? int16_t {0} : *whole;
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
        const Single value = Single::From(Val(w.Text(Text12(index))));
        max = value.value();
        min = Scaled(value, -0.1).value();
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

}  // namespace tenso
