#pragma once

#include "state/window.h"

#include <cstdint>

namespace tenso {

struct SharedState;

// Change rules of the fields whose values are stored at once. They never rewrite the field,
// never show a message and never refuse a text; a text whose number does not fit the stored type
// keeps the previous value.
void Text10_Change(SharedState& s, const Window& w);
void Text12_Change(int16_t index, SharedState& s, const Window& w);

// Runs the change rule of `f`, if it has one. Window implementations call this whenever the text
// of a field really changes.
void FieldChanged(Field f, SharedState& s, const Window& w);

}  // namespace tenso
