#pragma once

#include "plot/recording_surface.h"

#include <algorithm>
#include <vector>

namespace tenso::test {

using Op = RecordingSurface::Op;
using Command = RecordingSurface::Command;

inline std::vector<Command> OpsOf(const RecordingSurface& s, Op op)
{
    std::vector<Command> out;
    std::copy_if(s.Commands().begin(), s.Commands().end(), std::back_inserter(out),
                 [op](const Command& c) { return c.op == op; });
    return out;
}

}  // namespace tenso::test
