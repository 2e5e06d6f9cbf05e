#pragma once

#include "state/surface.h"

namespace tenso {

// A plot area that draws nothing, for evaluations whose picture nobody looks at.
class NullSurface : public Surface {
public:
    void Cls() override {}
    void Scale(float, float, float, float) override {}
    void PSet(float, float, Color) override {}
    void LineTo(float, float, Color) override {}
    void Line(float, float, float, float, Color) override {}
    void Circle(float, float, float, Color) override {}
};

}  // namespace tenso
