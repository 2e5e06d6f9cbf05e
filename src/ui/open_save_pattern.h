#pragma once

#include <string_view>

namespace tenso {

// Whether the text holds a wildcard character ('*' or '?'), which makes it a pattern.
bool HasWildcards(std::string_view text);

// Whether a file name matches a file-name pattern of the dialog. A pattern holds one or more parts
// separated by ';' ("*.dat;*.csv"), blanks around a part ignored; '*' stands for any run of
// characters, '?' for one. Letters match regardless of case (ASCII), so "*.dat" lists A.DAT. A name
// beginning with '.' (hidden) matches only a part that begins with '.' as well. "*.*" matches every
// name, with or without an extension, as users of other systems expect.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace tenso
