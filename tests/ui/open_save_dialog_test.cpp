#include "frm_open_save.h"
#include "frm_open_save_dialog.h"
#include "open_save_temp_tree.h"
#include "support/fake_window.h"
#include "ui/browse.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>

namespace tenso {

class OpenSaveDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempTree> tree;
    std::unique_ptr<test::Form> form;
    bool leftOpen = false;

    // Queues the actions for when the modal dialog shows, then opens it as Browse does and returns
    // when it has closed. A dialog that the actions leave open is cancelled and noted in leftOpen.
    void browse(const std::function<void(FrmOpenSave&)>& actions)
    {
        leftOpen = false;
        QTimer::singleShot(0, this, [this, actions] {
            auto* dialog = qobject_cast<FrmOpenSave*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            actions(*dialog);
            if (dialog->isVisible()) {
                leftOpen = true;
                dialog->reject();
            }
        });
        ShowOpenSaveDialog(nullptr, form->state, form->window, "Data File Open", "*.dat");
    }

    template <class T> static T* child(FrmOpenSave& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

    // A double-click as the window system delivers it: a click, then the double-click event (which
    // is all QTest::mouseDClick sends).
    static void doubleClick(QWidget* viewport, QPoint at)
    {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    }

private Q_SLOTS:
    void init()
    {
        tree = std::make_unique<test::TempTree>();
        tree->file("b.dat", "b1\r\nb2\r\nb3\r\nb4\r\nb5\r\nb6\r\nb7\r\n");
        tree->file("c.csv", "c1\r\n");
        tree->file("sub/d.dat", "d1\r\n");
        form = std::make_unique<test::Form>();
        form->state.DataFileName = "earlier.dat";
    }
    void cleanup()
    {
        form.reset();
        tree.reset();
    }

    // The table's twips divided by 15.
    void controlsStandAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::newRow("lblOpenSave(0)") << "lblOpenSave(0)" << QRect(8, 8, 97, 21);
        QTest::newRow("lblOpenSave(1)") << "lblOpenSave(1)" << QRect(152, 48, 97, 21);
        QTest::newRow("lblOpenSave(2)") << "lblOpenSave(2)" << QRect(152, 32, 225, 21);
        QTest::newRow("lblOpenSave(3)") << "lblOpenSave(3)" << QRect(152, 8, 97, 17);
        QTest::newRow("filOpenSave") << "filOpenSave" << QRect(8, 48, 137, 188);
        QTest::newRow("dirOpenSave") << "dirOpenSave" << QRect(152, 64, 225, 152);
        QTest::newRow("txtOpenSave") << "txtOpenSave" << QRect(8, 24, 137, 21);
        QTest::newRow("drvOpenSave") << "drvOpenSave" << QRect(152, 24, 225, 21);
        QTest::newRow("cmdOpenSave(0)") << "cmdOpenSave(0)" << QRect(176, 224, 73, 25);
        QTest::newRow("cmdOpenSave(1)") << "cmdOpenSave(1)" << QRect(280, 224, 73, 25);
    }
    void controlsStandAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        FrmOpenSave dialog(form->state, form->window);
        QWidget* widget = dialog.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), place);
        QCOMPARE(widget->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(widget->font().pointSizeF(), name == "lblOpenSave(2)" ? 9.0 : 9.75);
    }

    void opensWithThePatternSelectedAndOkDisabled()
    {
        browse([this](FrmOpenSave& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Data File Open"));
            QCOMPARE(d.size(), QSize(384, 254));
            QCOMPARE(d.minimumSize(), d.maximumSize());
            QVERIFY(!(d.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QCOMPARE(d.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
            auto* txt = child<QLineEdit>(d, "txtOpenSave");
            QCOMPARE(txt->text(), QStringLiteral("*.dat"));
            QCOMPARE(txt->selectedText(), QStringLiteral("*.dat"));
            auto* ok = child<QPushButton>(d, "cmdOpenSave(0)");
            QVERIFY(ok->isDefault());
            QVERIFY(!ok->isEnabled());
            QCOMPARE(child<QPushButton>(d, "cmdOpenSave(1)")->text(), QStringLiteral("Cancel"));
            auto* fil = child<QListWidget>(d, "filOpenSave");
            QCOMPARE(fil->count(), 1);
            QCOMPARE(fil->item(0)->text(), QStringLiteral("b.dat"));
            // The volume that holds the temporary folder: "/" unless /tmp is a disk of its own.
            QCOMPARE(child<QComboBox>(d, "drvOpenSave")->currentText(),
                QString::fromStdString(VolumeOf(tree->root(), MountedVolumes())));
            QCOMPARE(child<QLabel>(d, "lblOpenSave(2)")->text(), QString::fromStdString(tree->root()));
            QCOMPARE(child<QListWidget>(d, "dirOpenSave")->currentItem()->text(),
                QString::fromStdString(std::filesystem::path(tree->root()).filename().string()));

            // The file list holds the focus, without selecting a file; Tab walks the table's order.
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QCOMPARE(QApplication::focusWidget(), fil);
            QCOMPARE(txt->text(), QStringLiteral("*.dat"));
            QVERIFY(!ok->isEnabled());
            const char* order[]
                = {"dirOpenSave", "txtOpenSave", "drvOpenSave", "cmdOpenSave(1)", "filOpenSave"};
            for (const char* name : order) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
            }
            QTest::keyClick(fil, Qt::Key_Escape);
        });
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, std::string("earlier.dat"));
    }

    void typedNameAndEnterChooseTheFile()
    {
        browse([](FrmOpenSave& d) {
            auto* txt = child<QLineEdit>(d, "txtOpenSave");
            QTest::keyClicks(txt, "b.dat");  // replaces the selected pattern
            QCOMPARE(txt->text(), QStringLiteral("b.dat"));
            QVERIFY(child<QPushButton>(d, "cmdOpenSave(0)")->isEnabled());
            QTest::keyClick(txt, Qt::Key_Return);
        });
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, tree->path("b.dat"));
        QCOMPARE(form->window.Text(Text11(0)), std::string("b1"));
        QCOMPARE(form->window.Text(Text11(5)), std::string("b6"));
    }

    void enterDoesNothingWhileOkIsDisabled()
    {
        bool openAfterEnter = false;
        browse([&](FrmOpenSave& d) {
            QTest::keyClick(child<QListWidget>(d, "filOpenSave"), Qt::Key_Return);
            QTest::keyClick(child<QLineEdit>(d, "txtOpenSave"), Qt::Key_Return);
            openAfterEnter = d.isVisible();
            QTest::keyClick(child<QLineEdit>(d, "txtOpenSave"), Qt::Key_Escape);
        });
        QVERIFY(openAfterEnter);
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, std::string("earlier.dat"));
    }

    void arrowKeySelectsAndDoubleClickChooses()
    {
        browse([](FrmOpenSave& d) {
            auto* fil = child<QListWidget>(d, "filOpenSave");
            QTest::keyClick(fil, Qt::Key_Down);
            QCOMPARE(child<QLineEdit>(d, "txtOpenSave")->text(), QStringLiteral("b.dat"));
            QVERIFY(child<QPushButton>(d, "cmdOpenSave(0)")->isEnabled());
            doubleClick(fil->viewport(), fil->visualItemRect(fil->item(0)).center());
            QTRY_VERIFY(!d.isVisible());  // the double-click is handled once the list has delivered it
        });
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, tree->path("b.dat"));
    }

    void missingFileShowsTheWarningAndTheDialogStays()
    {
        QString boxText, boxTitle;
        QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons boxButtons;
        bool openAfterBox = false;
        browse([&](FrmOpenSave& d) {
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                boxText = box->text();
                boxTitle = box->windowTitle();
                boxIcon = box->icon();
                boxButtons = box->standardButtons();
                box->button(QMessageBox::Ok)->click();
            });
            auto* txt = child<QLineEdit>(d, "txtOpenSave");
            QTest::keyClicks(txt, "nothere.dat");
            QTest::keyClick(txt, Qt::Key_Return);
            openAfterBox = d.isVisible();
            QCOMPARE(txt->text(), QStringLiteral("nothere.dat"));
            child<QPushButton>(d, "cmdOpenSave(1)")->click();
        });
        QCOMPARE(boxText, QStringLiteral("ファイルが存在しません。"));
        QCOMPARE(boxTitle, QStringLiteral("tenso"));
        QCOMPARE(boxIcon, QMessageBox::Warning);
        QCOMPARE(boxButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(openAfterBox);
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, std::string("earlier.dat"));
    }

    void folderDoubleClickMovesAndCancelKeepsTheFileName()
    {
        browse([this](FrmOpenSave& d) {
            auto* dir = child<QListWidget>(d, "dirOpenSave");
            const QList<QListWidgetItem*> found = dir->findItems("sub", Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            doubleClick(dir->viewport(), dir->visualItemRect(found.front()).center());
            QTRY_COMPARE(
                child<QLabel>(d, "lblOpenSave(2)")->text(), QString::fromStdString(tree->path("sub")));
            auto* fil = child<QListWidget>(d, "filOpenSave");
            QCOMPARE(fil->count(), 1);
            QCOMPARE(fil->item(0)->text(), QStringLiteral("d.dat"));
            QCOMPARE(dir->currentItem()->text(), QStringLiteral("sub"));
            child<QPushButton>(d, "cmdOpenSave(1)")->click();
        });
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, std::string("earlier.dat"));
        QCOMPARE(std::filesystem::current_path().string(), tree->path("sub"));
    }

    void closingByTheFrameIsCancel()
    {
        browse([](FrmOpenSave& d) {
            QTest::keyClicks(child<QLineEdit>(d, "txtOpenSave"), "b.dat");
            d.close();
        });
        QVERIFY(!leftOpen);
        QCOMPARE(form->state.DataFileName, std::string("earlier.dat"));
    }

    void browseThenCancelEnablesTheButtonsAndForgetsTheScan()
    {
        form->state.FileScanned = 1;
        form->window.SetText(Text2(0), "earlier.dat");
        form->window.onFileDialog = [this](std::string_view title, std::string_view pattern) {
            ShowOpenSaveDialog(nullptr, form->state, form->window, title, pattern);
        };
        QTimer::singleShot(0, this, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        Command2_Click(form->state, form->window);
        for (Button b : {Command1(0), Command1(1), Command3(0), Command3(1)})
            QVERIFY2(form->window.IsEnabled(b), ControlName(b));
        QCOMPARE(form->state.FileScanned, int16_t {0});
        QCOMPARE(form->window.Text(Text2(0)), std::string());
        QCOMPARE(form->state.DataFileName, std::string("earlier.dat"));
        QCOMPARE(form->picture.Commands().back().op, RecordingSurface::Op::Cls);
    }
};

}  // namespace tenso

QTEST_MAIN(tenso::OpenSaveDialogTest)
#include "open_save_dialog_test.moc"
