#include "form1.h"

#include "app_icon.h"
#include "browse.h"
#include "field_rules.h"
#include "fonts.h"
#include "frm_open_save.h"
#include "main_window_load.h"
#include "plot_widget.h"

#include "analysis/modulus.h"
#include "analysis/valley_steps.h"
#include "plot/draw.h"
#include "state/failure.h"
#include "state/shared_state.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>

#include <string>

namespace tenso {

namespace {

constexpr float TwipsPerPixel = 15;

float ToTwips(int pixels) { return static_cast<float>(pixels) * TwipsPerPixel; }
int ToPixels(float twips) { return qRound(twips / TwipsPerPixel); }

}  // namespace

Form1::Form1(SharedState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state)
{
    RegisterFontSubstitutes();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tenso"));
    setWindowIcon(AppIcon());
    setFixedSize(447, 487);
    buildControls();
    connectHandlers();
}

void Form1::connectHandlers()
{
    for (int i = 0; i < FieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        // textChanged comes for every real change, typed or set by the program, and never for a
        // setText of the text already shown: exactly when a change rule has to run.
        connect(FieldWidget(f), &QLineEdit::textChanged, this, [this, f] { FieldChanged(f, state_, *this); });
    }
    const auto onClick = [this](Button b, const std::function<void()>& handler) {
        connect(ButtonWidget(b), &QPushButton::clicked, this, [this, handler] { click(handler); });
    };
    onClick(Button::Command2, [this] { Command2_Click(state_, *this); });
    connect(ButtonWidget(Button::Command4), &QPushButton::clicked, this, [this] { Command4_Click(); });
    for (int16_t index : {int16_t {0}, int16_t {1}}) {
        onClick(Command3(index), [this, index] { Command3_Click(index, state_, *this); });
        onClick(Command1(index), [this, index] { Command1_Click(index, state_, *this); });
        onClick(Command5(index), [this, index] { Command5_Click(index, state_, *this); });
    }
}

void Form1::Load()
{
    centre();
    Form_Load(state_, *this);
    ButtonWidget(Button::Command2)->setFocus();
}

// Left from the widths, then Top from the heights, in twips and single precision. Before the window
// is first shown the frame is not known yet, so the outer size is the client size then.
void Form1::centre()
{
    const QRect screen = this->screen()->geometry();
    const float left = ToTwips(screen.width()) / 2 - ToTwips(frameGeometry().width()) / 2;
    move(screen.x() + ToPixels(left), pos().y());
    const float top = ToTwips(screen.height()) / 2 - ToTwips(frameGeometry().height()) / 2;
    move(pos().x(), screen.y() + ToPixels(top));
}

std::string Form1::Text(Field f) const { return FieldWidget(f)->text().toStdString(); }

// QLineEdit leaves the cursor after the last character of a new text, so a text longer than its
// box would show its end: a file's header line would show only its last columns, and a disabled box
// cannot be scrolled back. Every text the program sets is shown from its first character.
void Form1::SetText(Field f, std::string_view text)
{
    QLineEdit* edit = FieldWidget(f);
    edit->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    edit->setCursorPosition(0);
}

void Form1::Enable(Button b) { ButtonWidget(b)->setEnabled(true); }

void Form1::MsgBox(const Message& m)
{
    if (Ended())
        return;
    const QString title = m.title.empty() ? QStringLiteral("tenso") : QString::fromStdString(m.title);
    QMessageBox box(m.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title,
        QString::fromStdString(m.text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Form1::DoEvents()
{
    if (!Ended())
        QCoreApplication::processEvents();
}

void Form1::ShowFileDialog(std::string_view title, std::string_view pattern)
{
    if (!Ended())
        ShowOpenSaveDialog(this, state_, *this, title, pattern);
}

Surface& Form1::Picture1() { return *picture_; }

// Every click handler runs through the gate, so none starts inside another (see HandlerGate). The
// core reports its failures itself; what still escapes is shown here rather than ending the run.
void Form1::click(std::function<void()> handler)
{
    gate_.Run([this, handler = std::move(handler)] {
        try {
            handler();
        } catch (const Failure& failure) {
            MsgBox({"The command stopped on an error. (" + std::to_string(failure.number) + ")", "Error",
                MessageIcon::Exclamation});
        } catch (const std::exception& e) {
            MsgBox({std::string("The command stopped on an error: ") + e.what(), "Error",
                MessageIcon::Exclamation});
        }
    });
}

// Exit. The core opens the data file and closes it within one handler, and lets events run only
// while it is closed, so no file is open here. A handler that Exit interrupts inside DoEvents
// finishes without showing anything more, and the event loop ends.
void Form1::Command4_Click()
{
    end();
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    end();
    event->accept();
}

void Form1::end()
{
    gate_.Close();
    // exit() also stops the main loop when Exit came from inside DoEvents. Without a running loop
    // there is nothing to stop, and exit() would make the next loop (a message box's) return at once.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

}  // namespace tenso
