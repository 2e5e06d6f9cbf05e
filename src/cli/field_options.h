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
    {"x-column", Field::Text4, "Column of X (Text4, default 1)."},
    {"y-column", Field::Text5, "Column of Y (Text5, default 2)."},
    {"x-coefficient", Field::Text13, "Factor for every X (Text13, default 1)."},
    {"y-coefficient", Field::Text14, "Factor for every Y (Text14, default 1)."},
    {"skip", Field::Text10, "Header lines to skip (Text10, default 5)."},
    {"x-max", Text12(0), "Fixed X maximum of the plot (Text12(0), default empty: automatic)."},
    {"y-max", Text12(1), "Fixed Y maximum of the plot (Text12(1), default empty: automatic)."},
    {"start", Field::Text1, "Start of the calculation range (Text1, default 20)."},
    {"end", Field::Text3, "End of the calculation range (Text3, default 60)."},
    {"offset", Field::Text6, "Offset of the offset strength, in X units (Text6, default 2000)."},
};

}  // namespace tenso
