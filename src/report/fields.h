#pragma once
// Number and string texts shared by the CSV and JSON writers.

#include "common/json_text.h"
#include "standard/quantity_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace tenso::report {

// The shortest text that reads back to the same double ("0.2", "2.1e+05", "-0"); empty for a
// value that is not finite, which no quantity should be.
std::string NumberText(double value);

// A value of the table of quantities as text: the shortest number, a count, true or false, or a
// word; nullopt when the result has none.
std::optional<std::string> ValueText(const standard::Value& value);

// A JSON string: valid UTF-8 passes, quotes, backslashes and control characters are escaped, and
// every byte that is not part of valid UTF-8 (a Latin-1 file name) is written as \udcXX, XX its
// value: Python's json.loads and os.fsencode give the bytes back. The same as tenso-eval's.
using common::JsonString;

// One CSV field: the bytes as they are, in double quotes (inner quotes doubled) when they hold a
// comma, a quote, a line end, or blanks at either end.
std::string CsvField(std::string_view bytes);

}  // namespace tenso::report
