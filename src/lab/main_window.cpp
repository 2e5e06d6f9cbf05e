#include "main_window.h"

#include "chart_view.h"
#include "lab_exports.h"
#include "settings_dialog.h"
#include "specimen_model.h"

#include "charts/chart_files.h"
#include "evaluation_file.h"
#include "raw_text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace tenso::lab {
namespace {

namespace fs = std::filesystem;

constexpr int MaxRecent = 8;

QString text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Whether a file is taken for a saved evaluation: every .json is, since no testing machine exports
// its records as JSON, and a broken evaluation is then said to be one.
bool IsEvaluation(const QString& path) { return path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive); }

QAction* action(QObject* parent, const char* name, const QString& label, const QKeySequence& keys = {})
{
    auto* a = new QAction(label, parent);
    a->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty())
        a->setShortcut(keys);
    return a;
}

// A name made absolute and plain ("a/./b/../c" -> "a/c"), on its bytes.
std::string AbsoluteBytes(const std::string& name)
{
    std::error_code error;
    const fs::path path = fs::absolute(fs::path(name), error);
    return error ? name : path.lexically_normal().string();
}

}  // namespace

std::vector<std::string> ExportsInFolder(const std::string& folder)
{
    static const std::set<std::string> endings = {".csv", ".txt", ".tsv", ".dat", ".tra", ".asc"};
    std::vector<std::string> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string ending = entry.path().extension().string();
        std::transform(ending.begin(), ending.end(), ending.begin(),
            [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        std::error_code kind;
        if (endings.contains(ending) && entry.is_regular_file(kind))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , model_(new SpecimenModel(series_, this))
    , statistics_(new StatisticsModel(series_, *model_, this))
    , proxy_(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("labWindow"));
    confirmDiscard = [this] {
        return QMessageBox::question(this, QStringLiteral("Tenso Lab"),
                   QStringLiteral("The series has changes that are not saved. Drop them?"))
            == QMessageBox::Yes;
    };
    setAcceptDrops(true);
    model_->setObjectName(QStringLiteral("specimenModel"));
    statistics_->setObjectName(QStringLiteral("statisticsModel"));
    proxy_->setObjectName(QStringLiteral("specimenProxy"));
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(SpecimenModel::SortRole);
    buildLayout();
    buildActions();

    connect(model_, &SpecimenModel::EditRefused, this, [this](const QString& why) { message(why, true); });
    connect(&series_, &LabSeries::SpecimenChanged, this, [this](std::size_t row) {
        // While its evaluation runs the old result still stands; the new one repaints on arrival.
        const std::optional<std::size_t> current = CurrentRow();
        if (current && *current == row && !series_.At(row).pending)
            showCurrent(true);
    });
    connect(&series_, &LabSeries::Reset, this, [this] { showCurrent(true); });
    connect(&series_, &LabSeries::StatisticsChanged, this, [this] {
        if (charts_->currentWidget() == seriesChart_)
            showSeriesChart();
    });
    connect(&series_, &LabSeries::Progress, this, [this](std::size_t done, std::size_t total) {
        progress_->setMaximum(static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
        progress_->setVisible(done < total && total > 1);
        if (done == total)
            statusBar()->showMessage(QStringLiteral("%1 specimens evaluated").arg(series_.Count()), 5000);
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this] { showCurrent(false); });
    connect(chart_, &ChartView::ModulusRangeEdited, this, [this](double lo, double hi) {
        const std::optional<std::size_t> row = CurrentRow();
        if (!row)
            return;
        report::SpecimenSetup setup = series_.At(*row).setup;
        setup.modulusRange = std::make_pair(lo, hi);
        series_.SetSpecimen(*row, setup);
        setModified(true);
        message(QStringLiteral("E fitted from %1 to %2 MPa").arg(lo, 0, 'f', 1).arg(hi, 0, 'f', 1), false);
    });
    connect(model_, &SpecimenModel::Edited, this, [this] { setModified(true); });
    connect(charts_, &QTabWidget::currentChanged, this, [this] {
        if (charts_->currentWidget() == seriesChart_)
            showSeriesChart();
    });

    QSettings settings;
    if (!restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray()))
        resize(1280, 860);
    rebuildRecentMenu();
    updateTitle();
}

MainWindow::~MainWindow()
{
    // The views and the models ask the series for its rows while they are taken down, and the
    // series, a member, is gone before QObject deletes the children: they go first.
    delete takeCentralWidget();
    delete statistics_;
    delete proxy_;
    delete model_;
}

void MainWindow::buildLayout()
{
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("specimenTable"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionsMovable(false);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The statistics, pinned below the specimens in the same columns: the widths and the
    // horizontal scrolling follow the table above.
    statisticsTable_ = new QTableView;
    statisticsTable_->setObjectName(QStringLiteral("statisticsTable"));
    statisticsTable_->setModel(statistics_);
    statisticsTable_->horizontalHeader()->hide();
    statisticsTable_->verticalHeader()->setDefaultSectionSize(table_->verticalHeader()->defaultSectionSize());
    statisticsTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statisticsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    statisticsTable_->setFixedHeight(6 * statisticsTable_->verticalHeader()->defaultSectionSize() + 4
        + statisticsTable_->horizontalScrollBar()->sizeHint().height());
    statisticsTable_->setStyleSheet(QStringLiteral("QTableView { background: #f4f4f4; }"));
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this,
        [this](int column, int, int size) { statisticsTable_->setColumnWidth(column, size); });
    connect(statisticsTable_->horizontalScrollBar(), &QScrollBar::valueChanged, table_->horizontalScrollBar(),
        &QScrollBar::setValue);
    connect(table_->horizontalScrollBar(), &QScrollBar::valueChanged, statisticsTable_->horizontalScrollBar(),
        &QScrollBar::setValue);
    const auto fitColumns = [this] {
        table_->resizeColumnsToContents();
        // A long file name or a failed file's message (its tooltip has it whole) must not push
        // the values out of sight.
        for (int c = 1; c < model_->columnCount(); ++c)
            table_->setColumnWidth(c, std::min(table_->columnWidth(c), 220));
        for (int c = 0; c < model_->columnCount(); ++c)
            statisticsTable_->setColumnWidth(c, table_->columnWidth(c));
        statisticsTable_->verticalHeader()->setFixedWidth(table_->verticalHeader()->width());
    };
    connect(model_, &QAbstractItemModel::modelReset, this, fitColumns);
    connect(&series_, &LabSeries::Progress, this, [fitColumns](std::size_t done, std::size_t total) {
        if (done == total)
            fitColumns();
    });

    auto* tables = new QWidget;
    tables->setObjectName(QStringLiteral("tablesPane"));
    auto* tablesLayout = new QVBoxLayout(tables);
    tablesLayout->setContentsMargins(0, 0, 0, 0);
    tablesLayout->setSpacing(0);
    tablesLayout->addWidget(table_);
    tablesLayout->addWidget(statisticsTable_);

    chart_ = new ChartView;
    chart_->setObjectName(QStringLiteral("specimenChart"));
    seriesChart_ = new ChartView;
    seriesChart_->setObjectName(QStringLiteral("seriesChart"));
    charts_ = new QTabWidget;
    charts_->setObjectName(QStringLiteral("chartTabs"));
    charts_->addTab(chart_, QStringLiteral("Specimen"));
    charts_->addTab(seriesChart_, QStringLiteral("Series"));
    charts_->tabBar()->setObjectName(QStringLiteral("chartTabBar"));
    details_ = new QTextBrowser;
    details_->setObjectName(QStringLiteral("detailsPane"));

    auto* lower = new QSplitter(Qt::Horizontal);
    lower->setObjectName(QStringLiteral("lowerSplitter"));
    lower->addWidget(charts_);
    lower->addWidget(details_);
    lower->setStretchFactor(0, 3);
    lower->setStretchFactor(1, 2);
    auto* main = new QSplitter(Qt::Vertical);
    main->setObjectName(QStringLiteral("mainSplitter"));
    main->addWidget(tables);
    main->addWidget(lower);
    main->setStretchFactor(0, 2);
    main->setStretchFactor(1, 3);
    // The chart gets the larger part: a day's series fits above it, a longer one scrolls.
    main->setSizes({340, 520});
    setCentralWidget(main);

    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setMaximumWidth(240);
    progress_->setVisible(false);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addPermanentWidget(progress_);
    chart_->ShowNothing(QStringLiteral("Open exports with File > Open (Ctrl+O), or drop them here."));
}

void MainWindow::buildActions()
{
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* open
        = action(this, "actionOpen", QStringLiteral("&Open…"), QKeySequence(QStringLiteral("Ctrl+O")));
    connect(open, &QAction::triggered, this, &MainWindow::openFiles);
    QAction* folder = action(this, "actionOpenFolder", QStringLiteral("Open &Folder…"),
        QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    connect(folder, &QAction::triggered, this, &MainWindow::openFolder);
    recentMenu_ = new QMenu(QStringLiteral("Open &Recent"), this);
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    QAction* saveAction = action(
        this, "actionSave", QStringLiteral("&Save Evaluation"), QKeySequence(QStringLiteral("Ctrl+S")));
    connect(saveAction, &QAction::triggered, this, &MainWindow::save);
    QAction* saveAsAction = action(this, "actionSaveAs", QStringLiteral("Save Evaluation &As…"),
        QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    connect(saveAsAction, &QAction::triggered, this, &MainWindow::saveAs);
    QAction* csv = action(
        this, "actionExportCsv", QStringLiteral("Export &CSV…"), QKeySequence(QStringLiteral("Ctrl+E")));
    connect(csv, &QAction::triggered, this, &MainWindow::exportCsv);
    QAction* json = action(this, "actionExportJson", QStringLiteral("Export &JSON…"));
    connect(json, &QAction::triggered, this, &MainWindow::exportJson);
    QAction* pdf = action(this, "actionExportPdf", QStringLiteral("Export &PDF Report…"),
        QKeySequence(QStringLiteral("Ctrl+P")));
    connect(pdf, &QAction::triggered, this, &MainWindow::exportPdf);
    QAction* chart = action(this, "actionExportChart", QStringLiteral("Export C&hart…"));
    connect(chart, &QAction::triggered, this, &MainWindow::exportChart);
    QAction* quit
        = action(this, "actionQuit", QStringLiteral("&Quit"), QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    file->addActions({open, folder});
    file->addMenu(recentMenu_);
    file->addSeparator();
    file->addActions({saveAction, saveAsAction});
    file->addSeparator();
    file->addActions({csv, json, pdf, chart});
    file->addSeparator();
    file->addAction(quit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    QAction* copy
        = action(this, "actionCopy", QStringLiteral("&Copy as Text"), QKeySequence(QStringLiteral("Ctrl+C")));
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table_->addAction(copy);
    connect(copy, &QAction::triggered, this, &MainWindow::copySelection);
    QAction* toggle = action(
        this, "actionToggleIncluded", QStringLiteral("&Include or Exclude"), QKeySequence(Qt::Key_Space));
    toggle->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table_->addAction(toggle);
    connect(toggle, &QAction::triggered, this, &MainWindow::toggleIncluded);
    QAction* editCell
        = action(this, "actionEditCell", QStringLiteral("&Edit Cell"), QKeySequence(Qt::Key_F2));
    editCell->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(editCell, &QAction::triggered, this, [this] { table_->edit(table_->currentIndex()); });
    table_->addAction(editCell);
    QAction* remove
        = action(this, "actionRemove", QStringLiteral("&Remove from Series"), QKeySequence(Qt::Key_Delete));
    remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table_->addAction(remove);
    connect(remove, &QAction::triggered, this, &MainWindow::removeSelected);
    edit->addActions({copy, toggle, editCell, remove});

    QMenu* series = menuBar()->addMenu(QStringLiteral("&Series"));
    series->setObjectName(QStringLiteral("seriesMenu"));
    QAction* settings = action(
        this, "actionSettings", QStringLiteral("&Settings…"), QKeySequence(QStringLiteral("Ctrl+,")));
    connect(settings, &QAction::triggered, this, &MainWindow::editSettings);
    QAction* automatic = action(this, "actionAutomaticRange", QStringLiteral("&Automatic Range of E"),
        QKeySequence(QStringLiteral("Ctrl+R")));
    automatic->setToolTip(QStringLiteral("Drop the range of E dragged for the selected specimens"));
    connect(automatic, &QAction::triggered, this, &MainWindow::automaticRange);
    QAction* again
        = action(this, "actionReevaluate", QStringLiteral("&Evaluate Files Again"), QKeySequence(Qt::Key_F5));
    connect(again, &QAction::triggered, this, [this] { series_.Reevaluate(); });
    QAction* showSeries = action(this, "actionShowSeries", QStringLiteral("Show Series &Chart"),
        QKeySequence(QStringLiteral("Ctrl+2")));
    connect(showSeries, &QAction::triggered, this, [this] { charts_->setCurrentWidget(seriesChart_); });
    QAction* showSpecimen = action(this, "actionShowSpecimen", QStringLiteral("Show S&pecimen Chart"),
        QKeySequence(QStringLiteral("Ctrl+1")));
    connect(showSpecimen, &QAction::triggered, this, [this] { charts_->setCurrentWidget(chart_); });
    QAction* reset = action(
        this, "actionResetZoom", QStringLiteral("&Reset Zoom"), QKeySequence(QStringLiteral("Ctrl+0")));
    connect(reset, &QAction::triggered, this, [this] {
        chart_->ResetZoom();
        seriesChart_->ResetZoom();
    });
    series->addActions({settings, automatic, again});
    series->addSeparator();
    series->addActions({showSpecimen, showSeries, reset});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* about = action(this, "actionAbout", QStringLiteral("&About Tenso Lab"));
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, QStringLiteral("About Tenso Lab"),
            QStringLiteral(
                "<b>Tenso Lab %1</b><p>Tensile tests of a series evaluated by ISO 6892-1, rules 2, "
                "with the numbers of tenso-report.</p><p>The user guide is in "
                "/usr/share/doc/tenso.</p>")
                .arg(QStringLiteral(TENSO_VERSION)));
    });
    help->addAction(about);

    QToolBar* tools = addToolBar(QStringLiteral("Main"));
    tools->setObjectName(QStringLiteral("mainToolBar"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->toggleViewAction()->setObjectName(QStringLiteral("actionShowToolBar"));
    tools->addActions({open, folder, saveAction, pdf, settings});
    for (QAction* a : tools->actions())
        tools->widgetForAction(a)->setObjectName(a->objectName() + QStringLiteral("Button"));
}

bool MainWindow::OpenPaths(const QStringList& paths)
{
    // On the names' bytes: a Latin-1 name that Qt's file classes would turn into U+FFFD still opens.
    std::vector<std::string> files;
    QStringList failed, recent;
    bool openedEvaluation = false;
    for (const QString& given : paths) {
        const std::string name = AbsoluteBytes(report::EncodeArgument(given));
        const QString shown = common::DisplayNameText(name);
        std::error_code error;
        const fs::file_status status = fs::status(name, error);
        if (fs::is_directory(status)) {
            const std::vector<std::string> exports = ExportsInFolder(name);
            if (exports.empty())
                failed << QStringLiteral(
                    "%1: the folder holds no exports (.csv, .txt, .tsv, .dat, .tra, .asc)")
                              .arg(shown);
            files.insert(files.end(), exports.begin(), exports.end());
            recent << report::DecodeArgument(name);
        } else if (IsEvaluation(given)) {
            if (modified_ && series_.Count() > 0 && !confirmDiscard())
                continue;
            try {
                const report::Evaluation evaluation = report::ReadEvaluation(name);
                if (evaluation.specimens.empty())
                    throw std::runtime_error(common::DisplayName(name) + ": names no data file");
                series_.Load(evaluation);
            } catch (const std::exception& e) {
                failed << text(e.what());
                continue;
            }
            openedEvaluation = true;
            evaluationPath_ = report::DecodeArgument(name);
            setModified(false);
            recent << evaluationPath_;
            SelectRow(0);
        } else if (!fs::exists(status)) {
            failed << QStringLiteral("%1: no such file").arg(shown);
        } else {
            // A file that cannot be read keeps its row with the reason, like any other bad file.
            files.push_back(name);
            recent << report::DecodeArgument(name);
        }
    }
    // Once for the call: the settings are written to disk each time.
    if (!recent.isEmpty())
        addRecent(recent);
    const bool wasEmpty = series_.Count() == 0;
    const std::size_t added = series_.Add(files);
    if (added > 0) {
        setModified(true);
        if (wasEmpty)
            SelectRow(0);
    }
    if (!failed.isEmpty())
        message(failed.join(QStringLiteral("\n")), true);
    else if (added > 0)
        message(QStringLiteral("%1 files opened").arg(added), false);
    return failed.isEmpty() || added > 0 || openedEvaluation;
}

QString MainWindow::SaveEvaluation(const QString& path)
{
    if (series_.Count() == 0) {
        // It could not be opened again: an evaluation names its files.
        message(QStringLiteral("Nothing to save: the series has no specimen"), true);
        return LastMessage();
    }
    const std::string error = report::WriteEvaluation(report::EncodeArgument(path), series_.Save());
    if (!error.empty()) {
        message(text(error), true);
        return text(error);
    }
    evaluationPath_ = QFileInfo(path).absoluteFilePath();
    setModified(false);
    addRecent({evaluationPath_});
    message(QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(path)), false);
    return {};
}

QString MainWindow::ExportText(const QString& path, bool json)
{
    if (!series_.WaitUntilEvaluated()) {
        message(
            QStringLiteral("Not exported: the files are still being evaluated; try again in a moment"), true);
        return LastMessage();
    }
    const std::string error
        = WriteTextFile(path, SeriesText(series_, json ? report::Format::Json : report::Format::Csv));
    message(error.empty() ? QStringLiteral("Exported %1").arg(QDir::toNativeSeparators(path)) : text(error),
        !error.empty());
    return text(error);
}

QString MainWindow::ExportPdf(const QString& path)
{
    if (!series_.WaitUntilEvaluated()) {
        message(
            QStringLiteral("No report written: the files are still being evaluated; try again in a moment"),
            true);
        return LastMessage();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string error = WriteSeriesPdf(path, series_, {});
    QApplication::restoreOverrideCursor();
    message(error.empty() ? QStringLiteral("Wrote the report %1").arg(QDir::toNativeSeparators(path))
                          : text(error),
        !error.empty());
    return text(error);
}

QString MainWindow::ExportChart(const QString& path)
{
    const std::optional<std::size_t> row = CurrentRow();
    if (!row || !series_.At(*row).result || series_.At(*row).result->error) {
        message(QStringLiteral("Select an evaluated specimen to export its chart"), true);
        return LastMessage();
    }
    const report::PlotFormat format = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)
        ? report::PlotFormat::Svg
        : report::PlotFormat::Png;
    const std::string error = report::WriteChartFile(path, series_.At(*row).chart, QSize(1200, 900), format);
    message(error.empty() ? QStringLiteral("Exported %1").arg(QDir::toNativeSeparators(path)) : text(error),
        !error.empty());
    return text(error);
}

std::optional<std::size_t> MainWindow::CurrentRow() const
{
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return static_cast<std::size_t>(proxy_->mapToSource(current).row());
}

void MainWindow::SelectRow(std::size_t row)
{
    const QModelIndex index = proxy_->mapFromSource(model_->index(static_cast<int>(row), 2));
    table_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MainWindow::showCurrent(bool sameSpecimen)
{
    const std::optional<std::size_t> row = CurrentRow();
    if (!row || *row >= series_.Count()) {
        chart_->ShowNothing(series_.Count() == 0
                ? QStringLiteral("Open exports with File > Open (Ctrl+O), or drop them here.")
                : QStringLiteral("Select a specimen to see its chart."));
        details_->clear();
        shownKey_ = 0;
        return;
    }
    const LabSpecimen& s = series_.At(*row);
    const bool same = sameSpecimen && s.key == shownKey_;
    shownKey_ = s.key;
    details_->setHtml(DetailsHtml(s, series_.Setup()));
    if (!s.result)
        chart_->ShowNothing(QStringLiteral("Evaluating…"));
    else if (s.result->error)
        chart_->ShowNothing(text(*s.result->error));
    else
        chart_->ShowSpecimen(s.chart, same);
}

void MainWindow::showSeriesChart()
{
    std::vector<report::ChartData> charts;
    for (std::size_t row = 0; row < series_.Count(); ++row) {
        const LabSpecimen& s = series_.At(row);
        if (s.setup.included && s.result && !s.result->error) {
            charts.push_back(s.chart);
            // The legend names the file; its folder is the same for a series and takes the room.
            charts.back().name
                = report::EncodeArgument(QFileInfo(report::DecodeArgument(s.setup.file)).fileName());
        }
    }
    if (charts.empty())
        seriesChart_->ShowNothing(QStringLiteral("No included specimen was evaluated."));
    else
        seriesChart_->ShowSeries(std::move(charts));
}

void MainWindow::setModified(bool modified)
{
    modified_ = modified;
    updateTitle();
}

void MainWindow::updateTitle()
{
    const QString name
        = evaluationPath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(evaluationPath_).fileName();
    setWindowTitle(QStringLiteral("%1%2 – Tenso Lab").arg(name, modified_ ? QStringLiteral("*") : QString()));
}

void MainWindow::message(const QString& text, bool failure)
{
    lastMessage_ = text;
    statusBar()->showMessage(text.section(QLatin1Char('\n'), 0, 0), failure ? 0 : 5000);
    if (!failure || !isVisible())
        return;
    // Not modal: the window goes on (and tests are not held up), the message stays until read.
    auto* box
        = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tenso Lab"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("messageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void MainWindow::addRecent(const QStringList& paths)
{
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& path : paths) {
        recent.removeAll(path);
        recent.prepend(path);
    }
    while (recent.size() > MaxRecent)
        recent.removeLast();
    settings.setValue(QStringLiteral("recentFiles"), recent);
    if (!paths.isEmpty())
        settings.setValue(QStringLiteral("lastFolder"),
            QFileInfo(paths.last()).isDir() ? paths.last() : QFileInfo(paths.last()).absolutePath());
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu()
{
    recentMenu_->clear();
    const QStringList recent = QSettings().value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& path : recent) {
        QAction* a = recentMenu_->addAction(QDir::toNativeSeparators(path));
        a->setObjectName(QStringLiteral("recentFile"));
        connect(a, &QAction::triggered, this, [this, path] { OpenPaths({path}); });
    }
    recentMenu_->setEnabled(!recent.isEmpty());
}

QString MainWindow::askSavePath(const QString& title, const QString& filter, const QString& suffix)
{
    QSettings settings;
    const QString folder = settings.value(QStringLiteral("lastFolder"), QDir::homePath()).toString();
    const QString base = evaluationPath_.isEmpty() ? QStringLiteral("series")
                                                   : QFileInfo(evaluationPath_).completeBaseName();
    QString path = QFileDialog::getSaveFileName(this, title, QDir(folder).filePath(base + suffix), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += suffix;
    if (!path.isEmpty())
        settings.setValue(QStringLiteral("lastFolder"), QFileInfo(path).absolutePath());
    return path;
}

void MainWindow::openFiles()
{
    QSettings settings;
    const QStringList files
        = QFileDialog::getOpenFileNames(this, QStringLiteral("Open exports or an evaluation"),
            settings.value(QStringLiteral("lastFolder"), QDir::homePath()).toString(),
            QStringLiteral(
                "Exports and evaluations (*.csv *.txt *.tsv *.dat *.tra *.TRA *.asc *.json);;All files (*)"));
    if (!files.isEmpty())
        OpenPaths(files);
}

void MainWindow::openFolder()
{
    QSettings settings;
    const QString folder
        = QFileDialog::getExistingDirectory(this, QStringLiteral("Open the exports of a folder"),
            settings.value(QStringLiteral("lastFolder"), QDir::homePath()).toString());
    if (!folder.isEmpty()) {
        settings.setValue(QStringLiteral("lastFolder"), folder);
        OpenPaths({folder});
    }
}

void MainWindow::save()
{
    if (evaluationPath_.isEmpty())
        saveAs();
    else
        SaveEvaluation(evaluationPath_);
}

void MainWindow::saveAs()
{
    const QString path = askSavePath(QStringLiteral("Save the evaluation"),
        QStringLiteral("Evaluation (*.json)"), QStringLiteral(".json"));
    if (!path.isEmpty())
        SaveEvaluation(path);
}

void MainWindow::exportCsv()
{
    const QString path
        = askSavePath(QStringLiteral("Export CSV"), QStringLiteral("CSV (*.csv)"), QStringLiteral(".csv"));
    if (!path.isEmpty())
        ExportText(path, false);
}

void MainWindow::exportJson()
{
    const QString path = askSavePath(
        QStringLiteral("Export JSON"), QStringLiteral("JSON (*.json)"), QStringLiteral("-results.json"));
    if (!path.isEmpty())
        ExportText(path, true);
}

void MainWindow::exportPdf()
{
    const QString path = askSavePath(
        QStringLiteral("Export the PDF report"), QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf"));
    if (!path.isEmpty())
        ExportPdf(path);
}

void MainWindow::exportChart()
{
    const QString path = askSavePath(QStringLiteral("Export the chart"),
        QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)"), QStringLiteral(".png"));
    if (!path.isEmpty())
        ExportChart(path);
}

void MainWindow::editSettings()
{
    SettingsDialog dialog(series_.Setup(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::optional<report::SeriesSetup> setup = dialog.Setup()) {
        const report::SeriesSetup& now = series_.Setup();
        if (setup->proofPercents == now.proofPercents && setup->fractureDropPercent == now.fractureDropPercent
            && setup->modulus == now.modulus && setup->modulusRange == now.modulusRange)
            return;  // nothing changed: nothing to evaluate again
        const std::optional<std::size_t> row = CurrentRow();
        series_.SetSetup(*setup);
        if (row)
            SelectRow(*row);
        setModified(true);
    }
}

std::vector<std::size_t> MainWindow::selectedRows() const
{
    std::set<std::size_t> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
        rows.insert(static_cast<std::size_t>(proxy_->mapToSource(index).row()));
    if (rows.empty())
        if (const std::optional<std::size_t> row = CurrentRow())
            rows.insert(*row);
    return {rows.begin(), rows.end()};
}

void MainWindow::toggleIncluded()
{
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty())
        return;
    // All follow the first: a mixed selection becomes all excluded or all included.
    const bool include = !series_.At(rows.front()).setup.included;
    for (const std::size_t row : rows)
        series_.SetIncluded(row, include);
    setModified(true);
}

void MainWindow::removeSelected()
{
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty())
        return;
    series_.Remove(rows);
    setModified(true);
}

void MainWindow::automaticRange()
{
    for (const std::size_t row : selectedRows()) {
        report::SpecimenSetup setup = series_.At(row).setup;
        if (!setup.modulusRange)
            continue;
        setup.modulusRange.reset();
        series_.SetSpecimen(row, setup);
        setModified(true);
    }
}

void MainWindow::copySelection()
{
    const QModelIndexList indexes = table_->selectionModel()->selectedIndexes();
    if (indexes.isEmpty())
        return;
    std::set<int> rows, columns;
    for (const QModelIndex& i : indexes) {
        rows.insert(i.row());
        columns.insert(i.column());
    }
    // What the cells show, with the headings: a spreadsheet gets the table as it is read here.
    QStringList lines;
    QStringList heading;
    for (const int c : columns)
        heading << proxy_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    lines << heading.join(QLatin1Char('\t'));
    for (const int r : rows) {
        QStringList cells;
        for (const int c : columns) {
            const QModelIndex i = proxy_->index(r, c);
            const QVariant check = i.data(Qt::CheckStateRole);
            QString cell = check.isValid()
                ? (check.value<Qt::CheckState>() == Qt::Checked ? QStringLiteral("yes")
                                                                : QStringLiteral("no"))
                : i.data(Qt::DisplayRole).toString();
            cell.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            cells << cell;
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    message(QStringLiteral("Copied %1 rows").arg(rows.size()), false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (modified_ && series_.Count() > 0 && !confirmDiscard()) {
        event->ignore();
        return;
    }
    QSettings().setValue(QStringLiteral("window/geometry"), saveGeometry());
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (!paths.isEmpty()) {
        OpenPaths(paths);
        event->acceptProposedAction();
    }
}

}  // namespace tenso::lab
