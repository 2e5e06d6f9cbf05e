#pragma once
// Evaluates a series on several threads and hands the results over one by one in the order of
// the series, as soon as each one and all before it are done. At most `waitingPerThread` results
// a thread wait at any time, so memory does not grow with the length of the series.

#include <cstddef>
#include <functional>

namespace tenso::standard {
struct Result;
}

namespace tenso::report {

// `evaluate(i)` runs on the worker threads and must be safe to call concurrently; `consume`
// runs on the calling thread with i and its result, in order i = 0, 1, ...; when it returns false, no further
// results are consumed and the workers stop after the file they are at. `threads` 0 means one per core (at
// least one, at most `count`).
void EvaluateInOrder(std::size_t count, std::size_t threads, std::size_t waitingPerThread,
    const std::function<standard::Result(std::size_t)>& evaluate,
    const std::function<bool(std::size_t, standard::Result&)>& consume);

}  // namespace tenso::report
