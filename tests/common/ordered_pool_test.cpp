// The ordered pool that tenso-eval and tenso-report evaluate their series on: order, the bound on
// waiting results, stopping early, and exceptions on either side, with timings that make later
// items finish first.
#include "common/ordered_pool.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tenso::common {
namespace {

using namespace std::chrono_literals;

// The threads of this process, from /proc: a worker that was not ended would still be listed.
int ThreadsOfThisProcess()
{
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(dir))
            n += entry->d_name[0] != '.';
        ::closedir(dir);
    }
    return n;
}

// Waits until `done` holds, at most five seconds (a busy machine may hold a thread up).
template <class Condition> bool Eventually(const Condition& done)
{
    for (int k = 0; k < 5000 && !done(); ++k)
        std::this_thread::sleep_for(1ms);
    return done();
}

struct Item {
    std::size_t index = 0;
    std::string text;
};

TEST(EvaluateInOrder, HandsResultsOverInIndexOrderWhateverFinishesFirst)
{
    const std::thread::id caller = std::this_thread::get_id();
    for (const std::size_t threads : {1U, 2U, 5U}) {
        std::vector<std::size_t> seen;
        std::atomic<int> evaluations {0};
        EvaluateInOrder<Item>(
            40, threads, 2,
            [&](std::size_t i, Item& r) {
                ++evaluations;
                std::this_thread::sleep_for(i % 4 == 0 ? 6ms : 1ms);  // the early ones slower
                r.index = i;
                r.text = std::to_string(i * i);
            },
            [&](std::size_t i, Item& r) {
                EXPECT_EQ(r.index, i);
                EXPECT_EQ(r.text, std::to_string(i * i));  // the whole result, from its own item
                EXPECT_EQ(std::this_thread::get_id(), caller);  // the writer is never a worker
                seen.push_back(i);
                return true;
            });
        ASSERT_EQ(seen.size(), 40U) << threads;
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(seen[i], i) << threads;
        EXPECT_EQ(evaluations.load(), 40) << threads;  // each item once
    }
}

TEST(EvaluateInOrder, NoMoreThanWaitingPerThreadTimesThreadsResultsWait)
{
    // 2 threads x 3 = 6 results may wait beside the one being consumed. While the consumer holds
    // item 0, items 1 to 6 are evaluated and item 7 is not: its slot would be item 0's.
    constexpr std::size_t Waiting = 6;
    std::atomic<std::size_t> started {0};
    std::atomic<long> consumedUpTo {-1};  // the last item whose consumption returned
    std::atomic<bool> beyondTheBound {false};
    EvaluateInOrder<std::size_t>(
        100, 2, 3,
        [&](std::size_t i, std::size_t& r) {
            if (static_cast<long>(i) > consumedUpTo.load() + 1 + static_cast<long>(Waiting))
                beyondTheBound = true;
            ++started;
            r = i;
        },
        [&](std::size_t i, std::size_t& r) {
            EXPECT_EQ(r, i);
            if (i == 0) {
                EXPECT_TRUE(Eventually([&] { return started.load() == 1 + Waiting; })) << started.load();
                std::this_thread::sleep_for(30ms);
                EXPECT_EQ(started.load(), 1 + Waiting);  // nothing beyond, however long the wait
            }
            consumedUpTo = static_cast<long>(i);
            return true;
        });
    EXPECT_FALSE(beyondTheBound.load());
    EXPECT_EQ(started.load(), 100U);
}

TEST(EvaluateInOrder, StopsWhenTheConsumerSaysSo)
{
    for (const std::size_t threads : {1U, 2U}) {
        const int before = ThreadsOfThisProcess();
        std::atomic<std::size_t> evaluated {0};
        std::size_t consumed = 0;
        EvaluateInOrder<int>(
            1000, threads, 2, [&](std::size_t, int&) { ++evaluated; },
            [&](std::size_t, int&) { return ++consumed < 3; });
        EXPECT_EQ(consumed, 3U);
        // Items 0..2 and at most the 2 x 2 that may wait beyond the last one consumed.
        EXPECT_LE(evaluated.load(), 3U + 2 * threads);
        const std::size_t atReturn = evaluated.load();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(evaluated.load(), atReturn);  // no worker goes on after the return
        EXPECT_EQ(ThreadsOfThisProcess(), before);
    }
}

struct BadFile : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(EvaluateInOrder, AnExceptionOfEvaluateReachesTheCallerAtItsItemsTurn)
{
    for (const std::size_t threads : {1U, 3U}) {
        const int before = ThreadsOfThisProcess();
        std::vector<std::size_t> consumed;
        try {
            EvaluateInOrder<std::size_t>(
                50, threads, 4,
                [&](std::size_t i, std::size_t& r) {
                    if (i == 7)
                        throw BadFile("item 7");
                    // Items after 7 finish first: the exception must still wait for 7's turn.
                    std::this_thread::sleep_for(i < 7 ? 5ms : 0ms);
                    r = i;
                },
                [&](std::size_t i, std::size_t& r) {
                    EXPECT_EQ(r, i);
                    consumed.push_back(i);
                    return true;
                });
            ADD_FAILURE() << "no exception, " << threads << " threads";
        } catch (const BadFile& e) {
            EXPECT_STREQ(e.what(), "item 7");
        }
        EXPECT_EQ(consumed, (std::vector<std::size_t> {0, 1, 2, 3, 4, 5, 6})) << threads;
        EXPECT_EQ(ThreadsOfThisProcess(), before) << threads;
    }
}

TEST(EvaluateInOrder, AnExceptionOfAnItemAfterTheStopIsNeverThrown)
{
    std::size_t consumed = 0;
    EXPECT_NO_THROW(EvaluateInOrder<int>(
        20, 2, 4,
        [&](std::size_t i, int&) {
            if (i == 4)
                throw BadFile("item 4");
        },
        [&](std::size_t, int&) { return ++consumed < 2; }));
    EXPECT_EQ(consumed, 2U);
}

TEST(EvaluateInOrder, AnExceptionOfTheConsumerStopsAndJoinsTheWorkers)
{
    for (const std::size_t threads : {1U, 2U, 4U}) {
        const int before = ThreadsOfThisProcess();
        std::atomic<int> running {0};
        std::atomic<std::size_t> evaluated {0};
        std::size_t consumed = 0;
        EXPECT_THROW(EvaluateInOrder<int>(
                         200, threads, 8,
                         [&](std::size_t, int&) {
                             ++running;
                             std::this_thread::sleep_for(1ms);
                             ++evaluated;
                             --running;
                         },
                         [&](std::size_t, int&) {
                             if (++consumed == 4)
                                 throw std::runtime_error("disk full");
                             return true;
                         }),
            std::runtime_error);
        EXPECT_EQ(consumed, 4U);
        EXPECT_EQ(running.load(), 0) << threads;  // no evaluation still under way
        const std::size_t atReturn = evaluated.load();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(evaluated.load(), atReturn) << threads;
        EXPECT_LT(atReturn, 200U);  // stopped, not run to the end
        EXPECT_EQ(ThreadsOfThisProcess(), before) << threads;
    }
}

}  // namespace
}  // namespace tenso::common
