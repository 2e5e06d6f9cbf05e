#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tenso {

// Largest record and valley numbers; the arrays hold index 0 as well, which always keeps 0.
inline constexpr int MaxRecords = 2000;
inline constexpr int MaxValleys = 200;

// The one record that every handler of the main window and of the file dialog reads and writes.
// Integer fields are 16-bit, Single fields 32-bit floats, as the evaluation arithmetic depends on it.
// The program owns exactly one instance for the whole run; it starts zeroed.
struct SharedState {
    int16_t XColumn = 0;
    int16_t YColumn = 0;
    int16_t ColumnCount = 0;
    int16_t SkipLines = 0;
    std::string DataFileName;
    float XMax = 0;
    float YMax = 0;
    float XAtYMax = 0;
    float ScaleXMax = 0;
    float ScaleYMax = 0;
    float ScaleXMin = 0;
    float ScaleYMin = 0;
    std::array<float, MaxRecords + 1> XData {};
    std::array<float, MaxRecords + 1> YData {};
    float CalcStart = 0;
    float CalcEnd = 0;
    float OffsetValue = 0;
    float PointCount = 0;  // a whole number, kept as a Single
    float Modulus = 0;
    float OffsetLineY = 0;
    float XCoefficient = 0;
    float YCoefficient = 0;
    float MarkerRadius = 0;
    int16_t FallFlag = 0;
    int16_t ValleyCount = 0;
    int16_t ValleyIndex = 0;
    std::array<float, MaxValleys + 1> ValleyX {};
    std::array<float, MaxValleys + 1> ValleyY {};
    int16_t FileScanned = 0;
};

}  // namespace tenso
