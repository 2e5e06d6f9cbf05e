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

// The fields a calculation button leaves, and the message box it showed, if any.
struct CalculationResult {
    std::string elasticModulus;    // Text7
    std::string offsetStrength;    // Text8
    std::string offsetStrengthAt;  // Text16
    std::string maxStrength;       // Text9
    std::string yieldStrength;     // Text15
    std::optional<std::string> message;
};

struct FileEvaluation {
    std::string file;                       // as given
    std::optional<Message> error;           // the data-file message of Draw
    int16_t errorNumber = 0;
    SharedState state;                      // after the last button
    std::optional<CalculationResult> tangent;
    std::optional<CalculationResult> secant;
};

// Evaluates one data file as a freshly started main window would: the load step, the settings typed
// into their fields, Browse choosing the file, Draw, then Tangent and/or Secant. Everything runs
// through the window's own handlers on a headless window; the plot goes to `picture`.
void Evaluate(const std::string& file, const EvaluationSettings& settings, Surface& picture, FileEvaluation& out);

}  // namespace tenso
