#pragma once
// Evaluates a series on several threads and hands the results to the calling thread one by one, in
// the order of the series, as soon as each one and all before it are done: tenso-eval and
// tenso-report print every file in argument order while later files are still being evaluated.
// Only a bounded number of results wait for their turn, so memory does not grow with the series.

#include <cstddef>
#include <functional>
#include <vector>

namespace tenso::common {

// The cores this process may run on: its affinity mask (taskset, a container's cpuset), which may
// allow fewer than the machine has; the machine's count when the mask cannot be read; at least 1.
std::size_t UsableCores();

// The threads a pool of `count` items runs on when `requested` are asked for, 0 meaning one per
// usable core: at most `count`, at least 1.
std::size_t PoolThreads(std::size_t count, std::size_t requested);

// The part of the pool that does not depend on the result's type: `threads` workers, at most
// `waiting` results waiting beside the one consumed, in `slotCount` places for results.
// `produce(i, slot)` runs on the workers, `consume(i, slot)` on the calling thread, in order.
struct PoolShape {
    std::size_t threads = 1;
    std::size_t waiting = 0;
    std::size_t slotCount = 0;  // not "slots", which Qt defines as a keyword
};
PoolShape ShapeOfPool(std::size_t count, std::size_t requestedThreads, std::size_t waitingPerThread);
void RunInOrder(std::size_t count, PoolShape shape,
    const std::function<void(std::size_t, std::size_t)>& produce,
    const std::function<bool(std::size_t, std::size_t)>& consume);

// Evaluates items 0 .. count - 1 on `threads` threads (0: one per usable core; at most `count`, at
// least 1) and hands each result to `consume` on the calling thread, in index order.
//
// `evaluate(i, result)` fills `result` for item i; it runs on the worker threads (on the calling
// thread when there is only one) and must be safe to call concurrently. `result` is a slot that is
// used again: it may hold an earlier item's result, which evaluate overwrites whole.
// `consume(i, result)` gets item i's result (it may move it away) and returns false to stop: no
// further result is consumed and the workers stop after the item they are at.
//
// At most `waitingPerThread` x threads results wait for their turn beside the one being consumed.
// An exception thrown by evaluate is thrown to the caller at its item's turn, after every earlier
// item was consumed; one thrown by consume stops and joins the workers, then goes on to the caller.
template <class Result, class Evaluate, class Consume>
void EvaluateInOrder(std::size_t count, std::size_t threads, std::size_t waitingPerThread,
    const Evaluate& evaluate, const Consume& consume)
{
    const PoolShape shape = ShapeOfPool(count, threads, waitingPerThread);
    std::vector<Result> results(shape.slotCount);
    RunInOrder(
        count, shape, [&](std::size_t i, std::size_t slot) { evaluate(i, results[slot]); },
        [&](std::size_t i, std::size_t slot) { return static_cast<bool>(consume(i, results[slot])); });
}

}  // namespace tenso::common
