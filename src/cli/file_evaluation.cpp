#include "file_evaluation.h"

#include "analysis/modulus.h"
#include "plot/draw.h"
#include "ui/browse.h"
#include "ui/main_window_load.h"
#include "ui/headless_window.h"

#include <filesystem>

namespace tenso {
namespace {

// The change rules run in this order, as the fields are typed top to bottom of the settings.
constexpr Field ruleOrder[] = {Field::Text10, Text12(0), Text12(1)};

bool hasRule(Field f)
{
    return std::find(std::begin(ruleOrder), std::end(ruleOrder), f) != std::end(ruleOrder);
}

CalculationResult click(int16_t index, SharedState& s, HeadlessWindow& w)
{
    w.ClearMessages();
    Command1_Click(index, s, w);
    CalculationResult r{w.Text(Field::Text7), w.Text(Field::Text8), w.Text(Field::Text16), w.Text(Field::Text9),
                        w.Text(Field::Text15), std::nullopt};
    if (!w.Messages().empty())
        r.message = w.Messages().back().text;
    return r;
}

int16_t failureNumber(const std::string& text)
{
    const auto open = text.rfind('(');
    if (open == std::string::npos)
        return 0;
    return static_cast<int16_t>(std::atoi(text.c_str() + open + 1));
}

}  // namespace

void Evaluate(const std::string& file, const EvaluationSettings& settings, Surface& picture, FileEvaluation& out)
{
    out.file = file;
    out.error.reset();
    out.errorNumber = 0;
    out.tangent.reset();
    out.secant.reset();
    out.state = SharedState{};
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
    w.onFileDialog = [&](std::string_view, std::string_view) { s.DataFileName = ec ? file : absolute.string(); };
    Command2_Click(s, w);

    Command3_Click(0, s, w);
    if (!w.Messages().empty()) {
        out.error = w.Messages().back();
        out.errorNumber = failureNumber(out.error->text);
        return;
    }
    if (settings.tangent)
        out.tangent = click(0, s, w);
    if (settings.secant)
        out.secant = click(1, s, w);
}

}  // namespace tenso
