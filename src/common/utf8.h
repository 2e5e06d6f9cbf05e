#pragma once
// UTF-8 as both programs meet it in file names and export headers: the check of a sequence, and the
// lossless round trip of any bytes through UTF-16 text. File names reach the programs as the bytes
// the shell passed, which need not be UTF-8, while Qt's option parser and file classes work on text;
// decoded here, valid UTF-8 becomes its characters and every other byte b the lone surrogate
// U+DC00 + b (Python's "surrogateescape"), which no valid UTF-8 can produce, so encoding the text
// gives the same bytes back.

#include <cstddef>
#include <string>
#include <string_view>

namespace tenso::common {

// The length (1 to 4) of the valid UTF-8 sequence that starts at bytes[i], or 0 when none starts
// there: overlong forms, surrogates, code points beyond U+10FFFF and sequences cut short are not
// valid. The character goes to *codePoint when that is given. Needs i < bytes.size().
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i, char32_t* codePoint = nullptr);

// True when all of `bytes` is valid UTF-8.
bool IsUtf8(std::string_view bytes);

// Bytes as UTF-16 text: valid UTF-8 as its characters (a byte order mark too), every other byte b
// as U+DC00 + b.
std::u16string DecodeBytes(std::string_view bytes);

// The bytes DecodeBytes read `text` from: a character as its UTF-8, U+DC80..U+DCFF as the byte it
// stands for. Any other lone surrogate, which DecodeBytes never makes, is written as the three bytes
// of its code, as a lenient encoder would.
std::string EncodeBytes(std::u16string_view text);

}  // namespace tenso::common
