#include "common/ordered_pool.h"

#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace tenso::common {
namespace {

using Produce = std::function<void(std::size_t, std::size_t)>;
using Consume = std::function<bool(std::size_t, std::size_t)>;

// The workers and the consumer wait on conditions of their own, so that a finished item wakes only
// the consumer, and only when it is the one the consumer waits for, and a consumed one wakes only
// one worker: with short files, needless wake-ups cost more than the files.
class Pool {
public:
    Pool(std::size_t count, PoolShape shape, const Produce& produce, const Consume& consume)
        : count_(count)
        , threads_(shape.threads)
        , ahead_(shape.waiting)
        , produce_(produce)
        , consume_(consume)
        , slots_(shape.slotCount)
    { }

    void Run()
    {
        try {
            workers_.reserve(threads_);
            for (std::size_t t = 0; t < threads_; ++t)
                workers_.emplace_back([this] { work(); });
            consumeInOrder();
        } catch (...) {
            stop();
            throw;
        }
        stop();
    }

private:
    struct Slot {
        std::exception_ptr thrown;
        bool ready = false;
    };

    std::size_t slotOf(std::size_t item) const { return item % slots_.size(); }

    void work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            // Item i may start once the consumer holds i - ahead_: its slot, that of item
            // i - ahead_ - 1, is then consumed, and at most ahead_ results wait beside the one held.
            slotFree_.wait(lock, [&] { return stopping_ || next_ >= count_ || next_ < handed_ + ahead_; });
            if (stopping_ || next_ >= count_)
                return;
            const std::size_t i = next_++;
            lock.unlock();
            std::exception_ptr thrown;
            try {
                produce_(i, slotOf(i));
            } catch (...) {
                thrown = std::current_exception();
            }
            lock.lock();
            Slot& slot = slots_[slotOf(i)];
            slot.thrown = std::move(thrown);
            slot.ready = true;
            if (i == handed_)  // the one the consumer waits for; later ones it finds ready
                resultReady_.notify_one();
        }
    }

    void consumeInOrder()
    {
        for (std::size_t i = 0; i < count_; ++i) {
            std::exception_ptr thrown;
            {
                std::unique_lock lock(mutex_);
                Slot& slot = slots_[slotOf(i)];
                resultReady_.wait(lock, [&] { return slot.ready; });
                slot.ready = false;
                thrown = std::exchange(slot.thrown, nullptr);
                handed_ = i + 1;
            }
            slotFree_.notify_one();  // item i - 1 is consumed: one more item may start
            if (thrown)
                std::rethrow_exception(thrown);
            if (!consume_(i, slotOf(i)))
                return;
        }
    }

    void stop()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        slotFree_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }

    const std::size_t count_, threads_, ahead_;
    const Produce& produce_;
    const Consume& consume_;
    std::vector<Slot> slots_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable resultReady_, slotFree_;
    std::size_t next_ = 0;  // the next item a worker takes
    std::size_t handed_ = 0;  // items handed to the consumer
    bool stopping_ = false;
};

}  // namespace

std::size_t UsableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0)
            return static_cast<std::size_t>(n);
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

std::size_t PoolThreads(std::size_t count, std::size_t requested)
{
    return std::clamp<std::size_t>(
        requested == 0 ? UsableCores() : requested, 1, std::max<std::size_t>(count, 1));
}

PoolShape ShapeOfPool(std::size_t count, std::size_t requestedThreads, std::size_t waitingPerThread)
{
    PoolShape shape;
    shape.threads = PoolThreads(count, requestedThreads);
    // One thread evaluates and consumes in turn on the calling thread, in one slot.
    if (shape.threads > 1)
        shape.waiting = std::max<std::size_t>(waitingPerThread, 1) * shape.threads;
    // The items in flight, from the one consumed to the last one waiting, each have a slot of their
    // own; a short series needs no more slots than items.
    shape.slotCount = std::min(count, shape.waiting + 1);
    return shape;
}

void RunInOrder(std::size_t count, PoolShape shape, const Produce& produce, const Consume& consume)
{
    if (shape.threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            produce(i, 0);
            if (!consume(i, 0))
                return;
        }
        return;
    }
    Pool(count, shape, produce, consume).Run();
}

}  // namespace tenso::common
