#pragma once

#include <string>
#include <string_view>

namespace tenso {

class Window;

// Shows the first six lines of the file in Text11(0) to Text11(5), one line a field, header lines
// included; boxes past the end of a shorter file keep their texts. At most the first 1024 bytes of a
// line are shown. Throws Failure when the file cannot be opened or read; then no field changes.
void ShowFirstLines(const std::string& path, Window& w);

// The text of a line of the file as the user should see it: UTF-8 where the bytes are valid UTF-8,
// else Shift_JIS where they decode cleanly as Shift_JIS, else Latin-1. A character cut off at the
// end is dropped.
std::string DisplayText(std::string_view bytes);

}  // namespace tenso
