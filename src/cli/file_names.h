#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace tenso {

// File names reach tenso-eval as the bytes the shell passed, which need not be UTF-8. The option
// parser works on text, so each argument is decoded without loss: valid UTF-8 as itself, and every
// other byte b as the lone surrogate U+DC00 + b, which no valid UTF-8 text can produce (the same
// escape as Python's "surrogateescape"). ArgumentBytes turns such a text back into the bytes.
QStringList ArgumentsOf(int argc, const char* const* argv);
std::string ArgumentBytes(const QString& argument);

// The length of the valid UTF-8 sequence that starts at s[i] (1 to 4), or 0 when the byte there
// does not start one (overlong forms, surrogates and code points beyond U+10FFFF are not valid);
// the character goes to *codePoint when that is given.
size_t Utf8SequenceAt(std::string_view s, size_t i, char32_t* codePoint = nullptr);
bool IsUtf8(std::string_view s);

// A path as a message shows it: bytes that are not UTF-8 as U+FFFD, and a long path shortened in
// the middle to its first and last 40 characters, so that the reason after it stays in sight.
QString ShortPath(std::string_view path);

}  // namespace tenso
