#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tenso {

class Surface;

// The text fields of the main window that the handlers read or write. Groups are reached through
// the functions below, e.g. Text12(0).
enum class Field : uint8_t {
    Text1,
    Text3,
    Text4,
    Text5,
    Text6,
    Text7,
    Text8,
    Text9,
    Text10,
    Text13,
    Text14,
    Text15,
    Text16,
    Text2_0,
    Text11_0,
    Text11_1,
    Text11_2,
    Text11_3,
    Text11_4,
    Text11_5,
    Text12_0,
    Text12_1,
    Count
};
inline constexpr int FieldCount = static_cast<int>(Field::Count);
inline constexpr int PreviewLines = 6;

constexpr Field Text2(int index) { return static_cast<Field>(static_cast<int>(Field::Text2_0) + index); }
constexpr Field Text11(int index) { return static_cast<Field>(static_cast<int>(Field::Text11_0) + index); }
constexpr Field Text12(int index) { return static_cast<Field>(static_cast<int>(Field::Text12_0) + index); }

// The control name as the window's control table writes it: "Text4", "Text12(1)".
const char* ControlName(Field f);

enum class Button : uint8_t {
    Command2,
    Command4,  // Browse, Exit
    Command3_0,
    Command3_1,  // Draw, Clear scale
    Command1_0,
    Command1_1,  // Tangent, Secant
    Command5_0,
    Command5_1,  // <, >
    Count
};
inline constexpr int ButtonCount = static_cast<int>(Button::Count);

constexpr Button Command1(int index)
{
    return static_cast<Button>(static_cast<int>(Button::Command1_0) + index);
}
constexpr Button Command3(int index)
{
    return static_cast<Button>(static_cast<int>(Button::Command3_0) + index);
}
constexpr Button Command5(int index)
{
    return static_cast<Button>(static_cast<int>(Button::Command5_0) + index);
}

const char* ControlName(Button b);

enum class MessageIcon : uint8_t { None, Exclamation };

// A modal message box with one OK button.
struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    int16_t failure = 0;  // the failure number that the text reports, 0 for none
    friend bool operator==(const Message&, const Message&) = default;
};

// The operations of the main window that the handlers use. The Qt window and the headless window
// of tests and batch evaluation implement it.
class Window {
public:
    virtual ~Window() = default;

    virtual std::string Text(Field f) const = 0;
    // Setting a text the field does not show yet runs the field's change rule, exactly as typing
    // does; setting the text it already shows runs nothing.
    virtual void SetText(Field f, std::string_view text) = 0;
    virtual void Enable(Button b) = 0;
    virtual void MsgBox(const Message& m) = 0;  // returns when the user has closed it
    virtual void DoEvents() = 0;  // lets pending window events run
    // Shows the file dialog modally with this title and file-name pattern (selected, so that typing
    // replaces it); returns when the dialog has closed, whichever way.
    virtual void ShowFileDialog(std::string_view title, std::string_view pattern) = 0;
    virtual Surface& Picture1() = 0;
};

}  // namespace tenso
