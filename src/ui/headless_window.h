#pragma once

#include "state/window.h"

#include <array>
#include <functional>
#include <vector>

namespace tenso {

struct SharedState;

// A main window without a window system: the field texts, enabled buttons and message boxes are
// kept in memory, and the change rules run on real changes as in the Qt window. Batch evaluation
// and the tests run the handlers on it.
class HeadlessWindow : public Window {
public:
    HeadlessWindow(SharedState& state, Surface& picture)
        : state_(state)
        , picture_(picture)
    { }

    std::string Text(Field f) const override { return texts_[index(f)]; }
    void SetText(Field f, std::string_view text) override;
    void Enable(Button b) override { enabled_[static_cast<size_t>(b)] = true; }
    void MsgBox(const Message& m) override;
    void DoEvents() override;
    void ShowFileDialog(std::string_view title, std::string_view pattern) override;
    Surface& Picture1() override { return picture_; }

    bool IsEnabled(Button b) const { return enabled_[static_cast<size_t>(b)]; }
    const std::vector<Message>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); }

    // Hooks for what a real window would do at these points (tests use them to act "in between").
    std::function<void()> onDoEvents;
    std::function<void(const Message&)> onMsgBox;
    std::function<void(std::string_view title, std::string_view pattern)> onFileDialog;

private:
    static size_t index(Field f) { return static_cast<size_t>(f); }

    SharedState& state_;
    Surface& picture_;
    std::array<std::string, FieldCount> texts_ {};
    std::array<bool, ButtonCount> enabled_ {};
    std::vector<Message> messages_;
};

}  // namespace tenso
