#include "ordered_pool.h"

#include "standard/evaluation.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tenso::report {

void EvaluateInOrder(std::size_t count, std::size_t threads, std::size_t waitingPerThread,
    const std::function<standard::Result(std::size_t)>& evaluate,
    const std::function<bool(std::size_t, standard::Result&)>& consume)
{
    if (threads == 0)
        threads = std::max(1U, std::thread::hardware_concurrency());
    threads = std::min(threads, count);
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            standard::Result r = evaluate(i);
            if (!consume(i, r))
                return;
        }
        return;
    }

    // A slot per result that may wait for its turn. The consumer and the workers wait on conditions
    // of their own, so that a finished file wakes only the consumer and a consumed one only the
    // workers: with short files, needless wake-ups cost more than the files.
    const std::size_t ahead = std::max<std::size_t>(1, waitingPerThread) * threads;
    std::vector<std::optional<standard::Result>> slots(ahead);
    std::mutex mutex;
    std::condition_variable resultReady, slotFree;
    std::size_t next = 0;  // the next index a worker takes
    std::size_t consumed = 0;  // every index below it is handed over
    bool stop = false;

    const auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            slotFree.wait(lock, [&] { return stop || next >= count || next < consumed + ahead; });
            if (stop || next >= count)
                return;
            const std::size_t i = next++;
            lock.unlock();
            std::optional<standard::Result> r;
            try {
                r = evaluate(i);
            } catch (...) {  // evaluate reports a bad file in its result; this is only a last guard
                r.emplace();
                r->error = "internal error while evaluating this file";
            }
            lock.lock();
            slots[i % ahead] = std::move(r);
            if (i == consumed)  // the one the consumer waits for; later ones it finds ready
                resultReady.notify_one();
        }
    };
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (std::size_t t = 0; t < threads; ++t)
        workers.emplace_back(work);

    for (std::size_t i = 0; i < count; ++i) {
        std::optional<standard::Result> r;
        {
            std::unique_lock lock(mutex);
            resultReady.wait(lock, [&] { return slots[i % ahead].has_value(); });
            r = std::move(slots[i % ahead]);
            slots[i % ahead].reset();
        }
        const bool go_on = consume(i, *r);
        {
            const std::lock_guard lock(mutex);
            consumed = i + 1;
            stop = !go_on;
        }
        slotFree.notify_all();
        if (!go_on)
            break;
    }
    for (std::thread& w : workers)
        w.join();
}

}  // namespace tenso::report
