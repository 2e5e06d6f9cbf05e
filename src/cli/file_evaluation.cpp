#include "file_evaluation.h"

#include "analysis/modulus.h"
#include "data/reader.h"
#include "plot/draw.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "ui/browse.h"
#include "ui/headless_window.h"
#include "ui/main_window_load.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <iterator>

namespace tenso {
namespace {

// The change rules run in this order, as the fields are typed top to bottom of the settings.
constexpr Field ruleOrder[] = {Field::Text10, Text12(0), Text12(1)};

bool hasRule(Field f)
{
    return std::find(std::begin(ruleOrder), std::end(ruleOrder), f) != std::end(ruleOrder);
}

// The handlers write a result as SingleText of a Single, and that text reads back as the same Single;
// a text that does not (none that a handler writes) shows no number.
ShownField shown(const HeadlessWindow& w, Field f)
{
    ShownField field {w.Text(f), std::nullopt};
    if (field.text.empty())
        return field;
    try {
        const double v = Val(field.text);
        if (std::fabs(v) <= FLT_MAX && SingleText(static_cast<float>(v)) == field.text)
            field.number = static_cast<float>(v);
    } catch (const Failure&) {
        // Beyond the double range: no Single's text.
    }
    return field;
}

CalculationResult click(int16_t index, SharedState& s, HeadlessWindow& w)
{
    w.ClearMessages();
    Command1_Click(index, s, w);
    CalculationResult r {shown(w, Field::Text7), shown(w, Field::Text8), shown(w, Field::Text16),
        shown(w, Field::Text9), shown(w, Field::Text15), std::nullopt};
    if (!w.Messages().empty())
        r.message = w.Messages().back().text;
    return r;
}

}  // namespace

void Evaluate(
    const std::string& file, const EvaluationSettings& settings, Surface& picture, FileEvaluation& out)
{
    out.file = file;
    out.error.reset();
    out.errorNumber = 0;
    out.tangent.reset();
    out.secant.reset();
    out.state = SharedState {};
    SharedState& s = out.state;
    HeadlessWindow w(s, picture);
    Form_Load(s, w);

    for (const auto& [field, text] : settings.fieldTexts)
        if (!hasRule(field))
            w.SetText(field, text);
    for (Field f : ruleOrder)
        for (const auto& [field, text] : settings.fieldTexts)
            if (field == f)
                w.SetText(field, text);

    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    w.onFileDialog = [&](std::string_view, std::string_view) {
        s.DataFileName = ec || file.empty() ? file : absolute.string();
    };
    Command2_Click(s, w);

    Command3_Click(0, s, w);
    // Draw reads nothing without a file name, but no file has an empty name: opening one fails as
    // for a missing file, so the batch reports it as that data-file error, not as a clean run.
    if (file.empty() && w.Messages().empty())
        w.MsgBox(DataFileMessage(failure::FileNotFound));
    if (!w.Messages().empty()) {
        out.error = w.Messages().back();
        out.errorNumber = out.error->failure;
        return;
    }
    if (settings.tangent)
        out.tangent = click(0, s, w);
    if (settings.secant)
        out.secant = click(1, s, w);
}

}  // namespace tenso
