#pragma once

#include "data_file.h"
#include "state/window.h"

#include <cstdint>

namespace tenso {

struct SharedState;

// The lowest X and Y of one read; they live only for that read and go to the plot's scale.
struct ReadMinima {
    float XMin = 999999;
    float YMin = 999999;
};

// Takes the column numbers and coefficients from Text4, Text5, Text13 and Text14. A text whose
// number does not fit the setting's type keeps the previous value.
void ReadSettings(SharedState& s, const Window& w);

// Resets the extremes and the valley detector before a read; returns the fresh minima.
ReadMinima StartRead(SharedState& s);

// Counts the records and fields of DataFileName after SkipLines header lines: PointCount,
// ColumnCount, then FileScanned = 1. Throws Failure.
void ScanDataFile(SharedState& s);
// The same, reading a small file once and keeping its bytes in `snapshot` for the later passes.
void ScanDataFile(SharedState& s, FileSnapshot& snapshot);

// Reads PointCount records of ColumnCount fields into XData and YData, finding the extremes and the
// valleys on the way. Throws Failure; the state keeps what was read before the failure.
void ReadRecords(SharedState& s, ReadMinima& minima);
// The same from `snapshot` when it holds the file (see ScanDataFile).
void ReadRecords(SharedState& s, ReadMinima& minima, FileSnapshot& snapshot);

// The message box that reports a bad data file, and the one for a failure while the file name is
// being shown.
Message DataFileMessage(int16_t number);
Message FileInUseMessage(int16_t number);

}  // namespace tenso
