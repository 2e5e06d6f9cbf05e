#pragma once

#include "window.h"

namespace tenso {

struct SharedState;

// The load step of the main window (after the window has centred itself): the input fields get
// their defaults, results, preview, file name and plot maxima are emptied, and the scale and
// reader state are reset. The change rules run as the fields are set.
void Form_Load(SharedState& s, Window& w);

// Change rules of the fields whose values are stored at once. They never rewrite the field,
// never show a message and never refuse a text; a text whose number does not fit the stored type
// keeps the previous value.
void Text10_Change(SharedState& s, const Window& w);
void Text12_Change(int16_t index, SharedState& s, const Window& w);

// Runs the change rule of `f`, if it has one. Window implementations call this whenever the text
// of a field really changes.
void FieldChanged(Field f, SharedState& s, const Window& w);

// Browse: lets the user choose the data file in the file dialog and readies the window for it.
void Command2_Click(SharedState& s, Window& w);

}  // namespace tenso
