#include "recording_surface.h"

#include <cstddef>

namespace tenso {

void RecordingSurface::Replay(Surface& target) const
{
    // A Cls wipes the drawing but not the scale, so the last scale before it still holds.
    size_t start = 0;
    for (size_t i = commands_.size(); i > 0; --i)
        if (commands_[i - 1].op == Op::Cls) {
            start = i - 1;
            break;
        }
    for (size_t i = start; i > 0; --i)
        if (commands_[i - 1].op == Op::Scale) {
            const Command& k = commands_[i - 1];
            target.Scale(k.a, k.b, k.c, k.d);
            break;
        }
    for (size_t i = start; i < commands_.size(); ++i) {
        const Command& k = commands_[i];
        switch (k.op) {
        case Op::Cls:
            target.Cls();
            break;
        case Op::Scale:
            target.Scale(k.a, k.b, k.c, k.d);
            break;
        case Op::PSet:
            target.PSet(k.a, k.b, k.color);
            break;
        case Op::LineTo:
            target.LineTo(k.a, k.b, k.color);
            break;
        case Op::Line:
            target.Line(k.a, k.b, k.c, k.d, k.color);
            break;
        case Op::Circle:
            target.Circle(k.a, k.b, k.c, k.color);
            break;
        }
    }
}

}  // namespace tenso
