// Tenso Lab in use: a series of 100 exports of 2000 records opened until every result is shown
// (goal: within 1 s), and an edited diameter or a new range of E re-evaluated and repainted (goal:
// within 50 ms). The window is real, on the offscreen platform.

#include "lab_series.h"
#include "main_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace {

// A force-extension export of a round steel specimen whose header gives d0 and L0, so that it
// evaluates with the plain call.
QByteArray SteelExport(int records, int k)
{
    QByteArray text = "Specimen id;B-" + QByteArray::number(k)
        + "\nDiameter;10;mm\nGauge length;50;mm\n"
          "Force;Extension\nkN;mm\n";
    const double S0 = 78.53981633974483;
    for (int i = 0; i < records; ++i) {
        const double e = 0.25 * i / (records - 1);
        double R = e * 210000;
        if (R > 350)
            R = 350 + 210 * (1 - std::exp(-(e - 350.0 / 210000) / 0.06)) + 1.5 * std::sin(i + k);
        if (e > 0.2)
            R -= (e - 0.2) * 1500;
        text += QByteArray::number(R * S0 / 1000, 'f', 4) + ';' + QByteArray::number(e * 50, 'f', 5) + '\n';
    }
    return text;
}

QStringList WriteSeries(const QTemporaryDir& dir, int files, int records)
{
    QStringList paths;
    for (int k = 0; k < files; ++k) {
        const QString path = dir.filePath(QStringLiteral("steel-%1.csv").arg(k, 3, 10, QLatin1Char('0')));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(SteelExport(records, k)) < 0)
            std::abort();
        paths << path;
    }
    return paths;
}

void OpenHundredFiles(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = WriteSeries(dir, 100, 2000);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        tenso::lab::MainWindow window;
        window.show();
        window.OpenPaths(paths);
        if (!window.Series().WaitUntilEvaluated())
            state.SkipWithError("not evaluated in 30 s");
        window.repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(OpenHundredFiles)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// An edit of one specimen among 100: its re-evaluation arrives and the window repaints.
void EditOneSpecimen(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList paths = WriteSeries(dir, 100, 2000);
    tenso::lab::MainWindow window;
    window.show();
    window.OpenPaths(paths);
    window.Series().WaitUntilEvaluated();
    window.SelectRow(50);
    bool wide = false;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        tenso::report::SpecimenSetup setup = window.Series().At(50).setup;
        if (state.range(0) == 0)
            setup.specimen.d0 = wide ? 10.0 : 10.02;
        else
            setup.modulusRange = wide ? std::make_pair(50.0, 250.0) : std::make_pair(60.0, 240.0);
        wide = !wide;
        window.Series().SetSpecimen(50, setup);
        window.Series().WaitUntilEvaluated();
        window.repaint();
    }
}
BENCHMARK(EditOneSpecimen)->Arg(0)->Arg(1)->ArgNames({"range"})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);  // the window's settings stay out of the user's
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
