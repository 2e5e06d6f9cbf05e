#pragma once
// File names and messages as text for people and programs. A name need not be UTF-8 (a Latin-1
// "café" is the bytes 63 61 66 E9); both the JSON of tenso-eval and tenso-report and tenso-report's
// charts and PDF write each byte that is not part of valid UTF-8 as \udcXX, XX its value in lower-case
// hex: the JSON escape of the lone surrogate U+DC00 + byte, which no text holds, so the name stays
// unambiguous and Python's os.fsencode(json.loads(...)) gives the bytes back.

#include <string>
#include <string_view>

namespace tenso::common {

// A JSON string in quotes: valid UTF-8 as it is; quote and backslash escaped; \n, \r and \t by
// name, every other control character and DEL as \u00XX; every byte that is not part of valid
// UTF-8 as \udcXX.
std::string JsonString(std::string_view bytes);

// A file name as the charts and the PDF show it, in the words of the JSON: valid UTF-8 passes as
// it is, each other byte becomes the six characters \udcXX ("caf\udce9.csv"), where a lossy
// decoding would show U+FFFD and lose which byte it was.
std::string DisplayName(std::string_view bytes);

}  // namespace tenso::common
