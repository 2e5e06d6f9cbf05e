#include "window.h"

namespace tenso {

const char* ControlName(Field f)
{
    static constexpr const char* names[FieldCount] = {
        "Text1",
        "Text3",
        "Text4",
        "Text5",
        "Text6",
        "Text7",
        "Text8",
        "Text9",
        "Text10",
        "Text13",
        "Text14",
        "Text15",
        "Text16",
        "Text2(0)",
        "Text11(0)",
        "Text11(1)",
        "Text11(2)",
        "Text11(3)",
        "Text11(4)",
        "Text11(5)",
        "Text12(0)",
        "Text12(1)",
    };
    const auto i = static_cast<int>(f);
    return i >= 0 && i < FieldCount ? names[i] : "";
}

const char* ControlName(Button b)
{
    static constexpr const char* names[ButtonCount] = {
        "Command2",
        "Command4",
        "Command3(0)",
        "Command3(1)",
        "Command1(0)",
        "Command1(1)",
        "Command5(0)",
        "Command5(1)",
    };
    const auto i = static_cast<int>(b);
    return i >= 0 && i < ButtonCount ? names[i] : "";
}

}  // namespace tenso
