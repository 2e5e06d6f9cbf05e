#pragma once

#include "handler_gate.h"
#include "state/window.h"

#include <QWidget>

#include <array>
#include <functional>

class QLineEdit;
class QPushButton;

namespace tenso {

struct SharedState;
class PlotWidget;

// The main window: a fixed 447 x 487 arrangement of fields, buttons, labels and the plot area, each
// named after its control (objectName "Text12(1)", "Command3(0)", "Label15"). It only wires the
// window to the core: the load step, the change rules and every click handler are core functions.
class Form1 : public QWidget, public Window {
    Q_OBJECT

public:
    // `state` is the run's one shared state; it must outlive the window.
    explicit Form1(SharedState& state, QWidget* parent = nullptr);

    // Centres the window on its screen and runs the load step. Call once, before show().
    void Load();

    std::string Text(Field f) const override;
    void SetText(Field f, std::string_view text) override;
    void Enable(Button b) override;
    void MsgBox(const Message& m) override;
    void DoEvents() override;
    void ShowFileDialog(std::string_view title, std::string_view pattern) override;
    Surface& Picture1() override;

    QLineEdit* FieldWidget(Field f) const { return fields_[static_cast<size_t>(f)]; }
    QPushButton* ButtonWidget(Button b) const { return buttons_[static_cast<size_t>(b)]; }
    PlotWidget* PictureWidget() const { return picture_; }

    // True once Exit was pressed or the window was closed: from then on no handler starts and the
    // window operations that wait for the user or for events return at once.
    bool Ended() const { return gate_.Closed(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();  // form1_controls.cpp
    void connectHandlers();
    void centre();
    void click(std::function<void()> handler);
    void Command4_Click();
    void end();

    SharedState& state_;
    HandlerGate gate_;
    std::array<QLineEdit*, FieldCount> fields_ {};
    std::array<QPushButton*, ButtonCount> buttons_ {};
    PlotWidget* picture_ = nullptr;
};

}  // namespace tenso
