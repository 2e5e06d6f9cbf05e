#pragma once
// Small text helpers of the export reader: the number grammar of a field, header text decoding,
// case-insensitive comparison and the shortest decimal text of a double.

#include "common/utf8.h"

#include <optional>
#include <string>
#include <string_view>

namespace tenso::standard {

// Which decimal marks a number may use.
struct DecimalMarks {
    bool point = true;
    bool comma = true;
};

// What the number grammar says of a field: sign, digits with at most one decimal mark, at least one
// digit, then optionally e/E, a sign and digits. `mayOverflow` marks a number whose magnitude could
// lie beyond the double range (an exponent or many digits), which only a full parse can tell.
struct NumberShape {
    bool isNumber = false;
    bool mayOverflow = false;
    bool plain = false;  // no '+' in front and no decimal comma: from_chars reads it as it is
};
NumberShape ScanNumber(std::string_view field, DecimalMarks marks);

// The value of a field that ScanNumber accepted; nullopt when it lies beyond the double range. A
// value too small for a double becomes 0 or a subnormal, as the hardware would round it.
std::optional<double> ParseNumber(std::string_view field, bool plain = false);

// The common case in one walk: a field of [sign] digits [mark digits], no exponent, at most 19
// digits and a mantissa of at most 2^53. Its value is an exact integer over an exact power of ten,
// which one division rounds correctly, so it is the value ParseNumber gives. False, with `value`
// untouched, for any other field (ScanNumber and ParseNumber then decide).
bool ParseShortDecimal(std::string_view field, DecimalMarks marks, double& value);
// The same for the short decimal that starts at p, without looking past `end`: returns where it
// stops (the first byte that is not part of it), or nullptr when no short decimal starts there.
const char* ScanShortDecimal(const char* p, const char* end, DecimalMarks marks, double& value);

// How machines, spreadsheets and numpy write an undefined value: nan, inf, n/a, null, none, -, --,
// ... (without regard to case). A missing value in a data line neither ends the table nor counts
// as a number.
bool IsMissingValue(std::string_view field);

// A number written with thousands separators, as spreadsheet-style exports quote them:
// [sign] one to three digits, then groups of ',' and three digits, then optionally '.' and digits
// ("1,009.34485"). nullopt for any other text, and for one without a ',' group.
std::optional<double> ParseThousands(std::string_view field);

// Whether a folded name or key holds a folded search word: a word of two characters must be a whole
// part between blanks, '_', '-', '.', '/', ':', '=' and brackets; a longer one may stand anywhere,
// so that German compounds match ("standardkraft" holds "kraft").
bool HoldsWord(std::string_view folded, std::string_view word);

// True when `bytes` is well-formed UTF-8.
using common::IsUtf8;
// Each byte taken as a Latin-1 character, written as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// `text` without blanks (space, TAB) at either end.
std::string_view TrimBlanks(std::string_view text);

// Lower case for ASCII and for the Latin-1 letters written as UTF-8 (Ä -> ä), enough for the column
// names and units that exports use.
std::string FoldCase(std::string_view text);

// The shortest text that reads back to the same double ("0.2", "523.7", "1e-07").
std::string ShortestText(double value);
// Six significant digits ("523.703", "1e+06"), for messages and notes that people read.
std::string MessageText(double value);
// The shortest fixed-point text ("0.2", "1", "0.00001"), for the keys of the proof strengths.
std::string ShortestFixedText(double value);

}  // namespace tenso::standard
