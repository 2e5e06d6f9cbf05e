#pragma once
// The specimens file: one row of geometry per data file, overriding the command line's.

#include "evaluation.h"

#include <string>
#include <vector>

namespace tenso::standard {

struct SpecimenRow {
    std::string file;
    Specimen specimen;  // the row's non-empty cells
};

class SpecimenTable {
public:
    // Throws std::runtime_error with a message naming the file and line for a table it cannot read.
    static SpecimenTable Read(const std::string& path);
    // The row whose file cell equals `argument` as given or its base name; nullptr for none.
    // Throws std::runtime_error when several rows match.
    const SpecimenRow* Find(const std::string& argument) const;

private:
    std::vector<SpecimenRow> rows_;
};

// `base` with every value that `row` gives replacing its own.
Specimen Override(const Specimen& base, const Specimen& row);

}  // namespace tenso::standard
