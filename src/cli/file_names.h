#pragma once

#include "common/qt_text.h"

#include <QString>
#include <QStringList>

#include <string_view>

namespace tenso {

// File names reach tenso-eval as the bytes the shell passed, which need not be UTF-8. The option
// parser works on text, so each argument is decoded without loss (common::DecodeArgument: every
// byte that is not part of valid UTF-8 as a lone surrogate); common::EncodeArgument turns such a
// text back into the bytes.
QStringList ArgumentsOf(int argc, const char* const* argv);

// Whether a path is valid UTF-8, the only paths Qt opens as they are given (--plot).
using common::IsUtf8;

// A path as a message shows it: bytes that are not UTF-8 as U+FFFD, and a long path shortened in
// the middle to its first and last 40 characters, so that the reason after it stays in sight.
QString ShortPath(std::string_view path);

}  // namespace tenso
