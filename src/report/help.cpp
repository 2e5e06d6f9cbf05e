#include "help.h"

namespace tenso::report {

QByteArray HelpEpilogue()
{
    return R"help(
Columns and units:
  Stress comes from --stress, or from the force divided by S0 (force found by name: Force,
  Load, Kraft). Strain comes from --strain, or from the extension divided by L0 (found by name:
  Strain/Dehnung, else Extension, Elongation, Displacement, Deformation, Verlängerung).
  Units come from the option, else from the column name ("Load (kN)", "Force [N]"), else from
  a units line under the names; without any: N, mm, fraction, MPa.
  Separator and decimal mark are detected (";" or TAB allow decimal commas).

Quantities (ISO 6892-1; R stress in MPa, strain as a fraction or in %):
  E       elastic modulus [GPa]: least-squares line of stress on strain, first from 10 % to
          40 % of Rm, then from 10 % to 50 % of ReH (or Rp0.2). E lo/hi/points/r2/pass tell
          the fit; pass 0 is --modulus-range. e0 is where that line crosses zero stress
          (slack and toe), and every strain below is counted from it.
  ReH     upper yield strength [MPa]: the stress at which a clear drop (0.5 % or more) follows
          before the curve rises above it again, at least 0.05 % strain later. Empty for a
          continuous yielding material; then ReL and Ae are empty too.
  ReL     lower yield strength [MPa]: the lowest minimum of the yield region, the first
          (transient) minimum left out when there are several.
  Ae      yield point extension [%]: the length of the yield region.
  Rp<x>   proof strength [MPa] at x % plastic extension (the line of slope E shifted by x %),
          with the strain where it is met; empty when the curve does not reach it.
  Rm, Fm  tensile strength [MPa] and maximum force [kN] (Fm empty with a stress column).
  Agt, Ag total and plastic extension at maximum force [%].
  Rf, At  stress and total extension at fracture: the first fall by more than 10 % of Rm
          between two records (--fracture-drop), else the last record.
  A       elongation after fracture [%]: (Lu - L0) / L0 with --final-length, else At minus
          the elastic part Rf / E ("A from curve" true).
  Z       reduction of area [%]: (S0 - Su) / S0, with --final-diameter or --final-area.

Output:
  One CSV row (or JSON object) per file in the order given, then the series statistics over
  the files that gave a value: mean, s (standard deviation, n - 1), CoV % (s / mean), min, max.
  Numbers are written with all the digits a double needs to read back the same.

Exit status:
  0  every file was evaluated
  1  at least one file could not be evaluated (its row holds the error; the others are
     still reported), or the report could not be written
  2  a bad option or no file (one line on standard error, nothing evaluated)
)help";
}

}  // namespace tenso::report
