#pragma once

#include "file_evaluation.h"

#include <functional>
#include <string>
#include <vector>

namespace tenso {

// The threads worth running for a batch of `files` files on this machine: one per core, at most
// one per file, at least one.
unsigned BatchThreads(size_t files);

// Evaluates `files` on `threads` threads, each evaluation on a window of its own with a plot that
// draws nothing, and hands every result to `take` on the calling thread, in the order of `files`,
// as soon as it and all before it are done. At most a few results per thread are in flight, so the
// memory does not grow with the number of files. An exception thrown by an evaluation reaches the
// caller at that file's turn, after every earlier file was taken.
void EvaluateInOrder(const std::vector<std::string>& files, const EvaluationSettings& settings,
    unsigned threads, const std::function<void(const FileEvaluation&)>& take);

}  // namespace tenso
