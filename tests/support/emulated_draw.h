#pragma once

#include "fake_window.h"

#include <cstdint>

namespace tenso::test {

// What Draw leaves in the state and the scale fields for the analysis, without drawing: reads
// DataFileName (scanning it unless FileScanned is 1), takes the automatic scale when both maxima are
// 0 (a tenth of the maxima as margins, or 1.1 times a lower minimum), sets MarkerRadius to a
// hundredth of the width and writes the maxima into Text12(0) and Text12(1), whose change rules then
// set the minima to -0.1 times the maxima. Returns the read's failure number, 0 when it succeeded;
// after a failure nothing past the read happens.
int16_t EmulateDraw(Form& f);

}  // namespace tenso::test
