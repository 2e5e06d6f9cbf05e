#include "plot_widget.h"
#include "ui/form1.h"

#include "state/shared_state.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>

namespace tenso {
namespace {

// A window after its load step, as main() makes it (not shown unless a test shows it).
struct Started {
    Started() { form.Load(); }
    SharedState state;
    Form1 form {state};
};

QWidget* Control(const Form1& form, const char* name)
{
    return form.findChild<QWidget*>(QString::fromUtf8(name));
}

// Whether the picture changes colour across the line through (x, y), vertical or horizontal, within
// `tolerance` pixels of it: between pixel c - 1 and pixel c for c from x - tolerance to x + tolerance.
bool edgeAcross(const QImage& picture, int x, int y, bool vertical, int tolerance)
{
    for (int d = -tolerance; d <= tolerance; ++d) {
        const QPoint at = vertical ? QPoint(x + d, y) : QPoint(x, y + d);
        const QPoint before = vertical ? at - QPoint(1, 0) : at - QPoint(0, 1);
        if (picture.rect().contains(at) && picture.rect().contains(before)
            && picture.pixel(at) != picture.pixel(before))
            return true;
    }
    return false;
}

// Empties a field the way a user does: select everything and delete it.
void ClearByKeyboard(QLineEdit* edit)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startTexts_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        const auto row
            = [](Field f, const char* text) { QTest::newRow(ControlName(f)) << int(f) << QString(text); };
        row(Field::Text4, "1");
        row(Field::Text5, "2");
        row(Field::Text10, "5");
        row(Field::Text1, "20");
        row(Field::Text3, "60");
        row(Field::Text6, "2000");
        row(Field::Text13, "1");
        row(Field::Text14, "1");
        for (Field f : {Field::Text7, Field::Text8, Field::Text16, Field::Text9, Field::Text15, Text2(0),
                 Text12(0), Text12(1)})
            row(f, "");
        for (int k = 0; k < PreviewLines; ++k)
            row(Text11(k), "");
    }
    void startTexts()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        Started s;
        QCOMPARE(s.form.FieldWidget(static_cast<Field>(field))->text(), text);
        QCOMPARE(QString::fromStdString(s.form.Text(static_cast<Field>(field))), text);
    }

    void loadStepSetsTheSharedState()
    {
        Started s;
        s.state.SkipLines = 0;  // a fresh window over a used record: the load step must set it again
        s.state.ScaleXMin = 3;
        s.form.SetText(Field::Text10, "");
        s.form.Load();
        QCOMPARE(s.state.SkipLines, int16_t {5});
        QCOMPARE(s.state.ScaleXMax, 0.0f);
        QCOMPARE(s.state.ScaleYMax, 0.0f);
        QCOMPARE(s.state.ScaleYMin, 0.0f);
        QCOMPARE(s.state.FileScanned, int16_t {0});
        QCOMPARE(s.state.DataFileName, std::string());
        Started fresh;
        QCOMPARE(fresh.state.ScaleXMin, 0.0f);
        QCOMPARE(fresh.state.SkipLines, int16_t {5});
    }

    // Every keystroke is a change: the rule runs for "1" and again for "15".
    void typingIntoSkipLineStoresAtEveryKey()
    {
        Started s;
        QLineEdit* text10 = s.form.FieldWidget(Field::Text10);
        ClearByKeyboard(text10);
        QCOMPARE(s.state.SkipLines, int16_t {0});
        QTest::keyClicks(text10, "1");
        QCOMPARE(s.state.SkipLines, int16_t {1});
        QTest::keyClicks(text10, "5");
        QCOMPARE(s.state.SkipLines, int16_t {15});

        ClearByKeyboard(text10);
        QTest::keyClicks(text10, "-3");
        QCOMPARE(s.state.SkipLines, int16_t {0});
        QCOMPARE(text10->text(), QString("-3"));  // the rule never rewrites the field
    }

    // ScaleXMin (ScaleYMin) is the maximum times -0.1, rounded to Single: 500 gives -50, -200 gives
    // 20, an empty field 0 for both.
    void plotMaximumRule_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("max");
        QTest::addColumn<float>("min");
        for (int index : {0, 1}) {
            const QByteArray name = "Text12(" + QByteArray::number(index) + ") ";
            QTest::newRow(name + "500") << index << "500" << 500.0f << -50.0f;
            QTest::newRow(name + "-200") << index << "-200" << -200.0f << 20.0f;
            QTest::newRow(name + "empty") << index << "" << 0.0f << 0.0f;
            QTest::newRow(name + "2.5") << index << "2.5" << 2.5f << -0.25f;
        }
    }
    void plotMaximumRule()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(float, max);
        QFETCH(float, min);
        Started s;
        const float& storedMax = index == 0 ? s.state.ScaleXMax : s.state.ScaleYMax;
        const float& storedMin = index == 0 ? s.state.ScaleXMin : s.state.ScaleYMin;
        QLineEdit* edit = s.form.FieldWidget(Text12(index));

        // Typed.
        s.form.SetText(Text12(index), "9");
        ClearByKeyboard(edit);
        QTest::keyClicks(edit, text);
        QCOMPARE(storedMax, max);
        QCOMPARE(storedMin, min);
        // Set by the program (as Draw writes the maxima back).
        s.form.SetText(Text12(index), "9");
        QCOMPARE(storedMax, 9.0f);
        s.form.SetText(Text12(index), text.toStdString());
        QCOMPARE(storedMax, max);
        QCOMPARE(storedMin, min);
    }

    void settingTheShownTextRunsNoRule()
    {
        // What the window relies on: QLineEdit signals only real changes.
        QLineEdit edit;
        QSignalSpy spy(&edit, &QLineEdit::textChanged);
        edit.setText("abc");
        edit.setText("abc");
        QCOMPARE(spy.count(), 1);
        edit.setText("");
        QCOMPARE(spy.count(), 2);

        Started s;
        s.form.SetText(Field::Text10, "7");
        QCOMPARE(s.state.SkipLines, int16_t {7});
        s.state.SkipLines = 99;  // would go back to 7 if the rule ran
        s.form.SetText(Field::Text10, "7");
        QCOMPARE(s.state.SkipLines, int16_t {99});
        s.form.SetText(Field::Text10, "8");
        QCOMPARE(s.state.SkipLines, int16_t {8});

        s.form.SetText(Text12(1), "2");
        s.state.ScaleYMin = 5;  // a minimum that Draw chose; writing the same maximum keeps it
        s.form.SetText(Text12(1), "2");
        QCOMPARE(s.state.ScaleYMin, 5.0f);
    }

    void textsAreUtf8()
    {
        Started s;
        const std::string text = "データ µ";
        s.form.SetText(Text11(0), text);
        QCOMPARE(s.form.FieldWidget(Text11(0))->text(), QStringLiteral(u"データ µ"));
        QCOMPARE(s.form.Text(Text11(0)), text);
    }

    // A header line of a real export, far wider than its box: the preview exists to show the column
    // names, which stand at the start.
    void aLongPreviewLineShowsItsStart()
    {
        const std::string header
            = "Time (s),Extension (mm),Load (kN),Tensile stress (MPa),Tensile strain (%),"
              "Original Diameter (mm),Final Length (mm),Final Diameter (mm)";
        Started s;
        s.form.SetText(Text11(0), header);
        QCOMPARE(s.form.FieldWidget(Text11(0))->cursorPosition(), 0);

        // What the box paints: its left part is that of a box holding only the line's first
        // 40 characters (about 280 of its 401 pixels in the fixed-pitch face), not the line's end.
        Started prefix;
        prefix.form.SetText(Text11(0), header.substr(0, 40));
        const QImage shown = s.form.FieldWidget(Text11(0))->grab().toImage();
        const QImage expected = prefix.form.FieldWidget(Text11(0))->grab().toImage();
        const QRect left(0, 0, 200, shown.height());
        QCOMPARE(shown.copy(left), expected.copy(left));
        Started end;
        end.form.SetText(Text11(0), header.substr(header.size() - 40));
        QVERIFY(shown.copy(left) != end.form.FieldWidget(Text11(0))->grab().toImage().copy(left));
    }

    // Every field the program writes, input and result fields alike, starts at its first character.
    void everySetTextShowsItsStart()
    {
        Started s;
        const std::string text(300, '7');
        for (int i = 0; i < FieldCount; ++i) {
            const auto f = static_cast<Field>(i);
            s.form.SetText(f, text);
            QCOMPARE(s.form.FieldWidget(f)->cursorPosition(), 0);
        }
    }

    // Every control against an independent picture of the layout (the control tables drawn at two
    // picture pixels per window pixel): the edges of a control lie exactly on changes of colour in
    // the picture. The picture does not keep the stacking order, so one edge may be hidden under
    // another control (Text8's right edge under Label18). A label shares its colour with the frame
    // it stands on, so only one of its edges must show, within a picture pixel.
    void controlsLieWhereTheLayoutPictureDrawsThem()
    {
        const QImage picture(QStringLiteral(TENSO_TEST_DATA "/layout/main-window.png"));
        QVERIFY(!picture.isNull());
        Started s;
        const QRegularExpression controlName(QStringLiteral("^(Command|Text|Label|Shape|Picture)[0-9]"));
        QStringList misplaced;
        int checked = 0;
        for (const QWidget* w : s.form.findChildren<QWidget*>()) {
            if (!controlName.match(w->objectName()).hasMatch())
                continue;
            const QRect r(w->mapTo(&s.form, QPoint(0, 0)) * 2, w->size() * 2);
            const int midX = r.x() + r.width() / 2;
            const int midY = r.y() + r.height() / 2;
            const bool label = w->objectName().startsWith(QStringLiteral("Label"));
            const int tolerance = label ? 1 : 0;
            const int edges = int(edgeAcross(picture, r.left(), midY, true, tolerance))
                + int(edgeAcross(picture, r.left() + r.width(), midY, true, tolerance))
                + int(edgeAcross(picture, midX, r.top(), false, tolerance))
                + int(edgeAcross(picture, midX, r.top() + r.height(), false, tolerance));
            const int needed = label ? 1 : 3;
            if (edges < needed)
                misplaced << QStringLiteral("%1 (%2 of 4 edges)").arg(w->objectName()).arg(edges);
            ++checked;
        }
        QVERIFY2(checked >= 40, qPrintable(QString::number(checked)));
        QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(", "))));
    }

    void windowIsFixedAndCentred()
    {
        Started s;
        QCOMPARE(s.form.size(), QSize(447, 487));  // 6705 x 7305 twips
        QCOMPARE(s.form.minimumSize(), QSize(447, 487));
        QCOMPARE(s.form.maximumSize(), QSize(447, 487));
        QCOMPARE(s.form.windowTitle(), QString("Tenso"));
        // The icon renders at 32 x 32 with its blue curve and red offset line.
        const QImage icon
            = s.form.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(32, 32));
        int blue = 0, red = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QColor c = icon.pixelColor(x, y);
                blue += c.alpha() > 200 && c.blue() > 200 && c.red() < 60 && c.green() < 60;
                red += c.alpha() > 200 && c.red() > 200 && c.blue() < 60 && c.green() < 60;
            }
        QVERIFY2(blue > 10 && red > 10, qPrintable(QString("blue %1, red %2").arg(blue).arg(red)));

        // Centred: the free space split in two, in whole pixels, the half pixel rounded up.
        const QRect screen = s.form.screen()->geometry();
        const QSize outer = s.form.frameGeometry().size();
        QCOMPARE(s.form.frameGeometry().x() - screen.x(), (screen.width() - outer.width() + 1) / 2);
        QCOMPARE(s.form.frameGeometry().y() - screen.y(), (screen.height() - outer.height() + 1) / 2);
    }

    // Where controls overlap, the later of each pair lies on top.
    void stacking_data()
    {
        QTest::addColumn<QString>("below");
        QTest::addColumn<QString>("above");
        const auto row = [](const char* below, const char* above) {
            QTest::newRow((QByteArray(above) + " over " + below).constData())
                << QString(below) << QString(above);
        };
        row("Picture1", "Text12(1)");
        row("Picture1", "Text12(0)");
        row("Label14", "Text2(0)");
        row("Label14", "Text11(5)");
        row("Label15", "Label2");
        row("Label15", "Text6");
        row("Shape1", "Label5");
        row("Shape1", "Text14");
        row("Label9", "Text4");
        row("Label12", "Text10");
        row("Label17", "Text15");
        row("Label18", "Text8");
    }
    void stacking()
    {
        QFETCH(QString, below);
        QFETCH(QString, above);
        Started s;
        const QObjectList& order = s.form.children();  // bottom to top
        QWidget* lower = Control(s.form, below.toUtf8().constData());
        QWidget* upper = Control(s.form, above.toUtf8().constData());
        QVERIFY(lower && upper);
        QVERIFY(lower->geometry().intersects(upper->geometry()));
        QVERIFY2(order.indexOf(lower) < order.indexOf(upper), qPrintable(above + " is below " + below));
    }

    // Shown and active, focus starts on Browse. Tab follows the table's order and skips what is
    // disabled; with the four buttons enabled (as after Browse) they take their places too.
    void keyboardStartsOnBrowseAndTabsInOrder()
    {
        Started s;
        s.form.show();
        s.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s.form));
        QCOMPARE(QApplication::focusWidget(), s.form.ButtonWidget(Button::Command2));
        const auto tabRound = [&] {
            QStringList visited;
            do {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << QApplication::focusWidget()->objectName();
            } while (visited.last() != "Command2" && visited.size() < 100);
            return visited;
        };
        QCOMPARE(tabRound(),
            (QStringList {"Command4", "Text4", "Text13", "Text5", "Text14", "Text10", "Text1", "Text3",
                "Text6", "Text7", "Text8", "Text9", "Text12(0)", "Text12(1)", "Text15", "Command5(0)",
                "Command5(1)", "Text16", "Command2"}));
        for (Button b : {Command1(0), Command1(1), Command3(0), Command3(1)})
            s.form.Enable(b);
        QCOMPARE(tabRound(),
            (QStringList {"Command4", "Text4", "Text13", "Text5", "Text14", "Text10", "Command3(0)",
                "Command3(1)", "Text1", "Text3", "Text6", "Command1(0)", "Command1(1)", "Text7", "Text8",
                "Text9", "Text12(0)", "Text12(1)", "Text15", "Command5(0)", "Command5(1)", "Text16",
                "Command2"}));
    }

    void enabledStateAtStartAndAfterEnable()
    {
        Started s;
        const QStringList disabled = {"Command3(0)", "Command3(1)", "Command1(0)", "Command1(1)", "Text2(0)",
            "Text11(0)", "Text11(1)", "Text11(2)", "Text11(3)", "Text11(4)", "Text11(5)"};
        for (QWidget* w : s.form.findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QPushButton*>(w))
                continue;
            QCOMPARE(w->objectName() + (w->isEnabled() ? " enabled" : " disabled"),
                w->objectName() + (disabled.contains(w->objectName()) ? " disabled" : " enabled"));
        }
        s.form.Enable(Command3(0));
        QVERIFY(s.form.ButtonWidget(Command3(0))->isEnabled());
        QVERIFY(!s.form.ButtonWidget(Command3(1))->isEnabled());
    }

    void everyControlIsNamedOnce()
    {
        Started s;
        QStringList names = {"Command2", "Command4", "Picture1", "Shape1", "Label1", "Label2", "Label3",
            "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10", "Label11", "Label12",
            "Label13", "Label14", "Label15", "Label16", "Label17", "Label18", "Text1", "Text3", "Text4",
            "Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text13", "Text14", "Text15", "Text16",
            "Text2(0)", "Text12(0)", "Text12(1)", "Command3(0)", "Command3(1)", "Command1(0)", "Command1(1)",
            "Command5(0)", "Command5(1)"};
        for (int k = 0; k < PreviewLines; ++k)
            names << QString("Text11(%1)").arg(k);
        for (const QString& name : names)
            QCOMPARE(name + ": " + QString::number(s.form.findChildren<QWidget*>(name).size()), name + ": 1");
        QVERIFY(!Control(s.form, "Label22"));
        QCOMPARE(s.form.findChildren<QLineEdit*>().size(), FieldCount);
        QCOMPARE(s.form.findChildren<QPushButton*>().size(), ButtonCount);
    }

    void captionsAndAccessibleNames()
    {
        Started s;
        QCOMPARE(qobject_cast<QPushButton*>(Control(s.form, "Command3(1)"))->text(), QString("Clear scale"));
        QCOMPARE(qobject_cast<QLabel*>(Control(s.form, "Label15"))->text(), QString("Calc step or % for Y"));
        QCOMPARE(Control(s.form, "Text13")->accessibleName(), QString("X-axis coeffi"));
        QCOMPARE(Control(s.form, "Text10")->accessibleName(), QString("Skip line"));
        for (QWidget* w : s.form.findChildren<QWidget*>())
            if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPushButton*>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }

    void noDefaultButtonAndNoAccessKeys()
    {
        Started s;
        for (QPushButton* b : s.form.findChildren<QPushButton*>()) {
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
            QVERIFY2(!b->text().contains('&'), qPrintable(b->objectName()));
        }
    }

    void fonts()
    {
        Started s;
        const QFont p = Control(s.form, "Text4")->font();
        QCOMPARE(p.family(), QStringLiteral(u"ＭＳ Ｐゴシック"));
        QCOMPARE(p.pixelSize(), 13);  // 9.75 pt at 96 dpi
        QVERIFY(!p.bold());
        QCOMPARE(Control(s.form, "Text11(3)")->font().family(), QStringLiteral(u"ＭＳ ゴシック"));
        QCOMPARE(Control(s.form, "Command3(1)")->font().pixelSize(), 11);  // 8.25 pt
        QVERIFY(Control(s.form, "Label5")->font().bold());
        QVERIFY(Control(s.form, "Command1(0)")->font().bold());
        QVERIFY(Control(s.form, "Text7")->font().bold());
        QVERIFY(!Control(s.form, "Label14")->font().bold());
        QVERIFY(Control(s.form, "Text2(0)")->font().italic());

        // The Windows names resolve to the installed substitutes.
        const QStringList families = QFontDatabase::families();
        if (!families.contains("IPAPGothic") || !families.contains("IPAGothic"))
            QSKIP("the IPA Gothic fonts are not installed");
        QCOMPARE(QFontInfo(p).family(), QString("IPAPGothic"));
        QCOMPARE(QFontInfo(Control(s.form, "Text11(0)")->font()).family(), QString("IPAGothic"));
    }

    // The colours as they are painted, sampled away from the texts.
    void colours_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("Shape1") << QPoint(20, 180) << QColor(0xC0, 0xC0, 0xC0);
        QTest::newRow("Label5") << QPoint(26, 56) << QColor(0x80, 0x80, 0x80);
        QTest::newRow("Label7") << QPoint(306, 266) << QColor(0xFF, 0x00, 0x00);
        QTest::newRow("Label16") << QPoint(162, 306) << QColor(0x00, 0x00, 0x00);
        QTest::newRow("Label8") << QPoint(274, 306) << QColor(0x00, 0x00, 0xFF);
        QTest::newRow("Text1") << QPoint(76, 270) << QColor(0xFF, 0xFF, 0x00);
        QTest::newRow("Picture1") << QPoint(300, 100) << QColor(0xFF, 0xFF, 0xFF);
        QTest::newRow("Text2(0)") << QPoint(420, 350) << QColor(0x80, 0x80, 0x80);
        QTest::newRow("Text11(2) stays white") << QPoint(400, 400) << QColor(0xFF, 0xFF, 0xFF);
    }
    void colours()
    {
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        Started s;
        const QImage image = s.form.grab().toImage();
        QCOMPARE(image.pixelColor(at * image.devicePixelRatio()), colour);
    }

    void messageBoxes_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<int>("shownIcon");
        QTest::newRow("no title, no icon")
            << "" << int(MessageIcon::None) << "tenso" << int(QMessageBox::NoIcon);
        QTest::newRow("Error, exclamation")
            << "Error" << int(MessageIcon::Exclamation) << "Error" << int(QMessageBox::Warning);
    }
    void messageBoxes()
    {
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(QString, shownTitle);
        QFETCH(int, shownIcon);
        Started s;
        struct Seen {
            QString title, text;
            int icon;
            QList<QAbstractButton*> buttons;
        };
        std::optional<Seen> seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = Seen {box->windowTitle(), box->text(), int(box->icon()), box->buttons()};
            QVERIFY(box->button(QMessageBox::Ok));
            box->button(QMessageBox::Ok)->click();
        });
        s.form.MsgBox({"Choice the proper steps", title.toStdString(), static_cast<MessageIcon>(icon)});
        QVERIFY(seen.has_value());
        QCOMPARE(seen->title, shownTitle);
        QCOMPARE(seen->text, QString("Choice the proper steps"));
        QCOMPARE(seen->icon, shownIcon);
        QCOMPARE(seen->buttons.size(), 1);
    }

    void browseReadiesTheWindow()
    {
        Started s;
        s.form.SetText(Text2(0), "/old/file.dat");
        s.state.FileScanned = 1;
        s.form.PictureWidget()->Scale(0, 0, 10, 10);
        s.form.PictureWidget()->Line(0, 5, 10, 5, colors::Red);  // row 123 of 247
        QCOMPARE(s.form.PictureWidget()->Drawing().Image().pixelColor(135, 123), QColor(Qt::red));
        bool dialogShown = false;
        QTimer::singleShot(0, this, [&] {  // the file dialog is modal: cancel it once it shows
            if (auto* dialog = QApplication::activeModalWidget()) {
                dialogShown = dialog->windowTitle() == QLatin1String("Data File Open");
                dialog->close();
            }
        });
        QTest::mouseClick(s.form.ButtonWidget(Button::Command2), Qt::LeftButton);
        QVERIFY(dialogShown);
        QCOMPARE(s.form.Text(Text2(0)), std::string());
        QCOMPARE(s.state.FileScanned, int16_t {0});
        for (Button b : {Command3(0), Command3(1), Command1(0), Command1(1)})
            QVERIFY2(s.form.ButtonWidget(b)->isEnabled(), ControlName(b));
        QCOMPARE(s.form.PictureWidget()->Drawing().Image().pixelColor(135, 123), QColor(Qt::white));
    }

    // Exit ends the run at once: nothing starts or waits afterwards, even a handler in progress.
    void exitEndsEverything()
    {
        Started s;
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        QTest::mouseClick(s.form.ButtonWidget(Button::Command4), Qt::LeftButton);
        QVERIFY(s.form.Ended());
        QVERIFY(!s.form.isVisible());

        s.state.FileScanned = 1;
        s.form.ButtonWidget(Button::Command2)->click();  // Browse would set it to 0
        QCOMPARE(s.state.FileScanned, int16_t {1});

        bool boxShown = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* box = QApplication::activeModalWidget()) {
                boxShown = true;
                box->close();
            }
        });
        s.form.MsgBox({"late", "", MessageIcon::None});
        QVERIFY(!boxShown);
        s.form.DoEvents();  // returns at once
    }

    void closingTheWindowEndsTheRun()
    {
        Started s;
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        s.form.close();
        QVERIFY(s.form.Ended());
    }
};

}  // namespace tenso

QTEST_MAIN(tenso::Form1Test)
#include "form1_test.moc"
