#include "progress.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace tenso::report {

Progress::Progress(std::size_t total)
    : total_(total)
    , terminal_(isatty(STDERR_FILENO) == 1)
    , start_(Clock::now())
    , shown_(start_)
{ }

Progress::~Progress() { Clear(); }

void Progress::Clear()
{
    if (width_ == 0)
        return;
    const std::string blank = "\r" + std::string(width_, ' ') + "\r";
    std::fputs(blank.c_str(), stderr);
    std::fflush(stderr);
    width_ = 0;
}

void Progress::Update(std::size_t done)
{
    if (!terminal_)
        return;
    const auto now = Clock::now();
    // A second before the first line, then at most ten lines a second.
    if (now - start_ < std::chrono::seconds(1)
        || (width_ > 0 && now - shown_ < std::chrono::milliseconds(100)))
        return;
    shown_ = now;
    const std::string line = std::to_string(done) + " / " + std::to_string(total_) + " files";
    std::string text = "\r" + line;
    if (line.size() < width_)
        text += std::string(width_ - line.size(), ' ');
    width_ = std::max(width_, line.size());
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace tenso::report
