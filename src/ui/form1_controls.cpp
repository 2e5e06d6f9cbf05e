// The controls of the main window: their places, texts, colours, fonts, stacking and tab order.

#include "fonts.h"
#include "form1.h"
#include "plot_widget.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace tenso {

namespace {

// The layout is drawn in twips; 15 twips make one logical pixel (one pixel at 96 dpi).
consteval int Px(int twips)
{
    if (twips % 15 != 0)
        throw "not a whole pixel";
    return twips / 15;
}

consteval QRect Twips(int left, int top, int width, int height)
{
    return {Px(left), Px(top), Px(width), Px(height)};
}

const QColor White(0xFF, 0xFF, 0xFF);
const QColor Grey(0x80, 0x80, 0x80);
const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor Yellow(0xFF, 0xFF, 0x00);
const QColor Red(0xFF, 0x00, 0x00);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Black(0x00, 0x00, 0x00);

// Colours given for every state, so that a disabled control keeps them.
void SetColour(QWidget* w, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = w->palette();
    palette.setColor(role, colour);
    w->setPalette(palette);
}

struct LabelStyle {
    QColor text;
    QColor back;
    bool bold = true;
    Qt::Alignment align = Qt::AlignHCenter;
};

const LabelStyle WhiteOnGrey {White, Grey};
const LabelStyle YellowOnGrey {Yellow, Grey};

}  // namespace

void Form1::buildControls()
{
    // Siblings stack in the order they are made: the plot and the panels first, then the headings,
    // then the fields and buttons that lie over them.
    picture_ = new PlotWidget(Twips(2400, 120, 4095, 3735).size(), this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->move(Twips(2400, 120, 4095, 3735).topLeft());
    picture_->setAccessibleName(QStringLiteral("Plot"));

    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setGeometry(Twips(240, 600, 2055, 2175));
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setAutoFillBackground(true);
    SetColour(shape, QPalette::Window, Silver);
    SetColour(shape, QPalette::WindowText, Black);

    const auto label = [this](const char* name, const char* text, QRect r, const LabelStyle& style) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(QString::fromUtf8(name));
        l->setGeometry(r);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(style.align | Qt::AlignTop);
        l->setFont(WindowFont(Face::P, Regular, style.bold));
        l->setAutoFillBackground(true);
        SetColour(l, QPalette::Window, style.back);
        SetColour(l, QPalette::WindowText, style.text);
        return l;
    };
    label("Label14", "Data file", Twips(240, 5160, 6255, 1815), {White, Grey, false, Qt::AlignLeft});
    label("Label15", "Calc step or % for Y", Twips(240, 3360, 2055, 1215), YellowOnGrey);
    label("Label5", "X-axis", Twips(360, 720, 1815, 255), WhiteOnGrey);
    label("Label9", "column", Twips(360, 960, 855, 255), WhiteOnGrey);
    label("Label10", "coeffi", Twips(1200, 960, 975, 255), WhiteOnGrey);
    label("Label6", "Y-axis", Twips(360, 1560, 1815, 255), WhiteOnGrey);
    label("Label11", "column", Twips(360, 1800, 855, 255), WhiteOnGrey);
    label("Label13", "coeffi", Twips(1200, 1800, 975, 255), WhiteOnGrey);
    label("Label12", "Skip line", Twips(360, 2400, 975, 255), WhiteOnGrey);
    label("Label2", "Start", Twips(240, 3600, 975, 255), YellowOnGrey);
    label("Label3", "End", Twips(1320, 3600, 975, 255), YellowOnGrey);
    label("Label17", "Yield strength", Twips(2400, 3960, 2055, 255), WhiteOnGrey);
    label("Label7", "Elastic modulus", Twips(4560, 3960, 1935, 255), {White, Red});
    label("Label4", "Offset", Twips(480, 4200, 855, 255), YellowOnGrey);
    label("Label16", "Max. strength", Twips(2400, 4560, 1575, 255), {White, Black});
    label("Label8", "Offset strength", Twips(4080, 4560, 2415, 255), {White, Blue});
    label("Label18", "at", Twips(5160, 4800, 255, 255), {Blue, White});
    label("Label1", "input file", Twips(1080, 5160, 855, 255), {White, Grey, false, Qt::AlignRight});

    const auto field = [this](Field f, QRect r, const char* accessibleName, const QFont& font) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf8(ControlName(f)));
        e->setGeometry(r);
        e->setFont(font);
        e->setAccessibleName(QString::fromUtf8(accessibleName));
        fields_[static_cast<size_t>(f)] = e;
        return e;
    };
    const QFont p = WindowFont(Face::P);
    const QFont pBold = WindowFont(Face::P, Regular, true);
    field(Field::Text4, Twips(360, 1200, 735, 285), "X-axis column", p);
    field(Field::Text13, Twips(1080, 1200, 1095, 285), "X-axis coeffi", p);
    field(Field::Text5, Twips(360, 2040, 735, 285), "Y-axis column", p);
    field(Field::Text14, Twips(1080, 2040, 1095, 285), "Y-axis coeffi", p);
    field(Field::Text10, Twips(1320, 2400, 855, 285), "Skip line", p);
    for (QLineEdit* e : {field(Field::Text1, Twips(360, 3840, 855, 285), "Start", p),
             field(Field::Text3, Twips(1320, 3840, 855, 285), "End", p),
             field(Field::Text6, Twips(1320, 4200, 855, 285), "Offset", p)})
        SetColour(e, QPalette::Base, Yellow);
    SetColour(
        field(Field::Text15, Twips(2400, 4185, 1575, 285), "Yield strength", pBold), QPalette::Text, Black);
    SetColour(
        field(Field::Text7, Twips(4560, 4200, 1935, 285), "Elastic modulus", pBold), QPalette::Text, Red);
    SetColour(
        field(Field::Text9, Twips(2400, 4800, 1575, 285), "Max. strength", pBold), QPalette::Text, Black);
    SetColour(
        field(Field::Text8, Twips(4080, 4800, 1095, 285), "Offset strength", pBold), QPalette::Text, Blue);
    SetColour(field(Field::Text16, Twips(5400, 4800, 1095, 285), "Offset strength at", pBold), QPalette::Text,
        Blue);

    auto* fileName = field(
        Text2(0), Twips(2040, 5160, 4455, 225), "input file", WindowFont(Face::P, Regular, false, true));
    fileName->setFrame(false);
    SetColour(fileName, QPalette::Base, Grey);
    SetColour(fileName, QPalette::Text, White);
    fileName->setEnabled(false);

    const QFont fixed = WindowFont(Face::F);
    for (int k = 0; k < PreviewLines; ++k) {
        const std::string name = "Data file line " + std::to_string(k + 1);
        auto* line = field(
            Text11(k), QRect(Px(360), Px(5400) + Px(240) * k, Px(6015), Px(255)), name.c_str(), fixed);
        // Display only, but the preview is there to be read: it keeps the colours of a live field.
        QPalette palette = line->palette();
        for (auto role : {QPalette::Base, QPalette::Text})
            palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
        line->setPalette(palette);
        line->setEnabled(false);
    }
    field(Text12(1), Twips(2400, 120, 975, 285), "Y-axis maximum", p);
    field(Text12(0), Twips(5520, 3600, 975, 285), "X-axis maximum", p);

    const auto button
        = [this](Button b, const char* caption, QRect r, const QFont& font, const char* accessibleName) {
              auto* pb = new QPushButton(QString::fromUtf8(caption), this);
              pb->setObjectName(QString::fromUtf8(ControlName(b)));
              pb->setGeometry(r);
              pb->setFont(font);
              pb->setAutoDefault(false);
              pb->setDefault(false);
              pb->setAccessibleName(QString::fromUtf8(accessibleName ? accessibleName : caption));
              buttons_[static_cast<size_t>(b)] = pb;
              return pb;
          };
    button(Button::Command2, "Browse", Twips(240, 120, 975, 375), p, nullptr);
    button(Button::Command4, "Exit", Twips(1320, 120, 975, 375), p, nullptr);
    button(Command3(0), "Draw", Twips(240, 2880, 975, 375), p, nullptr)->setEnabled(false);
    button(Command3(1), "Clear scale", Twips(1320, 2880, 975, 375), WindowFont(Face::P, Small), nullptr)
        ->setEnabled(false);
    button(Command5(0), "<", Twips(3960, 4200, 255, 255), p, "Previous valley");
    button(Command5(1), ">", Twips(4200, 4200, 285, 255), p, "Next valley");
    button(Command1(0), "Tangent", Twips(240, 4680, 975, 375), pBold, nullptr)->setEnabled(false);
    button(Command1(1), "Secant", Twips(1320, 4680, 975, 375), pBold, nullptr)->setEnabled(false);

    // Keyboard order. The plot takes no focus: there is nothing to do in it with the keyboard.
    const std::vector<QWidget*> tabOrder = {
        ButtonWidget(Button::Command2),
        ButtonWidget(Button::Command4),
        FieldWidget(Field::Text4),
        FieldWidget(Field::Text13),
        FieldWidget(Field::Text5),
        FieldWidget(Field::Text14),
        FieldWidget(Field::Text10),
        ButtonWidget(Command3(0)),
        ButtonWidget(Command3(1)),
        FieldWidget(Field::Text1),
        FieldWidget(Field::Text3),
        FieldWidget(Field::Text6),
        ButtonWidget(Command1(0)),
        ButtonWidget(Command1(1)),
        FieldWidget(Field::Text7),
        FieldWidget(Field::Text8),
        FieldWidget(Field::Text9),
        FieldWidget(Text12(0)),
        FieldWidget(Text12(1)),
        FieldWidget(Text11(0)),
        FieldWidget(Text11(1)),
        FieldWidget(Text11(2)),
        FieldWidget(Text11(3)),
        FieldWidget(Text11(4)),
        FieldWidget(Text11(5)),
        FieldWidget(Text2(0)),
        FieldWidget(Field::Text15),
        ButtonWidget(Command5(0)),
        ButtonWidget(Command5(1)),
        FieldWidget(Field::Text16),
    };
    for (size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

}  // namespace tenso
