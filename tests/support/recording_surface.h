#pragma once

#include "plot/recording_surface.h"
#include "state/window.h"

#include <algorithm>
#include <ostream>
#include <vector>

namespace tenso::test {

using Op = RecordingSurface::Op;
using Command = RecordingSurface::Command;

}  // namespace tenso::test

namespace tenso {

inline void PrintTo(const Message& m, std::ostream* os)
{
    *os << "\"" << m.text << "\" titled \"" << m.title << "\""
        << (m.icon == MessageIcon::Exclamation ? " (!)" : "");
}

inline void PrintTo(Color c, std::ostream* os)
{
    *os << "rgb " << int(c.r) << "/" << int(c.g) << "/" << int(c.b);
}

inline void PrintTo(const RecordingSurface::Command& c, std::ostream* os)
{
    static const char* names[] = {"Cls", "Scale", "PSet", "LineTo", "Line", "Circle"};
    *os << names[static_cast<int>(c.op)] << "(" << c.a << ", " << c.b << ", " << c.c << ", " << c.d
        << ", rgb " << int(c.color.r) << "/" << int(c.color.g) << "/" << int(c.color.b) << ")";
}

}  // namespace tenso

namespace tenso::test {

inline std::vector<Command> OpsOf(const RecordingSurface& s, Op op)
{
    std::vector<Command> out;
    std::copy_if(s.Commands().begin(), s.Commands().end(), std::back_inserter(out),
        [op](const Command& c) { return c.op == op; });
    return out;
}

}  // namespace tenso::test
