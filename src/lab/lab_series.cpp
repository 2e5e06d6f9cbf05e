#include "lab_series.h"

#include "series.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

#include <algorithm>
#include <memory>
#include <utility>

namespace tenso::lab {

LabSeries::LabSeries(QObject* parent)
    : QObject(parent)
{
    // A 1,000,000-record file holds its curve while it is thinned: one file per core at a time.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

LabSeries::~LabSeries()
{
    pool_.clear();
    pool_.waitForDone();
}

void LabSeries::SetSetup(const report::SeriesSetup& setup)
{
    setup_ = setup;
    for (LabSpecimen& s : specimens_)
        evaluate(s);
    Q_EMIT AboutToReset();  // the columns follow the proof strengths
    Q_EMIT Reset();
    updateStatistics();
}

std::optional<std::size_t> LabSeries::Find(const std::string& file) const
{
    for (std::size_t row = 0; row < specimens_.size(); ++row)
        if (specimens_[row].setup.file == file)
            return row;
    return std::nullopt;
}

std::size_t LabSeries::Add(const std::vector<std::string>& files)
{
    std::vector<std::string> fresh;
    for (const std::string& file : files)
        if (!Find(file) && std::find(fresh.begin(), fresh.end(), file) == fresh.end())
            fresh.push_back(file);
    if (fresh.empty())
        return 0;
    Q_EMIT AboutToReset();
    for (const std::string& file : fresh) {
        LabSpecimen s;
        s.setup.file = file;
        s.key = nextKey_++;
        specimens_.push_back(std::move(s));
        evaluate(specimens_.back());
    }
    Q_EMIT Reset();
    return fresh.size();
}

void LabSeries::Remove(std::vector<std::size_t> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return;
    Q_EMIT AboutToReset();
    std::reverse(rows.begin(), rows.end());  // from the back, so that each row stays where it is
    for (const std::size_t row : rows) {
        if (row >= specimens_.size())
            continue;
        if (specimens_[row].pending)
            --asked_;  // it will not arrive
        specimens_.erase(specimens_.begin() + static_cast<std::ptrdiff_t>(row));
    }
    Q_EMIT Reset();
    updateStatistics();
    Q_EMIT Progress(arrived_, asked_);  // the last pending ones may be gone: the series is done
}

void LabSeries::Load(const report::Evaluation& evaluation)
{
    Q_EMIT AboutToReset();
    pool_.clear();
    specimens_.clear();
    asked_ = arrived_ = 0;
    setup_ = evaluation.series;
    for (const report::SpecimenSetup& setup : evaluation.specimens) {
        LabSpecimen s;
        s.setup = setup;
        s.key = nextKey_++;
        specimens_.push_back(std::move(s));
        evaluate(specimens_.back());
    }
    Q_EMIT Reset();
    updateStatistics();
}

report::Evaluation LabSeries::Save() const
{
    report::Evaluation e;
    e.series = setup_;
    for (const LabSpecimen& s : specimens_)
        e.specimens.push_back(s.setup);
    return e;
}

void LabSeries::SetSpecimen(std::size_t row, const report::SpecimenSetup& setup)
{
    if (row >= specimens_.size())
        return;
    LabSpecimen& s = specimens_[row];
    s.setup = setup;
    evaluate(s);
    Q_EMIT SpecimenChanged(row);
}

void LabSeries::SetIncluded(std::size_t row, bool included)
{
    if (row >= specimens_.size() || specimens_[row].setup.included == included)
        return;
    specimens_[row].setup.included = included;
    Q_EMIT SpecimenChanged(row);
    updateStatistics();
}

void LabSeries::Reevaluate()
{
    for (std::size_t row = 0; row < specimens_.size(); ++row) {
        evaluate(specimens_[row]);
        Q_EMIT SpecimenChanged(row);
    }
}

std::size_t LabSeries::PendingCount() const
{
    return static_cast<std::size_t>(
        std::count_if(specimens_.begin(), specimens_.end(), [](const LabSpecimen& s) { return s.pending; }));
}

// NOLINTNEXTLINE(readability-make-member-function-const): the events it runs deliver results
bool LabSeries::WaitUntilEvaluated(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (PendingCount() > 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return PendingCount() == 0;
}

void LabSeries::evaluate(LabSpecimen& specimen)
{
    if (!specimen.pending && arrived_ == asked_)
        asked_ = arrived_ = 0;  // a new run of work: the progress starts again
    if (!specimen.pending)
        ++asked_;
    specimen.pending = true;
    specimen.generation = nextGeneration_++;
    const std::string file = specimen.setup.file;
    const standard::Options options = report::OptionsFor(setup_, specimen.setup);
    const std::uint64_t key = specimen.key;
    const std::uint64_t generation = specimen.generation;
    pool_.start([this, file, options, key, generation] {
        auto result = std::make_shared<standard::Result>();
        auto chart = std::make_shared<report::ChartData>();
        try {
            *result = report::EvaluateWith(file, options, true);
            *chart = report::MakeChartData(*result);
        } catch (...) {  // out of memory while thinning: the file's row says so
            *result = standard::Result {};
            result->file = file;
            result->error = "internal error while evaluating this file";
            *chart = report::ChartData {};
        }
        result->curve = {};
        // Delivered on the series' thread; dropped by Qt if the series is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, key, generation, result, chart] {
                deliver(key, generation, std::move(*result), std::move(*chart));
            },
            Qt::QueuedConnection);
    });
}

void LabSeries::deliver(
    std::uint64_t key, std::uint64_t generation, standard::Result result, report::ChartData chart)
{
    const auto it = std::find_if(
        specimens_.begin(), specimens_.end(), [key](const LabSpecimen& s) { return s.key == key; });
    if (it == specimens_.end() || it->generation != generation)
        return;  // removed, or asked again since
    it->result = std::move(result);
    it->chart = std::move(chart);
    it->pending = false;
    ++arrived_;
    const auto row = static_cast<std::size_t>(it - specimens_.begin());
    Q_EMIT SpecimenChanged(row);
    Q_EMIT Progress(arrived_, asked_);
    updateStatistics();
}

void LabSeries::updateStatistics()
{
    standard::SeriesStatistics statistics(setup_.proofPercents);
    for (const LabSpecimen& s : specimens_)
        if (s.setup.included && s.result)
            statistics.Add(*s.result);
    statistics_ = statistics.Compute();
    Q_EMIT StatisticsChanged();
}

}  // namespace tenso::lab
