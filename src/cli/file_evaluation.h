#pragma once

#include "state/shared_state.h"
#include "state/window.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tenso {

class Surface;

// What a batch evaluation types into the main window's fields, as a user would.
struct EvaluationSettings {
    // Texts for the input fields; unset fields keep the load step's defaults.
    std::vector<std::pair<Field, std::string>> fieldTexts;
    bool tangent = true;
    bool secant = true;
};

// A result field as the window shows it, and the Single its text shows, if it shows one.
struct ShownField {
    std::string text;
    std::optional<float> number;
};

// The fields a calculation button leaves, and the message box it showed, if any.
struct CalculationResult {
    ShownField elasticModulus;  // Text7
    ShownField offsetStrength;  // Text8
    ShownField offsetStrengthAt;  // Text16
    ShownField maxStrength;  // Text9
    ShownField yieldStrength;  // Text15
    std::optional<std::string> message;
};

struct FileEvaluation {
    std::string file;  // as given
    std::optional<Message> error;  // the data-file message of Draw
    int16_t errorNumber = 0;  // the failure number that message reports
    SharedState state;  // after the last button
    std::optional<CalculationResult> tangent;
    std::optional<CalculationResult> secant;
};

// Evaluates one data file as a freshly started main window would: the load step, the settings typed
// into their fields, Browse choosing the file, Draw, then Tangent and/or Secant. Everything runs
// through the window's own handlers on a headless window; the plot goes to `picture`.
void Evaluate(
    const std::string& file, const EvaluationSettings& settings, Surface& picture, FileEvaluation& out);

}  // namespace tenso
