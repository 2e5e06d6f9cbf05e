#pragma once

#include "state/failure.h"
#include "state/shared_state.h"
#include "state/window.h"

#include <cstddef>

namespace tenso {

// A calculation that cannot go on. The click handler catches it and shows `text` in the "Error" box;
// whatever was shown or drawn before stays, nothing after the failing step happens.
struct CalcError {
    const char* text;
};

Message ErrorMessage(const CalcError& e);

// Runs one step of a calculation; an overflow or a zero divisor inside it (a Failure of the checked
// arithmetic or of Val) becomes a CalcError that names the step.
template <typename F> auto Step(const char* text, F&& f)
{
    try {
        return f();
    } catch (const Failure&) {
        throw CalcError {text};
    }
}

// The array index of record k, which must lie within the arrays (0 to 2000).
size_t Record(long k);

// The array index of valley k, which must lie within the arrays (0 to 200).
size_t Valley(long k);

}  // namespace tenso
