#include "modulus.h"

#include "branches.h"
#include "calc_error.h"
#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/single.h"
#include "state/window.h"

namespace tenso {
namespace {

float fieldValue(const Window& w, Field f, const char* tooLarge)
{
    return Step(tooLarge, [&] { return Single::From(Val(w.Text(f))).value(); });
}

}  // namespace

void Command1_Click(int16_t index, SharedState& s, Window& w)
{
    try {
        s.CalcStart = fieldValue(w, Field::Text1, "The number in Start is too large.");
        s.CalcEnd = fieldValue(w, Field::Text3, "The number in End is too large.");
        s.OffsetValue = fieldValue(w, Field::Text6, "The number in Offset is too large.");
        const Single n = Step(
            "The range from Start to End is too large.", [&] { return Single(s.CalcEnd) - s.CalcStart + 1; });

        // The yield strength is the last valley's Y, whichever valley the step buttons selected.
        const float yield = s.ValleyY[Valley(s.ValleyCount)];
        if (yield != 0)
            w.SetText(Field::Text15, SingleText(yield));

        if (index == 0)
            TangentBranch(s, w, n);
        else if (index == 1)
            SecantBranch(s, w);
    } catch (const CalcError& e) {
        w.MsgBox(ErrorMessage(e));
    }
}

}  // namespace tenso
