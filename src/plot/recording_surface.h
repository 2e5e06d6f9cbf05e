#pragma once

#include "state/surface.h"

#include <cstddef>
#include <vector>

namespace tenso {

// A surface that remembers every operation in order, so that a drawing can be checked step by step
// or painted later onto a real surface (batch evaluation draws only when a picture is asked for).
class RecordingSurface : public Surface {
public:
    enum class Op : uint8_t { Cls, Scale, PSet, LineTo, Line, Circle };
    struct Command {
        Op op;
        float a = 0, b = 0, c = 0, d = 0;  // Scale: x1 y1 x2 y2; Line: x1 y1 x2 y2; Circle: x y r
        Color color {};
        friend bool operator==(const Command&, const Command&) = default;
    };

    void Cls() override { commands_.push_back({Op::Cls}); }
    void Scale(float x1, float y1, float x2, float y2) override
    {
        commands_.push_back({Op::Scale, x1, y1, x2, y2});
    }
    void PSet(float x, float y, Color c) override { commands_.push_back({Op::PSet, x, y, 0, 0, c}); }
    void LineTo(float x, float y, Color c) override { commands_.push_back({Op::LineTo, x, y, 0, 0, c}); }
    void Line(float x1, float y1, float x2, float y2, Color c) override
    {
        commands_.push_back({Op::Line, x1, y1, x2, y2, c});
    }
    void Circle(float x, float y, float r, Color c) override
    {
        commands_.push_back({Op::Circle, x, y, r, 0, c});
    }

    const std::vector<Command>& Commands() const { return commands_; }
    void Clear() { commands_.clear(); }

    // Paints what was recorded since the last Cls onto `target` (earlier commands are wiped anyway).
    void Replay(Surface& target) const;

private:
    std::vector<Command> commands_;
};

}  // namespace tenso
