#include "emulated_draw.h"

#include "data/reader.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "state/single.h"

namespace tenso::test {

int16_t EmulateDraw(Form& f)
{
    SharedState& s = f.state;
    ReadSettings(s, f.window);
    ReadMinima minima = StartRead(s);
    try {
        if (s.FileScanned != 1)
            ScanDataFile(s);
        ReadRecords(s, minima);
        if (s.ScaleXMax == 0 && s.ScaleYMax == 0) {
            s.ScaleXMax = single::product(s.XMax, 1.1);
            s.ScaleYMax = single::product(s.YMax, 1.1);
            s.ScaleXMin = single::product(s.XMax, -0.1);
            s.ScaleYMin = single::product(s.YMax, -0.1);
            if (minima.XMin < s.ScaleXMin)
                s.ScaleXMin = single::product(minima.XMin, 1.1);
            if (minima.YMin < s.ScaleYMin)
                s.ScaleYMin = single::product(minima.YMin, 1.1);
        }
        s.MarkerRadius = single::div(single::sub(s.ScaleXMax, s.ScaleXMin), 100);
        f.window.SetText(Text12(0), SingleText(s.ScaleXMax));
        f.window.SetText(Text12(1), SingleText(s.ScaleYMax));
    } catch (const Failure& e) {
        return e.number;
    }
    return 0;
}

}  // namespace tenso::test
