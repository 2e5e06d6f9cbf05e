#pragma once

#include <cstdint>

namespace tenso {

struct Color {
    uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Color, Color) = default;
};

namespace colors {
inline constexpr Color Red {255, 0, 0};
inline constexpr Color Green {0, 255, 0};
inline constexpr Color Blue {0, 0, 255};
inline constexpr Color Black {0, 0, 0};
inline constexpr Color White {255, 255, 255};
inline constexpr Color Grey {112, 112, 112};
}  // namespace colors

// The plot area as the handlers see it: a drawing that stays until it is cleared, in a user
// coordinate system set from its top-left and bottom-right corners. The plot draws every data point
// (x, y) at (x, -y), so that Y grows upwards. Lines and circles are one pixel wide; nothing erases
// but Cls.
class Surface {
public:
    virtual ~Surface() = default;

    virtual void Cls() = 0;
    // The user coordinates of the top-left (x1, y1) and bottom-right (x2, y2) corners. The caller
    // guarantees x1 != x2 and y1 != y2.
    virtual void Scale(float x1, float y1, float x2, float y2) = 0;
    virtual void PSet(float x, float y, Color c) = 0;  // moves the pen there
    virtual void LineTo(float x, float y, Color c) = 0;  // from the pen; pen moves
    virtual void Line(float x1, float y1, float x2, float y2, Color c) = 0;
    // The radius is in X units; the circle is round on screen whatever the Y scale. Pen to centre.
    virtual void Circle(float x, float y, float radius, Color c) = 0;
};

}  // namespace tenso
