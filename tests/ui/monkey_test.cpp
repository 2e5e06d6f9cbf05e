// A monkey test of the real main window (offscreen): thousands of random user actions, typed texts
// of every kind, Browse with the file dialog answered by random choices, data files that change on
// disk between Browse and Draw. After every action the window must have come back, no window may be
// left open, no message but the program's own may have shown, and neither a field written by the
// program nor the shared state may hold an infinity or a NaN.
//
// TENSO_MONKEY_SEED and TENSO_MONKEY_ACTIONS choose the run; every failure names the seed.

#include "frm_open_save_dialog.h"
#include "monkey_support.h"
#include "monkey_texts.h"
#include "open_save_temp_tree.h"
#include "open_save_volumes.h"
#include "plot_widget.h"
#include "ui/form1.h"

#include "state/shared_state.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <system_error>

#include <sys/stat.h>

namespace tenso {
namespace {

using test::IsShownNumber;
using test::KeyboardTypable;
using test::Repeated;
using test::TextFor;
using test::UnexpectedBox;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

uint64_t environmentNumber(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// ---- Widgets ----

void doubleClickRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

bool isInside(const std::string& path, const std::string& folder)
{
    return path == folder
        || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
            && path[folder.size()] == '/');
}

constexpr Field programNumberFields[]
    = {Field::Text7, Field::Text8, Field::Text9, Field::Text15, Field::Text16, Text12(0), Text12(1)};

constexpr Button clickable[]
    = {Button::Command2, Command3(0), Command3(1), Command1(0), Command1(1), Command5(0), Command5(1)};
constexpr unsigned clickWeights[] = {5, 8, 4, 6, 5, 2, 2};

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private:
    // One run: the folder of data files (the process's current folder), a started window, and the
    // responder that answers every modal window while an action waits for it.
    uint64_t seed_ = 0;
    std::unique_ptr<test::Rng> rng_;
    std::unique_ptr<test::TempTree> tree_;
    std::map<std::string, std::string> contents_;  // name in the folder -> bytes as written
    std::set<std::string> changed_;  // files the monkey has changed on disk
    std::string rootVolume_;
    std::unique_ptr<SharedState> state_;
    std::unique_ptr<Form1> form_;
    std::array<QString, FieldCount> typed_ {};
    test::ActionLog log_;
    QStringList failures_;
    QTimer pulse_;
    bool responsePosted_ = false;
    bool insideClick_ = false;
    QPointer<QMessageBox> lastBox_;
    int boxAnswers_ = 0;
    QPointer<FrmOpenSave> lastDialog_;
    int dialogSteps_ = 0;
    bool dialogSeen_ = false;
    std::map<QString, int> messages_;
    std::map<std::string, int> counts_;

    void note(const QString& what) { log_.Add(what.left(160).toStdString()); }
    void count(const std::string& what) { ++counts_[what]; }
    void fail(const QString& what)
    {
        note("FAILURE: " + what);
        failures_ << what;
    }
    QString context() const
    {
        return QString("seed %1 (TENSO_MONKEY_SEED=%1 reproduces the run); the last actions:\n%2")
            .arg(seed_)
            .arg(QString::fromStdString(log_.Recent()));
    }

    void start(uint64_t seed)
    {
        seed_ = seed;
        rng_ = std::make_unique<test::Rng>(seed);
        tree_ = std::make_unique<test::TempTree>();
        contents_.clear();
        changed_.clear();
        for (const test::DataFileRecipe& recipe : test::MonkeyDataFiles(seed)) {
            tree_->file(recipe.name, recipe.content);
            contents_[recipe.name] = recipe.content;
        }
        // Names that list as no file, or that lead nowhere: a folder, a FIFO, links to a device and
        // to nothing.
        tree_->folder("folder.dat");
        ::mkfifo(tree_->path("pipe.dat").c_str(), 0600);
        std::filesystem::create_symlink("/dev/zero", tree_->path("zero.dat"));
        std::filesystem::create_symlink(tree_->path("gone/nothing.dat"), tree_->path("dangling.dat"));
        rootVolume_ = VolumeOf(tree_->root(), MountedVolumes());
        state_ = std::make_unique<SharedState>();
        form_ = std::make_unique<Form1>(*state_);
        form_->Load();
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        for (int i = 0; i < FieldCount; ++i)
            typed_[static_cast<size_t>(i)] = form_->FieldWidget(static_cast<Field>(i))->text();
        log_.Clear();
        failures_.clear();
        messages_.clear();
        counts_.clear();
        dialogSeen_ = false;
        // The responder runs from whatever event loop is running: a message box's, the dialog's, or
        // Draw's letting events run. It is posted rather than run from the timer, so that a modal
        // window that its own action opens gets answered too.
        connect(&pulse_, &QTimer::timeout, this, [this] {
            if (responsePosted_)
                return;
            responsePosted_ = true;
            QMetaObject::invokeMethod(
                this, [this] { respond(); }, Qt::QueuedConnection);
        });
        pulse_.start(1);
    }

    void stop()
    {
        pulse_.stop();
        pulse_.disconnect();
        QCoreApplication::processEvents();  // the last posted response, with nothing left to answer
        form_.reset();
        state_.reset();
        tree_.reset();
    }

    // ---- The responder ----

    void respond()
    {
        responsePosted_ = false;
        if (!form_)
            return;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (form_->Ended())
            fail("a window opened after the end of the run: " + modal->windowTitle());
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            answer(*box);
        else if (auto* dialog = qobject_cast<FrmOpenSave*>(modal))
            dialogStep(*dialog);
        else {
            fail(QString("an unexpected modal window %1 \"%2\"")
                     .arg(modal->metaObject()->className(), modal->windowTitle()));
            modal->close();
        }
    }

    // Queues a user's action for the moment the running handler lets events run; it is dropped when
    // it comes anywhere else (outside a click, or under a modal window, which takes all input).
    void postDuringHandler(std::function<void()> action)
    {
        QMetaObject::invokeMethod(
            this,
            [this, action] {
                if (form_ && insideClick_ && !QApplication::activeModalWidget())
                    action();
            },
            Qt::QueuedConnection);
    }

    // A user clicking and typing while Draw lets events run.
    void actWhileHandlerRuns()
    {
        count("actions while a handler runs");
        if (rng_->Chance(10)) {
            changeDisk();
        } else if (rng_->Chance(50)) {
            const Button b = rng_->Pick(clickable);
            note(QString("  (during the handler) click %1").arg(ControlName(b)));
            form_->ButtonWidget(b)->click();
        } else {
            typeIntoField(true);
        }
    }

    void answer(QMessageBox& box)
    {
        if (lastBox_ != &box) {
            lastBox_ = &box;
            boxAnswers_ = 0;
            note(QString("  box \"%1\": %2").arg(box.windowTitle(), box.text()));
            ++messages_[box.text().left(100)];
            const QString wrong = UnexpectedBox(box);
            if (!wrong.isEmpty())
                fail(QString("message box \"%1\" / \"%2\": %3").arg(box.windowTitle(), box.text(), wrong));
        }
        if (++boxAnswers_ > 3) {
            fail("a message box does not close: " + box.text());
            box.done(0);
            return;
        }
        switch (rng_->Below(4)) {
        case 0:
            if (QAbstractButton* ok = box.button(QMessageBox::Ok))
                ok->click();
            break;
        case 1:
            QTest::keyClick(&box, Qt::Key_Escape);
            break;
        case 2:
            QTest::keyClick(&box, Qt::Key_Return);
            break;
        default:
            box.close();
            break;
        }
    }

    // ---- The file dialog ----

    void dialogStep(FrmOpenSave& d)
    {
        if (lastDialog_ != &d) {
            lastDialog_ = &d;
            dialogSteps_ = 0;
            dialogSeen_ = true;
            count("dialogs");
        }
        count("dialog steps");
        // Files are chosen in the monkey's folder only; what lies elsewhere is not the test's.
        const bool inside = isInside(d.Model().FileFolder(), tree_->root());
        auto* txt = d.findChild<QLineEdit*>("txtOpenSave");
        auto* files = d.findChild<QListWidget*>("filOpenSave");
        auto* folders = d.findChild<QListWidget*>("dirOpenSave");
        if (++dialogSteps_ > 12) {
            closeDialog(d);
            return;
        }
        switch (rng_->Below(16)) {
        case 0:
        case 1:
        case 2:
        case 3:
            typeName(*txt, inside);
            break;
        case 4:
            note("  dialog: OK");
            QTest::mouseClick(d.findChild<QPushButton*>("cmdOpenSave(0)"), Qt::LeftButton);
            break;
        case 5:
            if (inside && files->count() > 0) {
                const int row = static_cast<int>(rng_->Below(static_cast<size_t>(files->count())));
                note("  dialog: select " + files->item(row)->text());
                files->scrollToItem(files->item(row));
                QTest::mouseClick(
                    files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(row)).center());
            }
            break;
        case 6:
        case 7:
            if (inside && files->count() > 0) {
                const int row = static_cast<int>(rng_->Below(static_cast<size_t>(files->count())));
                note("  dialog: double-click " + files->item(row)->text());
                doubleClickRow(files, row);
            }
            break;
        case 8:
        case 9: {
            // Folders of the monkey's folder and the folders above it (which only list).
            std::vector<int> rows;
            const auto& entries = d.Model().Folders();
            for (size_t i = 0; i < entries.size(); ++i)
                if (isInside(entries[i].path, tree_->root()) || isInside(tree_->root(), entries[i].path))
                    rows.push_back(static_cast<int>(i));
            if (!rows.empty()) {
                const int row = rng_->Pick(rows);
                note("  dialog: open folder " + folders->item(row)->text());
                doubleClickRow(folders, row);
            }
            break;
        }
        case 14:
            // The file goes away (or turns into something else) after it was listed.
            if (inside && files->count() > 0 && rng_->Chance(40)) {
                const int row = static_cast<int>(rng_->Below(static_cast<size_t>(files->count())));
                const std::string name = std::filesystem::relative(
                    JoinPath(d.Model().FileFolder(), files->item(row)->text().toStdString()), tree_->root())
                                             .string();
                if (contents_.count(name)) {
                    replaceOnDisk(name);
                    note("  dialog: double-click " + files->item(row)->text());
                    doubleClickRow(files, row);
                }
                break;
            }
            closeDialog(d);
            break;
        case 10:
            if (inside) {
                note("  dialog: arrow key in the file list");
                QTest::keyClick(files, rng_->Chance(70) ? Qt::Key_Down : Qt::Key_Up);
            }
            break;
        case 11: {
            auto* drives = d.findChild<QComboBox*>("drvOpenSave");
            const int index = drives->findText(QString::fromStdString(rootVolume_));
            if (index >= 0) {
                note("  dialog: pick drive " + drives->itemText(index));
                Q_EMIT drives->activated(index);
            }
            break;
        }
        case 12:
            note("  dialog: Enter");
            QTest::keyClick(txt, Qt::Key_Return);
            break;
        default:
            closeDialog(d);
            break;
        }
    }

    void typeName(QLineEdit& txt, bool inside)
    {
        const QString root = QString::fromStdString(tree_->root());
        // Names that are safe to request wherever the lists stand: absolute paths into the monkey's
        // folder, folders, patterns, and names that exist nowhere.
        const QStringList anywhere
            = {"..", "../", "/", root, root + "/", root + "/steel.dat", root + "/sub/inner.dat",
                root + "/nothere/x.dat", root + "/sub/*.dat", "*.csv", "*.*", "*.dat;*.csv", "*.prn", "*.dat",
                "", " ", "nothere-monkey-0.dat", Repeated(300, 'a') + ".dat", Repeated(5000, 'b'), "a\tb",
                "*", "?", "[", "\\", root + "/folder.dat", root + "/garbage.dat", "/dev/zero", "/dev/null"};
        QStringList names = anywhere;
        if (inside) {
            for (const auto& [name, content] : contents_)
                names << QString::fromStdString(name);
            names << "pipe.dat"
                  << "zero.dat"
                  << "dangling.dat"
                  << "STEEL.DAT"
                  << "sub"
                  << "sub/"
                  << "sub/deeper/"
                  << "."
                  << "folder.dat"
                  << "steel.dat "
                  << "sub/*.dat"
                  << "nothere/*.dat"
                  << "nothere.dat" << QString::fromLatin1("\x01.dat");
        }
        const QString name = rng_->Pick(names);
        note("  dialog: type \"" + name + "\"");
        txt.selectAll();
        if (KeyboardTypable(name) && !name.isEmpty())
            QTest::keyClicks(&txt, name);
        else
            txt.insert(name);
        if (rng_->Chance(50)) {
            note("  dialog: Enter");
            QTest::keyClick(&txt, Qt::Key_Return);
        }
    }

    void closeDialog(FrmOpenSave& d)
    {
        switch (rng_->Below(3)) {
        case 0:
            note("  dialog: Cancel");
            QTest::mouseClick(d.findChild<QPushButton*>("cmdOpenSave(1)"), Qt::LeftButton);
            break;
        case 1:
            note("  dialog: Escape");
            QTest::keyClick(&d, Qt::Key_Escape);
            break;
        default:
            note("  dialog: close");
            d.close();
            break;
        }
    }

    // ---- The main window ----

    void clickButton()
    {
        size_t roll = rng_->Below(32);
        size_t i = 0;
        while (roll >= clickWeights[i])
            roll -= clickWeights[i++];
        const Button b = clickable[i];
        QPushButton* button = form_->ButtonWidget(b);
        const bool byMouse = rng_->Chance(30);
        note(QString("click %1%2%3")
                 .arg(ControlName(b), byMouse ? " by mouse" : "", button->isEnabled() ? "" : " (disabled)"));
        count(std::string("click ") + ControlName(b));
        const std::string before = state_->DataFileName;
        if ((b == Command3(0) || b == Command3(1)) && button->isEnabled() && rng_->Chance(30))
            for (size_t n = 1 + rng_->Below(3); n > 0; --n)
                postDuringHandler([this] { actWhileHandlerRuns(); });
        insideClick_ = true;
        if (byMouse)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            button->click();
        insideClick_ = false;
        if (b == Button::Command2 && state_->DataFileName != before) {
            count("files chosen");
            checkPreview();
        }
        if (b == Command1(0) && !form_->Text(Field::Text7).empty() && !form_->Text(Field::Text8).empty())
            count("tangent results");
    }

    // The preview of a chosen file that the monkey has not changed starts with its first line.
    void checkPreview()
    {
        const std::string prefix = tree_->root() + "/";
        if (!isInside(state_->DataFileName, tree_->root()))
            return;
        const std::string name = state_->DataFileName.substr(prefix.size());
        const auto file = contents_.find(name);
        if (file == contents_.end() || changed_.count(name) || file->second.rfind("TENSILE TEST", 0) != 0)
            return;
        if (form_->Text(Text11(0)) != "TENSILE TEST")
            fail(QString("the preview of %1 shows \"%2\"")
                     .arg(QString::fromStdString(name), QString::fromStdString(form_->Text(Text11(0)))));
    }

    void typeIntoField(bool duringHandler = false)
    {
        // Mostly the enabled fields; now and then a disabled one, whose text must not change.
        static constexpr Field editable[] = {Field::Text1, Field::Text3, Field::Text4, Field::Text5,
            Field::Text6, Field::Text10, Field::Text13, Field::Text14, Text12(0), Text12(1), Field::Text7,
            Field::Text8, Field::Text9, Field::Text15, Field::Text16};
        const Field f = rng_->Chance(97) ? rng_->Pick(editable)
                                         : static_cast<Field>(static_cast<int>(Text2(0)) + rng_->Below(7));
        QLineEdit* edit = form_->FieldWidget(f);
        const QString text = TextFor(f, *rng_);
        const size_t mode = rng_->Below(4);
        note(QString("%1type into %2 (%3): \"%4\"")
                 .arg(duringHandler ? "  (during the handler) " : "", ControlName(f),
                     QStringList {
                         "replace by keys", "paste", "append by keys", "clear"}[static_cast<int>(mode)],
                     text.left(60)));
        count("typing");
        if (mode == 3 || (mode != 1 && !KeyboardTypable(text))) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
        }
        if (mode == 0 && KeyboardTypable(text)) {
            edit->selectAll();
            QTest::keyClicks(edit, text);
        } else if (mode == 1 || (mode == 0 && !KeyboardTypable(text))) {
            if (edit->isEnabled()) {
                edit->selectAll();
                edit->insert(text);  // as a paste does
            }
        } else if (mode == 2 && KeyboardTypable(text)) {
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClicks(edit, text);
        }
        if (edit->isEnabled())
            typed_[static_cast<size_t>(f)] = edit->text();
    }

    void editKeys()
    {
        static constexpr Field fields[] = {Field::Text1, Field::Text3, Field::Text6, Field::Text10, Text12(0),
            Text12(1), Field::Text13, Field::Text4};
        const Field f = rng_->Pick(fields);
        QLineEdit* edit = form_->FieldWidget(f);
        const Qt::Key key = rng_->Pick(std::array {
            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right});
        const int times = 1 + static_cast<int>(rng_->Below(4));
        note(QString("key %1 x%2 in %3").arg(int(key), 0, 16).arg(times).arg(ControlName(f)));
        for (int i = 0; i < times; ++i)
            QTest::keyClick(edit, key);
        typed_[static_cast<size_t>(f)] = edit->text();
    }

    // The window's defaults typed back, so that the evaluation runs through now and then.
    void typeDefaults()
    {
        note("type the defaults");
        count("defaults typed");
        const std::pair<Field, const char*> defaults[] = {{Field::Text4, "1"}, {Field::Text5, "2"},
            {Field::Text10, "5"}, {Field::Text13, "1"}, {Field::Text14, "1"}, {Field::Text1, "20"},
            {Field::Text3, "60"}, {Field::Text6, "2000"}, {Text12(0), ""}, {Text12(1), ""}};
        for (const auto& [f, text] : defaults) {
            QLineEdit* edit = form_->FieldWidget(f);
            edit->selectAll();
            edit->insert(QString::fromLatin1(text));
            typed_[static_cast<size_t>(f)] = edit->text();
        }
    }

    void keyboard()
    {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus->window() != form_.get()) {
            // The window lost the focus to a closed dialog: the user clicks into a field again.
            form_->activateWindow();
            focus = form_->FieldWidget(Field::Text1);
            focus->setFocus();
        }
        Qt::Key key = rng_->Pick(
            std::array {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return});
        if (focus == form_->ButtonWidget(Button::Command4))
            key = Qt::Key_Tab;  // Exit would end the run; exitEndsTheRun tests it
        note(QString("key %1 on %2").arg(int(key), 0, 16).arg(focus->objectName()));
        insideClick_ = true;
        QTest::keyClick(focus, key);
        insideClick_ = false;
        if (auto* edit = qobject_cast<QLineEdit*>(focus))
            for (int i = 0; i < FieldCount; ++i)
                if (form_->FieldWidget(static_cast<Field>(i)) == edit)
                    typed_[static_cast<size_t>(i)] = edit->text();
    }

    // A data file deleted, emptied, replaced by a folder or written again, between any two actions.
    void changeDisk()
    {
        std::vector<std::string> names;
        for (const auto& [name, content] : contents_)
            names.push_back(name);
        const std::string name = rng_->Pick(names);
        const std::filesystem::path path = tree_->path(name);
        std::error_code ec;
        count("disk changes");
        if (!std::filesystem::is_regular_file(path, ec) || changed_.count(name)) {
            note(QString::fromStdString("disk: write " + name + " again"));
            std::filesystem::remove_all(path, ec);
            tree_->file(name, contents_[name]);
            changed_.erase(name);
            return;
        }
        replaceOnDisk(name);
    }

    // The file `name` of the monkey's folder deleted, emptied, or replaced by a folder or a FIFO.
    void replaceOnDisk(const std::string& name)
    {
        const std::filesystem::path path = tree_->path(name);
        std::error_code ec;
        changed_.insert(name);
        switch (rng_->Below(4)) {
        case 0:
            note(QString::fromStdString("disk: delete " + name));
            std::filesystem::remove_all(path, ec);
            break;
        case 1:
            note(QString::fromStdString("disk: empty " + name));
            std::filesystem::remove_all(path, ec);
            tree_->file(name, "");
            break;
        case 2:
            note(QString::fromStdString("disk: a folder in place of " + name));
            std::filesystem::remove_all(path, ec);
            std::filesystem::create_directory(path, ec);
            break;
        default:
            note(QString::fromStdString("disk: a FIFO in place of " + name));
            std::filesystem::remove_all(path, ec);
            ::mkfifo(path.c_str(), 0600);
            break;
        }
    }

    void act()
    {
        const size_t roll = rng_->Below(100);
        if (roll < 34)
            clickButton();
        else if (roll < 80)
            typeIntoField();
        else if (roll < 86)
            editKeys();
        else if (roll < 90)
            typeDefaults();
        else if (roll < 93)
            changeDisk();
        else
            keyboard();
    }

    // ---- Checks after every action ----

    void checkState()
    {
        const SharedState& s = *state_;
        const std::pair<const char*, float> singles[] = {{"XMax", s.XMax}, {"YMax", s.YMax},
            {"XAtYMax", s.XAtYMax}, {"ScaleXMax", s.ScaleXMax}, {"ScaleYMax", s.ScaleYMax},
            {"ScaleXMin", s.ScaleXMin}, {"ScaleYMin", s.ScaleYMin}, {"CalcStart", s.CalcStart},
            {"CalcEnd", s.CalcEnd}, {"OffsetValue", s.OffsetValue}, {"PointCount", s.PointCount},
            {"Modulus", s.Modulus}, {"OffsetLineY", s.OffsetLineY}, {"XCoefficient", s.XCoefficient},
            {"YCoefficient", s.YCoefficient}, {"MarkerRadius", s.MarkerRadius}};
        for (const auto& [name, value] : singles)
            if (!std::isfinite(value))
                fail(QString("%1 is %2").arg(name).arg(double(value)));
        for (size_t i = 0; i < s.XData.size(); ++i)
            if (!std::isfinite(s.XData[i]) || !std::isfinite(s.YData[i]))
                fail(QString("record %1 is (%2, %3)").arg(i).arg(double(s.XData[i])).arg(double(s.YData[i])));
        for (size_t k = 0; k < s.ValleyX.size(); ++k)
            if (!std::isfinite(s.ValleyX[k]) || !std::isfinite(s.ValleyY[k]))
                fail(QString("valley %1 is not finite").arg(k));
        if (s.ValleyCount < 0 || s.ValleyCount > MaxValleys || s.ValleyIndex < 0
            || s.ValleyIndex > MaxValleys)
            fail(QString("valley count %1, index %2").arg(s.ValleyCount).arg(s.ValleyIndex));
        if (s.SkipLines < 0)
            fail(QString("SkipLines %1").arg(s.SkipLines));
    }

    void checkWindow()
    {
        if (QWidget* modal = QApplication::activeModalWidget())
            fail("a modal window stayed open: " + modal->windowTitle());
        for (Field f : programNumberFields) {
            const QString text = form_->FieldWidget(f)->text();
            if (text != typed_[static_cast<size_t>(f)] && !text.isEmpty() && !IsShownNumber(text))
                fail(QString("%1 shows \"%2\"").arg(ControlName(f), text.left(80)));
        }
        const std::string fileName = form_->Text(Text2(0));
        if (!fileName.empty() && fileName != state_->DataFileName)
            fail(QString("Text2(0) shows \"%1\" for the file \"%2\"")
                     .arg(QString::fromStdString(fileName), QString::fromStdString(state_->DataFileName)));
        for (int k = 0; k < PreviewLines; ++k)
            if (form_->FieldWidget(Text11(k))->text().size() > 1024)
                fail(QString("Text11(%1) holds more than a line's first 1024 bytes").arg(k));
        for (Field f : {Text2(0), Text11(0), Text11(5)})
            if (form_->FieldWidget(f)->isEnabled())
                fail(QString("%1 is enabled").arg(ControlName(f)));
        if (dialogSeen_)
            for (Button b : {Command1(0), Command1(1), Command3(0), Command3(1)})
                if (!form_->ButtonWidget(b)->isEnabled())
                    fail(QString("%1 is disabled after Browse").arg(ControlName(b)));
    }

    // Runs `actions` random actions with a watchdog on each; stops at the first failure.
    void runActions(int actions, test::Watchdog& watchdog)
    {
        for (int k = 0; k < actions && failures_.isEmpty(); ++k) {
            watchdog.Arm(context().toStdString());
            act();
            watchdog.Disarm();
            checkWindow();
            checkState();
        }
    }

    void report(qint64 ms) const
    {
        QString text = QString("seed %1: %2 ms\n").arg(seed_).arg(ms);
        for (const auto& [what, n] : counts_)
            text += QString("  %1: %2\n").arg(QString::fromStdString(what)).arg(n);
        text += "  message boxes:\n";
        for (const auto& [message, n] : messages_)
            text += QString("    %1 x %2\n").arg(n, 5).arg(message);
        qInfo().noquote() << text;
    }

    // The test framework cuts long failure texts; the whole story goes to the log first.
    static void expectNoFailures(const QString& failures, const QString& where)
    {
        if (!failures.isEmpty())
            qWarning().noquote() << failures + "\n" + where;
        QVERIFY2(failures.isEmpty(), qPrintable(failures.left(300) + " (seed and actions above)"));
    }

    struct Snapshot {
        std::string file;
        int16_t scanned, columns, valleys, valley;
        float points, modulus, xMax, yMax, scaleX, scaleY;
        std::array<float, MaxRecords + 1> x, y;
        QImage plot;
        std::array<QString, FieldCount> texts;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() const
    {
        const SharedState& s = *state_;
        Snapshot shot {s.DataFileName, s.FileScanned, s.ColumnCount, s.ValleyCount, s.ValleyIndex,
            s.PointCount, s.Modulus, s.XMax, s.YMax, s.ScaleXMax, s.ScaleYMax, s.XData, s.YData,
            form_->PictureWidget()->Drawing().Image(), {}};
        for (int i = 0; i < FieldCount; ++i)
            shot.texts[static_cast<size_t>(i)] = form_->FieldWidget(static_cast<Field>(i))->text();
        return shot;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The offscreen platform warns at every dialog that it cannot propagate size hints; thousands
        // of those would drown the test's own report.
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& where, const QString& text) {
                if (!text.contains(QLatin1String("propagateSizeHints")))
                    previous(type, where, text);
            });
    }

    void randomActions()
    {
        const uint64_t seed = environmentNumber("TENSO_MONKEY_SEED", 20240814);
        const int actions
            = static_cast<int>(environmentNumber("TENSO_MONKEY_ACTIONS", Sanitized ? 1500 : 5000));
        qInfo("monkey: seed %llu, %d actions", static_cast<unsigned long long>(seed), actions);
        QElapsedTimer clock;
        clock.start();
        start(seed);
        test::Watchdog watchdog(std::chrono::seconds(Sanitized ? 180 : 60));
        runActions(actions, watchdog);
        report(clock.elapsed());
        if (form_->Ended())
            fail("the run ended before its last action");
        const QString failures = failures_.join("\n");
        const QString where = context();
        stop();
        expectNoFailures(failures, where);
    }

    // Exit, or closing the window, ends the run wherever it comes: after random actions, or while
    // Draw lets events run. Then nothing starts any more: no click changes the state, the fields or
    // the plot, and no window opens.
    void exitEndsTheRun_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<quint64>("seed");
        for (quint64 seed : {1u, 2u, 3u}) {
            QTest::newRow(qPrintable(QString("Exit, seed %1").arg(seed))) << 0 << seed;
            QTest::newRow(qPrintable(QString("Exit while Draw lets events run, seed %1").arg(seed)))
                << 1 << seed;
            QTest::newRow(qPrintable(QString("window closed, seed %1").arg(seed))) << 2 << seed;
        }
    }
    void exitEndsTheRun()
    {
        QFETCH(int, way);
        QFETCH(quint64, seed);
        start(seed);
        test::Watchdog watchdog(std::chrono::seconds(Sanitized ? 180 : 60));
        runActions(60, watchdog);

        bool exitRan = way != 1;
        watchdog.Arm(context().toStdString());
        if (way == 0) {
            note("click Exit");
            QTest::mouseClick(form_->ButtonWidget(Button::Command4), Qt::LeftButton);
        } else if (way == 1) {
            form_->Enable(Command3(0));  // as a Browse would have
            postDuringHandler([this, &exitRan] {
                note("  (during the handler) click Exit");
                form_->ButtonWidget(Button::Command4)->click();
                exitRan = true;
            });
            note("click Draw");
            insideClick_ = true;
            form_->ButtonWidget(Command3(0))->click();
            insideClick_ = false;
        } else {
            note("close the window");
            form_->close();
        }
        watchdog.Disarm();
        const bool ended = form_->Ended();
        const bool visible = form_->isVisible();

        const Snapshot before = snapshot();
        for (int k = 0; k < 40 && failures_.isEmpty(); ++k) {
            watchdog.Arm(context().toStdString());
            const Button b = rng_->Chance(80) ? rng_->Pick(clickable) : Button::Command4;
            note(QString("after the end: click %1").arg(ControlName(b)));
            insideClick_ = true;
            form_->ButtonWidget(b)->click();
            insideClick_ = false;
            QCoreApplication::processEvents();
            watchdog.Disarm();
        }
        const bool unchanged = snapshot() == before;
        const QString failures = failures_.join("\n");
        const QString where = context();
        stop();
        QVERIFY2(exitRan, "Draw never let events run");
        QVERIFY(ended);
        QVERIFY(!visible);
        if (!unchanged)
            qWarning().noquote() << where;
        QVERIFY2(unchanged, "a click after the end changed the window or the state");
        expectNoFailures(failures, where);
    }
};

}  // namespace tenso

QTEST_MAIN(tenso::MonkeyTest)
#include "monkey_test.moc"
