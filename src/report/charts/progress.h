#pragma once
// The progress line of a long call ("37 / 500 files") on standard error, replaced in place and
// erased at the end. Only on a terminal, and only once the call has lasted a second, so that a short
// call or a redirected output shows nothing of it.

#include <chrono>
#include <cstddef>

namespace tenso::report {

class Progress {
public:
    explicit Progress(std::size_t total);
    ~Progress();  // erases the line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` files are finished.
    void Update(std::size_t done);
    // Erases the line, for a message; the next update shows it again.
    void Clear();

private:
    using Clock = std::chrono::steady_clock;
    std::size_t total_;
    bool terminal_;
    Clock::time_point start_, shown_;
    std::size_t width_ = 0;  // of the line on screen; 0: nothing shown
};

}  // namespace tenso::report
