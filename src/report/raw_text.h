#pragma once
// Command-line bytes through Qt and back without loss. Qt decodes argv as UTF-8 and would turn any
// other byte into U+FFFD, so a Latin-1 file name could no longer be opened or printed as given.
// Here each byte that is not part of valid UTF-8 becomes the lone surrogate U+DC80..U+DCFF (the
// "surrogateescape" of Python's os.fsdecode), and Encode turns it back into that byte: the codec
// that tenso-eval's arguments go through too.

#include "common/qt_text.h"

namespace tenso::report {

using common::DecodeArgument;
using common::EncodeArgument;

}  // namespace tenso::report
