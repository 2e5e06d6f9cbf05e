#pragma once

#include "plot/recording_surface.h"
#include "state/shared_state.h"
#include "support/fake_window.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace tenso {

namespace test {

struct Point {
    float x, y;
};

// Puts records 1, 2, ... into the state as a read leaves them: PointCount, YMax and the X of its
// last occurrence. Index 0 keeps the origin.
inline void SetCurve(SharedState& s, std::initializer_list<Point> points)
{
    s.PointCount = 0;
    s.YMax = -999999;
    size_t i = 0;
    for (const Point& p : points) {
        ++i;
        s.XData[i] = p.x;
        s.YData[i] = p.y;
        if (s.YMax <= p.y) {
            s.YMax = p.y;
            s.XAtYMax = p.x;
        }
    }
    s.PointCount = static_cast<float>(i);
}

// The valleys as a read records them, the last one selected.
inline void SetValleys(SharedState& s, std::initializer_list<Point> valleys)
{
    int16_t k = 0;
    for (const Point& v : valleys) {
        ++k;
        s.ValleyX[static_cast<size_t>(k)] = v.x;
        s.ValleyY[static_cast<size_t>(k)] = v.y;
    }
    s.ValleyCount = k;
    s.ValleyIndex = k;
}

inline Command Circle(float x, float y, float r, Color c) { return {Op::Circle, x, y, r, 0, c}; }
inline Command Line(float x1, float y1, float x2, float y2, Color c) { return {Op::Line, x1, y1, x2, y2, c}; }

struct Marker {
    float x, y;  // the curve point; its rings are centred at (x, -y)
    Color color;
};

// Checks that the drawing holds, from command `from` on, the target markers interleaved: for each
// factor 0.1, 0.2, ... 1.7 in turn one ring of every marker, in the order given, of radius factor x
// MarkerRadius (the marker's repeated additions of 0.1 stay within 1e-6 of k / 10). Returns the index
// of the first command after them.
inline size_t ExpectMarkers(
    const std::vector<Command>& drawn, size_t from, std::initializer_list<Marker> markers, float markerRadius)
{
    size_t i = from;
    for (int k = 1; k <= 17; ++k)
        for (const Marker& m : markers) {
            if (i >= drawn.size()) {
                ADD_FAILURE() << "the drawing ends before ring " << k;
                return i;
            }
            const Command& c = drawn[i++];
            EXPECT_EQ(c.op, Op::Circle) << "ring " << k;
            EXPECT_EQ(c.a, m.x) << "ring " << k;
            EXPECT_EQ(c.b, -m.y) << "ring " << k;
            EXPECT_NEAR(c.c, k / 10.0 * markerRadius, 1e-6 * markerRadius) << "ring " << k;
            EXPECT_EQ(c.color, m.color) << "ring " << k;
        }
    return i;
}

// The result fields before a calculation, so that a test can see which ones it wrote.
inline void MarkResultFields(HeadlessWindow& w)
{
    for (Field f : {Field::Text7, Field::Text8, Field::Text16, Field::Text9, Field::Text15})
        w.SetText(f, std::string("was ") + ControlName(f));
}

}  // namespace test
}  // namespace tenso
