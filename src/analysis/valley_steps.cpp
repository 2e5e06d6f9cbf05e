#include "valley_steps.h"

#include "calc_error.h"
#include "target_marker.h"

#include "state/failure.h"
#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/surface.h"
#include "state/window.h"

namespace tenso {

void Command5_Click(int16_t index, SharedState& s, Window& w)
{
    // Without a valley of this curve there is nothing to step through; the slots would show the
    // origin or a valley of an earlier file.
    if (s.ValleyCount < 1 || s.ValleyCount > MaxValleys || s.ValleyIndex < 0 || s.ValleyIndex > MaxValleys)
        return;
    const int step = index == 0 ? -1 : index == 1 ? 1 : 0;
    Surface& picture = w.Picture1();
    try {
        // Unmark: white rings over the grey marker, then the green ring every record carries.
        auto v = static_cast<size_t>(s.ValleyIndex);
        DrawTargetMarker(s, picture, s.ValleyX[v], s.ValleyY[v], colors::White);
        picture.Circle(s.ValleyX[v], -s.ValleyY[v], s.MarkerRadius, colors::Green);

        int16_t next = static_cast<int16_t>(s.ValleyIndex + step);
        if (next < 1)
            next = s.ValleyCount;
        if (next > s.ValleyCount)
            next = 1;
        s.ValleyIndex = next;

        v = static_cast<size_t>(next);
        DrawTargetMarker(s, picture, s.ValleyX[v], s.ValleyY[v], colors::Grey);
        w.SetText(Field::Text15, SingleText(s.ValleyY[v]));
    } catch (const Failure&) {
        w.MsgBox(ErrorMessage(CalcError {"The target marker is too large to draw."}));
    }
}

}  // namespace tenso
