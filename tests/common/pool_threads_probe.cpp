// Runs the ordered pool with one thread per usable core and checks that evaluations ran on as many
// threads as the first argument says. Each evaluation waits until that many threads have joined in
// (or five seconds have passed), so a pool with fewer threads shows up as fewer, not as a hang; the
// first one then waits a little more, so that a pool with more shows up as more. Run as `taskset -c 0
// pool_threads_probe 1` by ctest: the pool must honour the affinity mask rather than count the machine's
// cores.
#include "common/ordered_pool.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pool_threads_probe EXPECTED_THREADS\n");
        return 2;
    }
    const std::size_t expected = std::strtoul(argv[1], nullptr, 10);
    std::mutex mutex;
    std::condition_variable joined;
    std::set<std::thread::id> threads;
    tenso::common::EvaluateInOrder<int>(
        64, 0, 2,
        [&](std::size_t i, int&) {
            std::unique_lock lock(mutex);
            threads.insert(std::this_thread::get_id());
            joined.notify_all();
            joined.wait_for(lock, std::chrono::seconds(5), [&] { return threads.size() >= expected; });
            // The first item holds its thread a little longer, time for a thread too many to show up.
            if (i == 0)
                joined.wait_for(
                    lock, std::chrono::milliseconds(300), [&] { return threads.size() > expected; });
        },
        [](std::size_t, int&) { return true; });
    std::printf("evaluated on %zu thread(s), %zu expected\n", threads.size(), expected);
    return threads.size() == expected ? 0 : 1;
}
