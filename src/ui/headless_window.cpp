#include "headless_window.h"

#include "field_rules.h"

namespace tenso {

void HeadlessWindow::SetText(Field f, std::string_view text)
{
    std::string& current = texts_[index(f)];
    if (current == text)
        return;
    current = text;
    FieldChanged(f, state_, *this);
}

void HeadlessWindow::MsgBox(const Message& m)
{
    messages_.push_back(m);
    if (onMsgBox)
        onMsgBox(m);
}

void HeadlessWindow::DoEvents()
{
    if (onDoEvents)
        onDoEvents();
}

void HeadlessWindow::ShowFileDialog(std::string_view title, std::string_view pattern)
{
    if (onFileDialog)
        onFileDialog(title, pattern);
}

}  // namespace tenso
