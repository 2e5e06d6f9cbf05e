#include "frm_open_save_dialog.h"

#include "app_icon.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tenso {
namespace {

// The layout is given in twips; 15 twips make one logical pixel.
QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QString text(const std::string& s) { return QString::fromStdString(s); }

// The file list shows no current file until the user picks one, as a classic list box does: taking
// the focus selects nothing, and the first arrow key then selects the first file.
class FileList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QListWidget::focusInEvent(event);
        if (selectedItems().isEmpty())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
};

// The folder list is a plain list whose entries are indented by their depth below the root.
constexpr int DepthRole = Qt::UserRole;
constexpr int IndentPerDepth = 12;

class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(index.data(DepthRole).toInt() * IndentPerDepth, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index)
            + QSize(index.data(DepthRole).toInt() * IndentPerDepth, 0);
    }
};

QFont dialogFont(double points)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

FrmOpenSave::FrmOpenSave(
    SharedState& s, Window& w, QWidget* parent, std::vector<std::string> volumes, DriveMemory& memory)
    : QDialog(parent)
    , model_(s, w, std::move(volumes), memory)
{
    showWarning = [this](const QString& message) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("tenso"), message, QMessageBox::Ok, this);
        box.exec();
    };
    model_.onWarning = [this](const std::string& message) {
        refresh();  // the box shows over the lists as the event has left them
        showWarning(text(message));
    };
    build();
    connectEvents();
    refresh();

    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
    }
}

void FrmOpenSave::SetTitle(std::string_view title)
{
    model_.SetTitle(title);
    refresh();
}

void FrmOpenSave::SetFileNameText(std::string_view fileName)
{
    run([&] { model_.SetText(fileName); });
    txtOpenSave_->selectAll();
}

void FrmOpenSave::reject()
{
    model_.Cancel();
    QDialog::reject();
}

void FrmOpenSave::build()
{
    setObjectName(QStringLiteral("frmOpenSave"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(384, 254);
    setWindowIcon(AppIcon());
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(grey);
    setAutoFillBackground(true);
    setFont(dialogFont(9.75));

    // Labels first: the controls created after them lie over them where they overlap.
    const struct {
        const char* caption = nullptr;
        QRect place;
    } labels[] = {
        {"File Name:", twips(120, 120, 1455, 315)},
        {"Folder:", twips(2280, 720, 1455, 315)},
        {"", twips(2280, 480, 3375, 315)},
        {"Drive:", twips(2280, 120, 1455, 255)},
    };
    for (size_t i = 0; i < lblOpenSave_.size(); ++i) {
        QLabel* label = new QLabel(QString::fromUtf8(labels[i].caption), this);
        label->setObjectName(QStringLiteral("lblOpenSave(%1)").arg(i));
        label->setGeometry(labels[i].place);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        lblOpenSave_[i] = label;
    }
    lblOpenSave_[2]->setFont(dialogFont(9));

    filOpenSave_ = new FileList(this);
    filOpenSave_->setObjectName(QStringLiteral("filOpenSave"));
    filOpenSave_->setGeometry(twips(120, 720, 2055, 2820));
    filOpenSave_->setSelectionMode(QAbstractItemView::SingleSelection);

    dirOpenSave_ = new QListWidget(this);
    dirOpenSave_->setObjectName(QStringLiteral("dirOpenSave"));
    dirOpenSave_->setGeometry(twips(2280, 960, 3375, 2280));
    dirOpenSave_->setItemDelegate(new IndentDelegate(dirOpenSave_));

    txtOpenSave_ = new QLineEdit(this);
    txtOpenSave_->setObjectName(QStringLiteral("txtOpenSave"));
    txtOpenSave_->setGeometry(twips(120, 360, 2055, 315));

    drvOpenSave_ = new QComboBox(this);
    drvOpenSave_->setObjectName(QStringLiteral("drvOpenSave"));
    drvOpenSave_->setGeometry(twips(2280, 360, 3375, 315));

    const char* captions[] = {"OK", "Cancel"};
    const QRect places[] = {twips(2640, 3360, 1095, 375), twips(4200, 3360, 1095, 375)};
    for (size_t i = 0; i < cmdOpenSave_.size(); ++i) {
        QPushButton* button = new QPushButton(QString::fromUtf8(captions[i]), this);
        button->setObjectName(QStringLiteral("cmdOpenSave(%1)").arg(i));
        button->setGeometry(places[i]);
        cmdOpenSave_[i] = button;
    }
    cmdOpenSave_[0]->setDefault(true);
    cmdOpenSave_[0]->setEnabled(false);

    setTabOrder(filOpenSave_, dirOpenSave_);
    setTabOrder(dirOpenSave_, txtOpenSave_);
    setTabOrder(txtOpenSave_, drvOpenSave_);
    setTabOrder(drvOpenSave_, cmdOpenSave_[0]);
    setTabOrder(cmdOpenSave_[0], cmdOpenSave_[1]);
    filOpenSave_->setFocus();
}

void FrmOpenSave::connectEvents()
{
    connect(drvOpenSave_, &QComboBox::activated, this,
        [this](int index) { run([&] { model_.PickDrive(static_cast<size_t>(index)); }); });

    // A double-click rebuilds the list it came from, so it is handled once the view has finished
    // delivering it.
    connect(dirOpenSave_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const auto index = static_cast<size_t>(dirOpenSave_->row(item));
        QMetaObject::invokeMethod(
            this, [this, index] { run([&] { model_.OpenFolder(index); }); }, Qt::QueuedConnection);
    });
    connect(filOpenSave_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const auto index = static_cast<size_t>(filOpenSave_->row(item));
        QMetaObject::invokeMethod(
            this, [this, index] { run([&] { model_.ChooseFile(index); }); }, Qt::QueuedConnection);
    });

    // A selection by the user, by mouse or arrow key; a click on the selected file counts again.
    const auto selectFile = [this](int row) {
        if (row >= 0)
            run([&] { model_.SelectFile(static_cast<size_t>(row)); });
    };
    connect(filOpenSave_, &QListWidget::itemSelectionChanged, this, [this, selectFile] {
        const QList<QListWidgetItem*> selected = filOpenSave_->selectedItems();
        if (!selected.isEmpty())
            selectFile(filOpenSave_->row(selected.front()));
    });
    connect(filOpenSave_, &QListWidget::itemClicked, this,
        [this, selectFile](QListWidgetItem* item) { selectFile(filOpenSave_->row(item)); });

    connect(txtOpenSave_, &QLineEdit::textEdited, this,
        [this](const QString& typed) { run([&] { model_.SetText(typed.toStdString()); }); });
    connect(cmdOpenSave_[0], &QPushButton::clicked, this, [this] { run([&] { model_.ClickOk(); }); });
    connect(cmdOpenSave_[1], &QPushButton::clicked, this, &FrmOpenSave::reject);
}

template <class Action> void FrmOpenSave::run(Action action)
{
    if (model_.Closed())
        return;
    action();
    refresh();
    if (model_.Closed())
        accept();
}

void FrmOpenSave::refresh()
{
    setWindowTitle(text(model_.Title()));
    showDrives();
    showFolders();
    showFiles();
    if (txtOpenSave_->text() != text(model_.Text()))
        txtOpenSave_->setText(text(model_.Text()));
    cmdOpenSave_[0]->setEnabled(model_.OkEnabled());
    lblOpenSave_[2]->setText(text(model_.FolderCaption()));
}

void FrmOpenSave::showDrives()
{
    const QSignalBlocker blocker(drvOpenSave_);
    const auto& drives = model_.Drives();
    if (drives != shownDrives_) {
        drvOpenSave_->clear();
        for (const std::string& drive : drives)
            drvOpenSave_->addItem(text(drive));
        shownDrives_ = drives;
    }
    const auto current = std::find(drives.begin(), drives.end(), model_.Drive());
    drvOpenSave_->setCurrentIndex(current == drives.end() ? -1 : static_cast<int>(current - drives.begin()));
}

// The open folders from the root down to the current one, which is highlighted, then its subfolders.
void FrmOpenSave::showFolders()
{
    const auto& entries = model_.Folders();
    if (entries == shownFolders_)
        return;
    const QSignalBlocker blocker(dirOpenSave_);
    dirOpenSave_->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int current = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const FolderEntry& entry = entries[i];
        auto* item = new QListWidgetItem(entry.open ? open : closed, text(entry.name), dirOpenSave_);
        item->setData(DepthRole, entry.depth);
        if (entry.open)
            current = static_cast<int>(i);
    }
    dirOpenSave_->setCurrentRow(current);
    if (current >= 0)
        dirOpenSave_->scrollToItem(dirOpenSave_->item(current));
    shownFolders_ = entries;
}

void FrmOpenSave::showFiles()
{
    const QSignalBlocker blocker(filOpenSave_);
    const auto& files = model_.Files();
    if (files != shownFiles_) {
        filOpenSave_->clear();
        for (const std::string& file : files)
            filOpenSave_->addItem(text(file));
        shownFiles_ = files;
    }
    const int selected = model_.SelectedFile();
    if (selected < 0)
        filOpenSave_->clearSelection();
    else if (filOpenSave_->currentRow() != selected)
        filOpenSave_->setCurrentRow(selected);
}

}  // namespace tenso
