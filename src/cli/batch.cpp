#include "batch.h"

#include "plot/null_surface.h"

#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace tenso {
namespace {

// Cores this process may run on (a container or taskset may allow fewer than the machine has).
unsigned usableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0)
            return static_cast<unsigned>(n);
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

struct Slot {
    FileEvaluation result;
    std::exception_ptr thrown;
    bool ready = false;
};

// Results in flight per thread: enough that the others run on while one thread, or the writer, is
// held up (by a slow file, or by the scheduler on a busy machine).
constexpr size_t SlotsPerThread = 32;

class Batch {
public:
    Batch(const std::vector<std::string>& files, const EvaluationSettings& settings, unsigned threads)
        : files_(files)
        , settings_(settings)
        , slots_(std::min(files.size(), size_t {threads} * SlotsPerThread))
    {
        for (auto& slot : slots_)
            slot = std::make_unique<Slot>();
    }

    void Run(unsigned threads, const std::function<void(const FileEvaluation&)>& take)
    {
        std::vector<std::thread> workers;
        workers.reserve(threads);
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([this] { work(); });
        try {
            for (size_t i = 0; i < files_.size(); ++i) {
                Slot& slot = slotOf(i);
                {
                    std::unique_lock lock(mutex_);
                    readyChanged_.wait(lock, [&] { return slot.ready; });
                }
                if (slot.thrown)
                    std::rethrow_exception(slot.thrown);
                take(slot.result);
                {
                    const std::lock_guard lock(mutex_);
                    slot.ready = false;
                    taken_ = i + 1;
                }
                slotFreed_.notify_all();
            }
        } catch (...) {
            stop(workers);
            throw;
        }
        stop(workers);
    }

private:
    Slot& slotOf(size_t file) { return *slots_[file % slots_.size()]; }

    void work()
    {
        NullSurface nothing;
        for (;;) {
            size_t i = 0;
            {
                std::unique_lock lock(mutex_);
                slotFreed_.wait(lock,
                    [&] { return stopping_ || next_ >= files_.size() || next_ < taken_ + slots_.size(); });
                if (stopping_ || next_ >= files_.size())
                    return;
                i = next_++;
            }
            Slot& slot = slotOf(i);
            try {
                Evaluate(files_[i], settings_, nothing, slot.result);
            } catch (...) {
                slot.thrown = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                slot.ready = true;
            }
            readyChanged_.notify_all();
        }
    }

    void stop(std::vector<std::thread>& workers)
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        slotFreed_.notify_all();
        for (std::thread& w : workers)
            w.join();
    }

    const std::vector<std::string>& files_;
    const EvaluationSettings& settings_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::mutex mutex_;
    std::condition_variable readyChanged_;  // a slot's result is ready
    std::condition_variable slotFreed_;  // a slot was taken, or the batch stops
    size_t next_ = 0;  // the next file to evaluate
    size_t taken_ = 0;  // files handed to the caller
    bool stopping_ = false;
};

}  // namespace

unsigned BatchThreads(size_t files)
{
    return static_cast<unsigned>(std::clamp<size_t>(files, 1, usableCores()));
}

void EvaluateInOrder(const std::vector<std::string>& files, const EvaluationSettings& settings,
    unsigned threads, const std::function<void(const FileEvaluation&)>& take)
{
    if (files.empty())
        return;
    threads = std::max(1U, threads);
    Batch(files, settings, threads).Run(threads, take);
}

}  // namespace tenso
