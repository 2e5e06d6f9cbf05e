#pragma once
// The window of Tenso Lab: the table of the series with its statistics pinned below, the chart of
// the selected specimen (or of the whole series) and its details; menus for opening, saving and
// exporting. Every control has an object name, so that tests and scripts find it.

#include "lab_series.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>

class QLabel;
class QProgressBar;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class QTextBrowser;

namespace tenso::lab {

class ChartView;
class SpecimenModel;
class StatisticsModel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    MainWindow(MainWindow&&) = delete;
    MainWindow& operator=(MainWindow&&) = delete;

    LabSeries& Series() { return series_; }

    // Opens files, folders (their exports) and saved evaluations as the command line, the Open
    // dialogs and a drop give them. Returns false when nothing could be opened (the reason shown).
    bool OpenPaths(const QStringList& paths);
    // Saves the evaluation; an empty text on success, else the reason (also shown).
    QString SaveEvaluation(const QString& path);
    QString ExportText(const QString& path, bool json);
    QString ExportPdf(const QString& path);
    QString ExportChart(const QString& path);

    // The last message shown to the user (a failure, or what was done), for tests.
    QString LastMessage() const { return lastMessage_; }
    // The selected specimen's row in the series, if one is selected.
    std::optional<std::size_t> CurrentRow() const;
    void SelectRow(std::size_t row);
    // Asks before the series' unsaved changes are dropped; replaced by tests.
    std::function<bool()> confirmDiscard;
    bool Modified() const { return modified_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildActions();
    void buildLayout();
    void showCurrent(bool sameSpecimen);
    void showSeriesChart();
    void setModified(bool modified);
    void updateTitle();
    void message(const QString& text, bool failure);
    void addRecent(const QStringList& paths);
    void rebuildRecentMenu();

    void openFiles();
    void openFolder();
    void save();
    void saveAs();
    void exportCsv();
    void exportJson();
    void exportPdf();
    void exportChart();
    void editSettings();
    void toggleIncluded();
    void removeSelected();
    void copySelection();
    void automaticRange();
    std::vector<std::size_t> selectedRows() const;
    QString askSavePath(const QString& title, const QString& filter, const QString& suffix);

    LabSeries series_;
    SpecimenModel* model_ = nullptr;
    StatisticsModel* statistics_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
    QTableView* table_ = nullptr;
    QTableView* statisticsTable_ = nullptr;
    QTabWidget* charts_ = nullptr;
    ChartView* chart_ = nullptr;
    ChartView* seriesChart_ = nullptr;
    QTextBrowser* details_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QString evaluationPath_;
    QString lastMessage_;
    bool modified_ = false;
    std::uint64_t shownKey_ = 0;  // the specimen whose chart is shown, to keep its zoom on a refit
};

// The exports in a folder (bytes), as Open Folder takes them: its plain files whose extension a
// testing machine writes (csv, txt, tsv, dat, tra, asc, in any case), sorted by name.
std::vector<std::string> ExportsInFolder(const std::string& folder);

}  // namespace tenso::lab
