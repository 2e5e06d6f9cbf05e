// Tenso Lab's window against tenso-report: the same files, the same edits as options, give the same
// numbers to the last bit; the saved evaluation is what `tenso-report --evaluation` reads; failures
// leave a message and the rest of the series as it was.
#include "chart_view.h"
#include "lab_exports.h"
#include "main_window.h"
#include "raw_text.h"
#include "settings_dialog.h"
#include "specimen_model.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <tuple>

namespace tenso::lab {
namespace {

using report::Format;

const QString fraunhofer = QStringLiteral(TENSO_TEST_DATA "/realdata/fraunhofer-42CrMoS4/");
const QString examples = QStringLiteral(TENSO_EXAMPLES "/");

// The exports that evaluate without any option, in the order they are opened.
const QStringList plainFiles = {examples + "machine_bluehill_style.csv", examples + "machine_zwick_style.TRA",
    fraunhofer + "46NT71.csv", fraunhofer + "46NT99.csv", fraunhofer + "46NTA1.csv",
    fraunhofer + "46NTAT.csv", fraunhofer + "46NTBL.csv"};

struct Run {
    int status = -1;
    QByteArray out, err;
};

Run report(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TENSO_REPORT), args);
    Run r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// tenso-report's JSON of `args`.
Run reportJson(const QStringList& args)
{
    return report(QStringList {QStringLiteral("--format"), QStringLiteral("json")} + args);
}

QJsonArray parse(const QByteArray& json)
{
    QJsonParseError error {};
    const QJsonDocument d = QJsonDocument::fromJson(json, &error);
    if (d.isNull())
        qWarning("not JSON: %s", qPrintable(error.errorString()));
    return d.array();
}

QJsonArray windowJson(const LabSeries& series)
{
    const std::string text = SeriesText(series, Format::Json);
    return parse(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

QByteArray bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

// Every value of `expected` (tenso-report's) in `actual` (the window's): numbers bit for bit, texts,
// flags and nulls alike, and no key more. "file" (the name as given) and "included" (written only
// for an evaluation) are left out.
void compare(const QJsonValue& expected, const QJsonValue& actual, const QString& where, QStringList& faults)
{
    const auto text = [](const QJsonValue& v) {
        return QString::fromUtf8(QJsonDocument(QJsonArray {v}).toJson(QJsonDocument::Compact));
    };
    const auto fault = [&] {
        faults << QStringLiteral("%1: %2 in the window, %3 by tenso-report")
                      .arg(where, text(actual), text(expected));
    };
    if (expected.type() != actual.type()) {
        fault();
    } else if (expected.isDouble()) {
        if (std::bit_cast<std::uint64_t>(expected.toDouble())
            != std::bit_cast<std::uint64_t>(actual.toDouble()))
            fault();
    } else if (expected.isObject()) {
        const QJsonObject e = expected.toObject(), a = actual.toObject();
        for (auto it = e.begin(); it != e.end(); ++it)
            if (it.key() != QLatin1String("file") && it.key() != QLatin1String("included"))
                compare(it.value(), a.value(it.key()), where + "." + it.key(), faults);
        for (auto it = a.begin(); it != a.end(); ++it)
            if (it.key() != QLatin1String("included") && !e.contains(it.key()))
                faults << where + "." + it.key() + ": only in the window";
    } else if (expected.isArray()) {
        const QJsonArray e = expected.toArray(), a = actual.toArray();
        if (e.size() != a.size())
            fault();
        for (qsizetype k = 0; k < std::min(e.size(), a.size()); ++k)
            compare(e[k], a[k], QStringLiteral("%1[%2]").arg(where).arg(k), faults);
    } else if (expected != actual) {
        fault();
    }
}

#define COMPARE_JSON(expected, actual, where)                                                                \
    do {                                                                                                     \
        QStringList faults_;                                                                                 \
        compare(expected, actual, where, faults_);                                                           \
        QVERIFY2(faults_.isEmpty(), qPrintable(faults_.join(QLatin1Char('\n'))));                            \
    } while (false)

// The statistics object at the end of a report's JSON.
QJsonObject statisticsOf(const QJsonArray& report)
{
    return report.isEmpty() ? QJsonObject {}
                            : report.last().toObject().value(QStringLiteral("statistics")).toObject();
}

// `value` as the printed report shows it: to `decimals` (0 or 1) places, halves away from zero.
QString rounded(double value, int decimals)
{
    const double scaled = std::fabs(value) * (decimals == 0 ? 1 : 10);
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5)
        whole += 1;
    QString digits = QString::number(static_cast<qlonglong>(whole));
    if (decimals == 1) {
        if (digits.size() < 2)
            digits.prepend(QLatin1Char('0'));
        digits.insert(digits.size() - 1, QLatin1Char('.'));
    }
    return (value < 0 && whole != 0 ? QStringLiteral("-") : QString()) + digits;
}

QAbstractItemModel* specimenModel(MainWindow& w)
{
    return w.findChild<QAbstractItemModel*>(QStringLiteral("specimenModel"));
}

QTableView* table(MainWindow& w) { return w.findChild<QTableView*>(QStringLiteral("specimenTable")); }

int column(const QAbstractItemModel* model, const QString& heading)
{
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == heading)
            return c;
    return -1;
}

QString cell(const QAbstractItemModel* model, int row, int c, int role = Qt::DisplayRole)
{
    return model->data(model->index(row, c), role).toString();
}

// The first value column, where a row that failed shows its message.
int firstValueColumn(const QAbstractItemModel* model)
{
    const auto* specimens = qobject_cast<const SpecimenModel*>(model);
    if (!specimens)
        return -1;
    for (std::size_t c = 0; c < specimens->Columns().size(); ++c)
        if (specimens->Columns()[c].kind == Column::Kind::Quantity)
            return static_cast<int>(c);
    return -1;
}

// Copies of `files` in `folder` (created), in their order.
QStringList copies(const QStringList& files, const QString& folder)
{
    QDir().mkpath(folder);
    QStringList out;
    for (const QString& f : files) {
        const QString to = QDir(folder).filePath(QFileInfo(f).fileName());
        if (!QFile::exists(to))
            QFile::copy(f, to);
        out << to;
    }
    return out;
}

bool sameRange(const std::optional<std::pair<double, double>>& a, const std::pair<double, double>& b)
{
    return a && std::bit_cast<std::uint64_t>(a->first) == std::bit_cast<std::uint64_t>(b.first)
        && std::bit_cast<std::uint64_t>(a->second) == std::bit_cast<std::uint64_t>(b.second);
}

const QStringList threeFiles
    = {fraunhofer + "46NT71.csv", fraunhofer + "46NT99.csv", fraunhofer + "46NTA1.csv"};

// Row `row` failed with tenso-report's message `why`: in its first value cell and the file's tooltip.
void checkErrorRow(const QAbstractItemModel* model, int row, const QString& why)
{
    QVERIFY(!why.isEmpty());
    QCOMPARE(cell(model, row, firstValueColumn(model)), why);
    QVERIFY(cell(model, row, column(model, QStringLiteral("File")), Qt::ToolTipRole).contains(why));
}

}  // namespace

class LabWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir settingsHome_;
    std::unique_ptr<QTemporaryDir> dir_;

    QString path(const QString& name) const { return dir_->filePath(name); }

    // A shown window that drops its changes without asking.
    static std::unique_ptr<MainWindow> window()
    {
        auto w = std::make_unique<MainWindow>();
        w->confirmDiscard = [] { return true; };
        w->resize(1280, 860);
        w->show();
        return w;
    }

    // Such a window with `files` open and evaluated, or null.
    static std::unique_ptr<MainWindow> opened(const QStringList& files)
    {
        auto w = window();
        if (!w->OpenPaths(files) || !w->Series().WaitUntilEvaluated(120000))
            return nullptr;
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The window's recent files and geometry go to a place of the test's own.
        QVERIFY(settingsHome_.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsHome_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsHome_.path());
        QCoreApplication::setOrganizationName(QStringLiteral("TensoLabWindowTest"));
        QCoreApplication::setApplicationName(QStringLiteral("lab_window_tests"));
    }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void cleanup()
    {
        // A file made read-only by a test must not keep its folder from going.
        QFile::setPermissions(path(QStringLiteral("locked")),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        dir_.reset();
    }

    // Every value of each file and of the statistics is tenso-report's, and the table shows the
    // report's rounding of them.
    void plainFilesGiveTheNumbersOfTensoReport()
    {
        const QStringList files = copies(plainFiles, path(QStringLiteral("data")));
        const auto w = opened(files);
        QVERIFY(w);
        QCOMPARE(w->Series().Count(), std::size_t(7));

        const Run r = reportJson(files);
        QCOMPARE(r.status, 0);
        const QJsonArray expected = parse(r.out);
        const QJsonArray actual = windowJson(w->Series());
        QCOMPARE(expected.size(), 8);
        QCOMPARE(actual.size(), 8);
        for (int k = 0; k < 7; ++k) {
            const QJsonObject o = actual[k].toObject();
            QCOMPARE(o.value(QStringLiteral("file")).toString(), files[k]);
            QCOMPARE(o.value(QStringLiteral("included")), QJsonValue(true));
            QVERIFY2(o.value(QStringLiteral("error")).isNull(), qPrintable(files[k]));
            COMPARE_JSON(expected[k], actual[k], QFileInfo(files[k]).fileName());
        }
        COMPARE_JSON(expected[7], actual[7], QStringLiteral("statistics"));

        // The exports are that text.
        for (const bool json : {true, false}) {
            const QString exported
                = path(json ? QStringLiteral("series.json") : QStringLiteral("series.csv"));
            QCOMPARE(w->ExportText(exported, json), QString());
            QFile f(exported);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), bytes(SeriesText(w->Series(), json ? Format::Json : Format::Csv)));
        }

        // The cells as the report rounds: E to 0.1 GPa, Rp0.2 and Rm to 1 MPa, halves away from zero.
        QAbstractItemModel* model = specimenModel(*w);
        QVERIFY(model);
        const int e = column(model, QStringLiteral("E [GPa]"));
        const int rm = column(model, QStringLiteral("Rm [MPa]"));
        const int rp = column(model, QStringLiteral("Rp0.2 [MPa]"));
        const int file = column(model, QStringLiteral("File"));
        QVERIFY(e >= 0 && rm >= 0 && rp >= 0 && file >= 0);
        for (int k = 0; k < 7; ++k) {
            const QJsonObject o = expected[k].toObject();
            QCOMPARE(cell(model, k, file), QFileInfo(files[k]).fileName());
            QCOMPARE(cell(model, k, e),
                rounded(o.value(QStringLiteral("E")).toObject().value(QStringLiteral("GPa")).toDouble(), 1));
            QCOMPARE(cell(model, k, rm), rounded(o.value(QStringLiteral("Rm")).toDouble(), 0));
            const QJsonValue rp02 = o.value(QStringLiteral("Rp")).toObject().value(QStringLiteral("0.2"));
            QCOMPARE(cell(model, k, rp), rounded(rp02.toObject().value(QStringLiteral("MPa")).toDouble(), 0));
        }

        // The statistics below the table: n, and the mean as the report rounds it.
        const auto* statisticsTable = w->findChild<QTableView*>(QStringLiteral("statisticsTable"));
        QVERIFY(statisticsTable);
        const QAbstractItemModel* statistics = statisticsTable->model();
        const QJsonObject s = statisticsOf(expected);
        for (const auto& [c, symbol, decimals] :
            {std::tuple {e, QStringLiteral("E"), 1}, std::tuple {rm, QStringLiteral("Rm"), 0}}) {
            const QJsonObject one = s.value(symbol).toObject();
            QCOMPARE(cell(statistics, 0, c), QString::number(one.value(QStringLiteral("n")).toInt()));
            QCOMPARE(cell(statistics, 1, c), rounded(one.value(QStringLiteral("mean")).toDouble(), decimals));
            QCOMPARE(cell(statistics, 4, c), rounded(one.value(QStringLiteral("min")).toDouble(), decimals));
            QCOMPARE(cell(statistics, 5, c), rounded(one.value(QStringLiteral("max")).toDouble(), decimals));
        }

        // Left out by the check box and by Space on the table, rows 3 and 6 leave tenso-report's
        // statistics over the others; Space again counts row 6 in again. An inclusion evaluates nothing.
        QVERIFY(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QTableView* view = table(*w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        view->setFocus();
        w->SelectRow(5);
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(model->data(model->index(5, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
        QCOMPARE(model->data(model->index(2, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
        QVERIFY(w->Modified());
        QCOMPARE(w->Series().PendingCount(), std::size_t(0));
        QStringList others = files;
        others.removeAt(5);
        others.removeAt(2);
        const QJsonArray without = windowJson(w->Series());
        COMPARE_JSON(QJsonValue(statisticsOf(parse(reportJson(others).out))),
            QJsonValue(statisticsOf(without)), QStringLiteral("statistics without rows 3 and 6"));
        for (int k = 0; k < 7; ++k)
            QCOMPARE(without[k].toObject().value(QStringLiteral("included")), QJsonValue(k != 2 && k != 5));
        QCOMPARE(cell(statistics, 0, e), QStringLiteral("5"));

        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(model->data(model->index(5, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        others = files;
        others.removeAt(2);
        COMPARE_JSON(QJsonValue(statisticsOf(parse(reportJson(others).out))),
            QJsonValue(statisticsOf(windowJson(w->Series()))), QStringLiteral("statistics without row 3"));
    }

    // A diameter typed in the table is --diameter; a decimal comma is read, a bad text is refused
    // and changes nothing; an emptied cell takes the file's value again.
    void typedDiameterIsTheOptionOfTensoReport()
    {
        const QString file
            = copies({examples + "machine_bluehill_style.csv"}, path(QStringLiteral("data"))).first();
        const auto w = opened({file});
        QVERIFY(w);
        QAbstractItemModel* model = specimenModel(*w);
        const int d0 = column(model, QStringLiteral("d0 [mm]"));
        QVERIFY(d0 >= 0);

        QVERIFY(model->setData(model->index(0, d0), QStringLiteral("10,5"), Qt::EditRole));
        QVERIFY(w->Modified());
        QVERIFY(w->Series().WaitUntilEvaluated());
        QCOMPARE(w->Series().At(0).setup.specimen.d0, std::optional(10.5));
        QCOMPARE(cell(model, 0, d0), QStringLiteral("10.5"));
        const Run r = reportJson({QStringLiteral("--diameter"), QStringLiteral("10.5"), file});
        QCOMPARE(r.status, 0);
        const QJsonArray expected = parse(r.out);
        const QJsonArray edited = windowJson(w->Series());
        QCOMPARE(edited.size(), 2);
        COMPARE_JSON(expected[0], edited[0], QStringLiteral("d0 = 10.5"));
        COMPARE_JSON(expected[1], edited[1], QStringLiteral("statistics"));
        // The typed value counts, not the file's 6 mm.
        QCOMPARE(edited[0].toObject().value(QStringLiteral("S0")).toDouble(),
            expected[0].toObject().value(QStringLiteral("S0")).toDouble());
        QVERIFY(std::fabs(edited[0].toObject().value(QStringLiteral("S0")).toDouble() - 86.590) < 0.001);

        const std::string before = SeriesText(w->Series(), Format::Json);
        for (const QString& typed : {QStringLiteral("abc"), QStringLiteral("-1"), QStringLiteral("0")}) {
            QVERIFY2(!model->setData(model->index(0, d0), typed, Qt::EditRole), qPrintable(typed));
            QVERIFY2(w->LastMessage().contains(QStringLiteral("\"") + typed + QStringLiteral("\"")),
                qPrintable(w->LastMessage()));
            QVERIFY(w->LastMessage().contains(QStringLiteral("d0")));
            QCOMPARE(w->Series().PendingCount(), std::size_t(0));
            QCOMPARE(w->Series().At(0).setup.specimen.d0, std::optional(10.5));
            QCOMPARE(cell(model, 0, d0), QStringLiteral("10.5"));
            QCOMPARE(SeriesText(w->Series(), Format::Json), before);
        }

        QVERIFY(model->setData(model->index(0, d0), QString(), Qt::EditRole));
        QVERIFY(w->Series().WaitUntilEvaluated());
        QVERIFY(!w->Series().At(0).setup.specimen.d0);
        COMPARE_JSON(
            parse(reportJson({file}).out)[0], windowJson(w->Series())[0], QStringLiteral("d0 from the file"));
    }

    // One side of a flat specimen typed over the header's a0 and b0 keeps the header's other side:
    // the numbers of --thickness with the header's --width.
    void typedThicknessKeepsTheHeadersWidth()
    {
        const QString file
            = copies({examples + "machine_zwick_style.TRA"}, path(QStringLiteral("data"))).first();
        const auto w = opened({file});
        QVERIFY(w);
        QAbstractItemModel* model = specimenModel(*w);
        QVERIFY(model->setData(
            model->index(0, column(model, QStringLiteral("a0 [mm]"))), QStringLiteral("1.5"), Qt::EditRole));
        QVERIFY(w->Series().WaitUntilEvaluated());
        const Run r = reportJson({QStringLiteral("--thickness"), QStringLiteral("1.5"),
            QStringLiteral("--width"), QStringLiteral("20.1"), file});
        QCOMPARE(r.status, 0);
        COMPARE_JSON(parse(r.out)[0], windowJson(w->Series())[0], QStringLiteral("a0 = 1.5"));
    }

    // A Latin-1 file name (not UTF-8) opens from its folder and as an argument, under its bytes.
    void latin1NameOpens()
    {
        const QString folder = path(QStringLiteral("latin1"));
        QVERIFY(QDir().mkpath(folder));
        const std::string name = report::EncodeArgument(folder) + "/caf\xe9.csv";
        QVERIFY(QFile::copy(fraunhofer + "46NT71.csv", QStringLiteral("%1/plain.csv").arg(folder)));
        QVERIFY(
            std::rename(report::EncodeArgument(folder + QStringLiteral("/plain.csv")).c_str(), name.c_str())
            == 0);
        for (const QString& open : {folder, report::DecodeArgument(name)}) {
            const auto w = opened({open});
            QVERIFY(w);
            QCOMPARE(w->Series().Count(), std::size_t(1));
            QCOMPARE(w->Series().At(0).setup.file, name);
            QVERIFY(w->Series().At(0).result && !w->Series().At(0).result->error);
        }
    }

    // A handle of the elastic fit dragged with the mouse gives the specimen its own range, and the
    // numbers of --modulus-range LO,HI.
    void draggedHandleIsTheModulusRangeOfTensoReport()
    {
        const QStringList files
            = copies({fraunhofer + "46NT71.csv", fraunhofer + "46NTA1.csv"}, path(QStringLiteral("data")));
        const auto w = opened(files);
        QVERIFY(w && QTest::qWaitForWindowExposed(w.get()));
        w->SelectRow(1);
        QCOMPARE(w->CurrentRow(), std::optional<std::size_t>(1));
        auto* chart = w->findChild<ChartView*>(QStringLiteral("specimenChart"));
        QVERIFY(chart);
        QVERIFY(QTest::qWaitFor([chart] { return chart->HandlePositions().has_value(); }, 1000));
        const std::optional<std::pair<QPointF, QPointF>> handles = chart->HandlePositions();

        const double fitLo = w->Series().At(1).result->E->lo;
        const double fitHi = w->Series().At(1).result->E->hi;
        QSignalSpy edited(chart, &ChartView::ModulusRangeEdited);
        // The upper handle, taken halfway down the elastic line.
        const QPoint from = handles->second.toPoint();
        const QPoint to = ((handles->first + handles->second) / 2).toPoint();
        QTest::mousePress(chart, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 8; ++step)
            QTest::mouseMove(chart, from + (to - from) * step / 8);
        QTest::mouseRelease(chart, Qt::LeftButton, {}, to);
        QCOMPARE(edited.count(), 1);
        const double lo = edited.at(0).at(0).toDouble();
        const double hi = edited.at(0).at(1).toDouble();
        QVERIFY2(0 <= lo && lo < hi, qPrintable(QStringLiteral("%1, %2").arg(lo).arg(hi)));
        QVERIFY2(fitLo < hi && hi < fitHi,
            qPrintable(QStringLiteral("%1 not within the fit's %2 to %3").arg(hi).arg(fitLo).arg(fitHi)));

        QVERIFY(sameRange(w->Series().At(1).setup.modulusRange, std::make_pair(lo, hi)));
        QVERIFY(!w->Series().At(0).setup.modulusRange);
        QVERIFY(w->Modified());
        QVERIFY(w->Series().WaitUntilEvaluated());
        const QString range = QString::number(lo, 'g', 17) + QLatin1Char(',') + QString::number(hi, 'g', 17);
        const Run r = reportJson({QStringLiteral("--modulus-range"), range, files[1]});
        QCOMPARE(r.status, 0);
        const QJsonArray actual = windowJson(w->Series());
        COMPARE_JSON(parse(r.out)[0], actual[1], QStringLiteral("range ") + range);
        QCOMPARE(actual[1].toObject().value(QStringLiteral("E")).toObject().value(QStringLiteral("method")),
            QJsonValue(QStringLiteral("range")));
        COMPARE_JSON(parse(reportJson({files[0]}).out)[0], actual[0], QStringLiteral("the other specimen"));
    }

    // What the user set is saved with relative paths, opens again with the same setups and numbers,
    // and tenso-report --evaluation prints the window's CSV and JSON byte for byte.
    void savedEvaluationRoundTrips()
    {
        const QStringList files = copies({examples + "machine_bluehill_style.csv", fraunhofer + "46NT71.csv",
                                             fraunhofer + "46NT99.csv", fraunhofer + "46NTA1.csv"},
            path(QStringLiteral("data")));
        const auto a = opened(files);
        QVERIFY(a);
        QAbstractItemModel* model = specimenModel(*a);
        QVERIFY(model->setData(
            model->index(0, column(model, QStringLiteral("d0 [mm]"))), QStringLiteral("6,25"), Qt::EditRole));
        const QString id = QStringLiteral("Prüfling \"7\"");
        QVERIFY(model->setData(model->index(1, column(model, QStringLiteral("Id"))), id, Qt::EditRole));
        QVERIFY(model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));

        // Row 4's range, set as the drag sets it.
        const std::pair<double, double> range {200.0 / 3.0, 2000.0 / 3.0};
        report::SpecimenSetup ranged = a->Series().At(3).setup;
        ranged.modulusRange = range;
        a->Series().SetSpecimen(3, ranged);
        report::SeriesSetup setup = a->Series().Setup();
        setup.proofPercents = {0.2, 1};
        a->Series().SetSetup(setup);
        QVERIFY(a->Series().WaitUntilEvaluated());
        QVERIFY(a->Modified());

        const QJsonArray shown = windowJson(a->Series());
        QCOMPARE(shown[1].toObject().value(QStringLiteral("id")).toString(), id);
        QCOMPARE(shown[2].toObject().value(QStringLiteral("included")), QJsonValue(false));
        QCOMPARE(shown[3].toObject().value(QStringLiteral("E")).toObject().value(QStringLiteral("method")),
            QJsonValue(QStringLiteral("range")));
        QVERIFY(shown[0].toObject().value(QStringLiteral("Rp")).toObject().contains(QStringLiteral("1")));

        QDir().mkpath(path(QStringLiteral("evaluation")));
        const QString saved = path(QStringLiteral("evaluation/saved.json"));
        QCOMPARE(a->SaveEvaluation(saved), QString());
        QVERIFY(!a->Modified());

        // Relative paths, so that the folder of a series moves with its evaluation.
        QFile text(saved);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray content = text.readAll();
        QVERIFY(!content.contains(dir_->path().toUtf8()));
        const QJsonObject file = QJsonDocument::fromJson(content).object();
        const QJsonArray specimens = file.value(QStringLiteral("specimens")).toArray();
        QCOMPARE(specimens.size(), 4);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(specimens[k].toObject().value(QStringLiteral("file")).toString(),
                QStringLiteral("../data/") + QFileInfo(files[k]).fileName());

        const auto b = opened({saved});
        QVERIFY(b && !b->Modified());
        const LabSeries& sa = a->Series();
        const LabSeries& sb = b->Series();
        // Every setting and setup as it was: the file's text writes each number to the last bit.
        QCOMPARE(
            bytes(report::EvaluationText(sb.Save(), "/")), bytes(report::EvaluationText(sa.Save(), "/")));
        QVERIFY(sameRange(sb.At(3).setup.modulusRange, range));
        QCOMPARE(sb.At(0).setup.specimen.d0, std::optional(6.25));

        for (const bool json : {true, false}) {
            const std::string shownText = SeriesText(sb, json ? Format::Json : Format::Csv);
            QCOMPARE(bytes(shownText), bytes(SeriesText(sa, json ? Format::Json : Format::Csv)));
            const QStringList args = {QStringLiteral("--evaluation"), saved};
            const Run r = json ? reportJson(args) : report(args);
            QCOMPARE(r.status, 0);
            QCOMPARE(r.out, bytes(shownText));
        }
    }

    // A folder without exports, or a name that is not there, adds nothing and says why.
    void folderWithoutExportsSaysSo()
    {
        const QString empty = path(QStringLiteral("empty"));
        QDir().mkpath(empty);
        QFile notes(empty + "/notes.pdf");
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.close();
        const auto w = window();
        QVERIFY(!w->OpenPaths({empty}));
        QCOMPARE(w->Series().Count(), std::size_t(0));
        QVERIFY2(w->LastMessage().contains(QStringLiteral("empty")), qPrintable(w->LastMessage()));
        QVERIFY2(w->LastMessage().contains(QStringLiteral("no exports")), qPrintable(w->LastMessage()));
        QVERIFY(!w->Modified());

        QVERIFY(!w->OpenPaths({path(QStringLiteral("missing.csv"))}));
        QCOMPARE(w->Series().Count(), std::size_t(0));
        QVERIFY2(w->LastMessage().contains(QStringLiteral("missing.csv")), qPrintable(w->LastMessage()));
    }

    // Three files and one that is no export. The bad one keeps its row with tenso-report's message;
    // copy puts the selected rows on the clipboard as the cells show them, under a heading line; a
    // save where nothing can be written says why and keeps the series modified; a file deleted and
    // evaluated again shows the reading error, and the others stay as they were.
    void badFileCopyFailedSaveAndDeletedFile()
    {
        QStringList files = copies(threeFiles, path(QStringLiteral("data")));
        files << path(QStringLiteral("data/bad.csv"));
        {
            QFile f(files[3]);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("this is no export\nat all\n");
        }
        const auto w = opened(files);
        QVERIFY(w);
        QCOMPARE(w->Series().Count(), std::size_t(4));
        const Run bad = reportJson(files);
        QCOMPARE(bad.status, 1);
        const QJsonArray kept = windowJson(w->Series());
        COMPARE_JSON(QJsonValue(parse(bad.out)), QJsonValue(kept), QStringLiteral("with bad.csv"));
        QAbstractItemModel* model = specimenModel(*w);
        QVERIFY(model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QTableView* view = table(*w);
        view->selectionModel()->select(
            view->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->selectionModel()->select(
            view->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QApplication::clipboard()->clear();
        auto* copy = w->findChild<QAction*>(QStringLiteral("actionCopy"));
        QVERIFY(copy);
        copy->trigger();
        const QString text = QApplication::clipboard()->text();
        QVERIFY(text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.chopped(1).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QStringList headings;
        for (int c = 0; c < model->columnCount(); ++c)
            headings << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(lines[0], headings.join(QLatin1Char('\t')));
        QVERIFY(lines[0].startsWith(QStringLiteral("In\tId\tFile\tMaterial\td0 [mm]")));
        const int e = column(model, QStringLiteral("E [GPa]"));
        const int file = column(model, QStringLiteral("File"));
        for (int k = 0; k < 2; ++k) {
            const QStringList cells = lines[k + 1].split(QLatin1Char('\t'));
            QCOMPARE(cells.size(), model->columnCount());
            QCOMPARE(cells[0], k == 0 ? QStringLiteral("yes") : QStringLiteral("no"));
            QCOMPARE(cells[file], QFileInfo(files[k]).fileName());
            QCOMPARE(cells[e], cell(model, k, e));
            QCOMPARE(cells[e], rounded(w->Series().At(static_cast<std::size_t>(k)).result->E->GPa, 1));
        }
        QVERIFY(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));

        QVERIFY(w->Modified());
        const std::string before = SeriesText(w->Series(), Format::Json);
        QStringList places = {path(QStringLiteral("data")), path(QStringLiteral("none/saved.json"))};
        if (geteuid() != 0) {  // root writes into a read-only folder anyway
            QDir().mkpath(path(QStringLiteral("locked")));
            QVERIFY(QFile::setPermissions(path(QStringLiteral("locked")),
                QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
            places << path(QStringLiteral("locked/saved.json"));
        }
        for (const QString& place : places) {
            const QString why = w->SaveEvaluation(place);
            QVERIFY2(!why.isEmpty(), qPrintable(place));
            QCOMPARE(w->LastMessage(), why);
            QVERIFY2(why.contains(QFileInfo(place).fileName()), qPrintable(why));
            QVERIFY(!why.contains(QLatin1Char('\n')));
            QVERIFY(w->Modified());
            QCOMPARE(SeriesText(w->Series(), Format::Json), before);
        }
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("none"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("locked/saved.json"))));

        QVERIFY(QFile::remove(files[1]));
        w->Series().Reevaluate();
        QVERIFY(w->Series().WaitUntilEvaluated());
        QCOMPARE(w->Series().Count(), std::size_t(4));
        QVERIFY(w->Series().At(1).result && w->Series().At(1).result->error);
        const Run r = reportJson(files);
        QCOMPARE(r.status, 1);
        const QJsonArray expected = parse(r.out);
        const QJsonArray actual = windowJson(w->Series());
        COMPARE_JSON(QJsonValue(expected), QJsonValue(actual), QStringLiteral("without 46NT99.csv"));
        COMPARE_JSON(kept[0], actual[0], QStringLiteral("first, as before"));
        COMPARE_JSON(kept[2], actual[2], QStringLiteral("third, as before"));
        QCOMPARE(cell(model, 3, file), QStringLiteral("bad.csv"));
        for (const int row : {1, 3})
            checkErrorRow(model, row, expected[row].toObject().value(QStringLiteral("error")).toString());
        QVERIFY(!cell(model, 2, column(model, QStringLiteral("Rm [MPa]"))).isEmpty());
    }

    // An evaluation file that cannot be read says why and leaves the series as it was.
    void badEvaluationFileSaysWhyAndKeepsTheSeries_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        const QByteArray head = R"({"format": "tenso-lab evaluation", "version": )";
        QTest::newRow("not JSON") << head + R"(1, "specimens": [)"
                                  << "JSON";
        QTest::newRow("a specimen without a file") << head + R"(1, "specimens": [{"id": "x"}]})"
                                                   << "names no file";
        QTest::newRow("no specimens") << head + R"(1, "settings": {}, "specimens": []})"
                                      << "no data file";
        QTest::newRow("another version") << head + R"(2, "specimens": []})"
                                         << "version";
    }

    void badEvaluationFileSaysWhyAndKeepsTheSeries()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        const QStringList files = copies({fraunhofer + "46NT71.csv"}, path(QStringLiteral("data")));
        const QString name = path(QStringLiteral("series.json"));
        {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const auto w = opened(files);
        QVERIFY(w);
        const std::string before = SeriesText(w->Series(), Format::Json);

        // tenso-report refuses the same file.
        const Run r = report({QStringLiteral("--evaluation"), name});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(why.toUtf8()), r.err.constData());

        const bool opened = w->OpenPaths({name});
        QVERIFY(w->Series().WaitUntilEvaluated());
        const bool kept = w->Series().Count() == 1 && SeriesText(w->Series(), Format::Json) == before;
        QVERIFY2(!opened && kept && w->LastMessage().contains(why)
                && w->LastMessage().contains(QStringLiteral("series.json")),
            qPrintable(QStringLiteral("opened: %1, rows: %2, message: %3")
                           .arg(opened)
                           .arg(w->Series().Count())
                           .arg(w->LastMessage())));
    }

    // Every control of the window and of the settings dialog, and every action, has an object name
    // for tests and scripts; Qt's own parts of a view or a spin box are Qt's.
    void everyControlHasAName()
    {
        const auto w = window();
        SettingsDialog dialog(w->Series().Setup(), w.get());
        QStringList unnamed;
        const auto inQtPart = [](const QWidget* widget) {
            for (const QWidget* p = widget->parentWidget(); p; p = p->parentWidget())
                if (qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QAbstractSpinBox*>(p)
                    || qobject_cast<const QComboBox*>(p))
                    return true;
            return false;
        };
        for (const QWidget* top :
            {static_cast<const QWidget*>(w.get()), static_cast<const QWidget*>(&dialog)}) {
            for (const QWidget* c : top->findChildren<QWidget*>()) {
                const bool control = qobject_cast<const QAbstractButton*>(c)
                    || qobject_cast<const QLineEdit*>(c) || qobject_cast<const QAbstractSpinBox*>(c)
                    || qobject_cast<const QComboBox*>(c) || qobject_cast<const QAbstractItemView*>(c)
                    || qobject_cast<const QTabBar*>(c) || qobject_cast<const QProgressBar*>(c)
                    || qobject_cast<const ChartView*>(c);
                if (control && !inQtPart(c) && c->objectName().isEmpty())
                    unnamed << QString::fromLatin1(c->metaObject()->className()) + QStringLiteral(" in ")
                            + c->parentWidget()->objectName();
            }
        }
        // The menus of the menu bar and their submenus (the bar's own overflow menu is Qt's).
        std::vector<const QMenu*> menus;
        for (const QAction* a : w->menuBar()->actions())
            if (a->menu())
                menus.push_back(a->menu());
        for (std::size_t k = 0; k < menus.size(); ++k) {
            if (menus[k]->objectName().isEmpty())
                unnamed << QStringLiteral("QMenu ") + menus[k]->title();
            for (const QAction* a : menus[k]->actions())
                if (a->menu())
                    menus.push_back(a->menu());
        }
        for (const QAction* a : w->findChildren<QAction*>())
            if (a->objectName().isEmpty() && !a->isSeparator() && !a->menu() && !a->text().isEmpty())
                unnamed << QStringLiteral("QAction ") + a->text();
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }
};

}  // namespace tenso::lab

QTEST_MAIN(tenso::lab::LabWindowTest)
#include "lab_window_test.moc"
