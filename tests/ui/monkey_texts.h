#pragma once

// What the monkey test types, and the message boxes and field texts that the program may show.

#include "monkey_support.h"

#include "state/window.h"

#include <QString>

class QMessageBox;

namespace tenso::test {

QString Repeated(int n, char c);

// A text for the field: mostly what a user of that field types, often a text that has broken
// number conversions somewhere (beyond the ranges, other notations and scripts, control
// characters, 100 000 characters), now and then random characters.
QString TextFor(Field f, Rng& rng);

// Short and printable ASCII, so that it can go in key by key.
bool KeyboardTypable(const QString& text);

// Empty when the box is one the program may show (its text, title, icon and one button); otherwise
// what is wrong with it.
QString UnexpectedBox(const QMessageBox& box);

// A number as the program writes it into a field, which reads back as a finite Single.
bool IsShownNumber(const QString& text);

}  // namespace tenso::test
