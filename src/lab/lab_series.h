#pragma once
// The series of Tenso Lab: its specimens (a data file each, with what the user set for it) and
// their evaluations, made on worker threads so that the window never waits for a file. Each
// specimen is evaluated as tenso-report evaluates it (report::EvaluateWith), so that the numbers
// are the same to the last bit.

#include "evaluation_file.h"

#include "charts/chart_data.h"
#include "standard/evaluation.h"
#include "standard/statistics.h"

#include <QObject>
#include <QThreadPool>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tenso::lab {

struct LabSpecimen {
    report::SpecimenSetup setup;
    // The last evaluation that arrived, its curve dropped (the chart keeps a thinned copy); unset
    // until the first one arrives.
    std::optional<standard::Result> result;
    report::ChartData chart;
    bool pending = false;  // an evaluation asked for has not arrived yet
    std::uint64_t key = 0;  // identifies the specimen while rows come and go
    std::uint64_t generation = 0;  // of the evaluation asked for last: an older one is dropped
};

class LabSeries : public QObject {
    Q_OBJECT
public:
    explicit LabSeries(QObject* parent = nullptr);
    ~LabSeries() override;
    LabSeries(const LabSeries&) = delete;
    LabSeries& operator=(const LabSeries&) = delete;

    const report::SeriesSetup& Setup() const { return setup_; }
    // New settings re-evaluate every specimen.
    void SetSetup(const report::SeriesSetup& setup);

    std::size_t Count() const { return specimens_.size(); }
    const LabSpecimen& At(std::size_t row) const { return specimens_[row]; }
    // The row of a file already in the series, if any.
    std::optional<std::size_t> Find(const std::string& file) const;

    // Appends the files (absolute paths, bytes) that are not in the series yet and evaluates them.
    // Returns how many were added.
    std::size_t Add(const std::vector<std::string>& files);
    void Remove(std::vector<std::size_t> rows);
    // Replaces the series by a saved evaluation.
    void Load(const report::Evaluation& evaluation);
    report::Evaluation Save() const;

    // What the user set for one specimen: re-evaluates it at once (an inclusion only changes the
    // statistics).
    void SetSpecimen(std::size_t row, const report::SpecimenSetup& setup);
    void SetIncluded(std::size_t row, bool included);
    // Evaluates every specimen again from its file (a file changed or deleted on disk).
    void Reevaluate();

    // Over the included specimens that were evaluated, in the order of the rows.
    const standard::Statistics& Statistics() const { return statistics_; }
    std::size_t PendingCount() const;
    // Runs the event loop until no evaluation is pending or `timeoutMs` has passed; true when none is.
    bool WaitUntilEvaluated(int timeoutMs = 30000);

Q_SIGNALS:
    void AboutToReset();
    void Reset();  // rows added, removed or replaced
    void SpecimenChanged(std::size_t row);  // its setup or its result
    void StatisticsChanged();
    void Progress(std::size_t done, std::size_t total);  // of the evaluations asked for since idle

private:
    void evaluate(LabSpecimen& specimen);
    void deliver(
        std::uint64_t key, std::uint64_t generation, standard::Result result, report::ChartData chart);
    void updateStatistics();

    report::SeriesSetup setup_;
    std::vector<LabSpecimen> specimens_;
    std::uint64_t nextKey_ = 1;
    std::uint64_t nextGeneration_ = 1;
    std::size_t asked_ = 0, arrived_ = 0;  // since the series was last idle, for the progress
    standard::Statistics statistics_;
    QThreadPool pool_;
};

}  // namespace tenso::lab
