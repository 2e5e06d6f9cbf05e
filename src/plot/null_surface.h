#pragma once

#include "state/surface.h"

namespace tenso {

// A plot area that draws nothing, for evaluations whose picture nobody looks at.
class NullSurface : public Surface {
public:
    void Cls() override { }
    void Scale(float /*x1*/, float /*y1*/, float /*x2*/, float /*y2*/) override { }
    void PSet(float /*x*/, float /*y*/, Color /*c*/) override { }
    void LineTo(float /*x*/, float /*y*/, Color /*c*/) override { }
    void Line(float /*x1*/, float /*y1*/, float /*x2*/, float /*y2*/, Color /*c*/) override { }
    void Circle(float /*x*/, float /*y*/, float /*radius*/, Color /*c*/) override { }
};

}  // namespace tenso
