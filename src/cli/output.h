#pragma once

#include "file_evaluation.h"

#include <QByteArray>

namespace tenso {

// The output of tenso-eval, written file by file so that a batch of any length runs in constant
// memory: a JSON array of one object per file, or a CSV table of one row per file and method.
class ResultWriter {
public:
    enum class Format { Json, Csv };
    ResultWriter(Format format, const EvaluationSettings& settings)
        : format_(format)
        , settings_(settings)
    { }

    QByteArray Begin() const;
    QByteArray Write(const FileEvaluation& e);
    QByteArray End() const;

private:
    Format format_;
    const EvaluationSettings& settings_;
    bool first_ = true;
};

}  // namespace tenso
