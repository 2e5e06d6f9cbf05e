// The batch evaluator must print what the window shows after the same clicks: this test works the
// real window as a user does (typing, Browse with the dialog, Draw, Tangent, Secant) and compares
// its fields with tenso-eval on the same file and settings.
#include "form1.h"
#include "state/shared_state.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace tenso {
namespace {

QJsonObject evaluate(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TENSO_EVAL), args);
    if (!p.waitForFinished(60000))
        return {};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array().at(0).toObject();
}

// A field's text as the evaluator prints it: a number, or null when empty.
QJsonValue shown(const std::string& text)
{
    if (text.empty())
        return QJsonValue::Null;
    return QString::fromStdString(text).toDouble();
}

}  // namespace

class WindowMatchesEval : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameNumbersAsTheWindow_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("offset");
        QTest::newRow("steel, defaults") << "steel_s235jr.dat"
                                         << "20"
                                         << "60"
                                         << "2000";
        QTest::newRow("aluminium, other range") << "aluminium_6082_t6.dat"
                                                << "10"
                                                << "45"
                                                << "2000";
        QTest::newRow("stainless, range rejected") << "stainless_1_4301.dat"
                                                   << "60"
                                                   << "20"
                                                   << "1000";
    }

    void sameNumbersAsTheWindow()
    {
        QFETCH(QString, file);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, offset);
        const QString path = QDir(QStringLiteral(TENSO_EXAMPLES)).filePath(file);

        SharedState state;
        Form1 form(state);
        form.Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (auto [f, text] :
            {std::pair {Field::Text1, start}, {Field::Text3, end}, {Field::Text6, offset}}) {
            form.FieldWidget(f)->selectAll();
            QTest::keyClicks(form.FieldWidget(f), text);
        }

        // Browse: type the file's full path into the dialog's name field and press Enter.
        bool chosen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("txtOpenSave"));
            name->selectAll();
            QTest::keyClicks(name, path);
            QTest::keyClick(name, Qt::Key_Return);
            chosen = true;
        });
        QTest::mouseClick(form.ButtonWidget(Button::Command2), Qt::LeftButton);
        QVERIFY(chosen);
        QCOMPARE(QString::fromStdString(state.DataFileName), QFileInfo(path).absoluteFilePath());

        // A rejected range shows "Choice the proper steps": answer every box as it comes.
        QTimer boxes;
        QObject::connect(&boxes, &QTimer::timeout, this, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        boxes.start(20);

        QTest::mouseClick(form.ButtonWidget(Command3(0)), Qt::LeftButton);
        QTest::mouseClick(form.ButtonWidget(Command1(0)), Qt::LeftButton);
        const std::array<std::string, 5> tangent = {form.Text(Field::Text7), form.Text(Field::Text8),
            form.Text(Field::Text16), form.Text(Field::Text9), form.Text(Field::Text15)};
        QTest::mouseClick(form.ButtonWidget(Command1(1)), Qt::LeftButton);
        const std::array<std::string, 5> secant = {form.Text(Field::Text7), form.Text(Field::Text8),
            form.Text(Field::Text16), form.Text(Field::Text9), form.Text(Field::Text15)};

        const QJsonObject e = evaluate({QStringLiteral("--start"), start, QStringLiteral("--end"), end,
            QStringLiteral("--offset"), offset, path});
        QVERIFY(e["error"].isNull());
        QCOMPARE(e["scale"].toObject()["x_max"].toDouble(),
            QString::fromStdString(form.Text(Text12(0))).toDouble());
        QCOMPARE(e["scale"].toObject()["y_max"].toDouble(),
            QString::fromStdString(form.Text(Text12(1))).toDouble());
        const char* keys[]
            = {"elastic_modulus", "offset_strength", "offset_strength_at", "max_strength", "yield_strength"};
        for (size_t k = 0; k < 5; ++k) {
            QCOMPARE(e["tangent"].toObject()[keys[k]], shown(tangent[k]));
            QCOMPARE(e["secant"].toObject()[keys[k]], shown(secant[k]));
        }
    }
};

}  // namespace tenso

QTEST_MAIN(tenso::WindowMatchesEval)
#include "window_matches_eval_test.moc"
