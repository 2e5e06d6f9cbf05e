#pragma once

#include "state/window.h"

namespace tenso {

// The options of tenso-eval that type their text into a field of the main window, as a user would.
// tenso-eval's command line and the golden tests that replay its examples both read this table.
struct FieldOption {
    const char* name;  // without the leading "--"
    Field field;
    const char* help;
};

inline constexpr FieldOption FieldOptions[] = {
    {"x-column", Field::Text4,
        "X-axis column (default 1): the column of the data file that holds X, from 1."},
    {"y-column", Field::Text5, "Y-axis column (default 2): the column that holds Y."},
    {"x-coefficient", Field::Text13, "X-axis coefficient (default 1): every X is multiplied by it."},
    {"y-coefficient", Field::Text14, "Y-axis coefficient (default 1): every Y is multiplied by it."},
    {"skip", Field::Text10, "Skip line (default 5): the header lines before the first record."},
    {"x-max", Text12(0),
        "X maximum of the plot, its field at the bottom right (default empty: the scale fits the data)."},
    {"y-max", Text12(1),
        "Y maximum of the plot, its field at the top left (default empty: the scale fits the data)."},
    {"start", Field::Text1,
        "Start (default 20): the first record for Tangent, the lower level in % of the maximum strength for "
        "Secant."},
    {"end", Field::Text3,
        "End (default 60): the last record for Tangent, the upper level in % of the maximum strength for "
        "Secant."},
    {"offset", Field::Text6, "Offset (default 2000): the offset of the offset strength, in X units."},
};

}  // namespace tenso
