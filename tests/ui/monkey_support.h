#pragma once

// Helpers of the monkey test: a seeded random source, a log of the last actions, a watchdog that
// ends a run whose action never returns, and the data files the monkey browses.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <iterator>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tenso::test {

// The same sequence for the same seed (the engine is fully specified; no library distributions).
class Rng {
public:
    explicit Rng(uint64_t seed)
        : engine_(seed)
    { }
    size_t Below(size_t n) { return static_cast<size_t>(engine_() % n); }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    template <class C> const auto& Pick(const C& items)
    {
        const auto n = std::size(items);  // qsizetype for Qt's lists
        return items[static_cast<decltype(n)>(Below(static_cast<size_t>(n)))];
    }

private:
    std::mt19937_64 engine_;
};

// The last actions, for the failure message. Locked, because the watchdog reads it from its thread.
class ActionLog {
public:
    void Add(std::string line);
    std::string Recent() const;  // the last lines, oldest first
    void Clear();

private:
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
    uint64_t count_ = 0;
};

// Every action must come back. The watchdog thread ends the process with `context` (seed and recent
// actions) when one armed action is still running after the limit: a hang would otherwise only show
// as the test runner's timeout, without the seed.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Arm(std::string context);
    void Disarm();

private:
    void watch();

    std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::string context_;
    bool stop_ = false;
    std::thread thread_;
};

// The data files of the monkey's folder, good steel curves and every kind of bad file; `name` is
// relative to the folder.
struct DataFileRecipe {
    std::string name;
    std::string content;
};
std::vector<DataFileRecipe> MonkeyDataFiles(uint64_t seed);

// A steel curve: five header lines, then `records` records "strain,stress" (micro-strain, MPa),
// elastic up to about 1700 micro-strain with a slope of 0.205 MPa per micro-strain, then work
// hardening with a small ripple that makes valleys.
std::string SteelCurve(int records, const char* separator = ",", const char* lineEnd = "\r\n");

}  // namespace tenso::test
