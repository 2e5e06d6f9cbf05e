#pragma once
// The specimens file: one row of geometry per data file, overriding the command line's.

#include "evaluation.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tenso::standard {

struct SpecimenRow {
    std::string file;
    Specimen specimen;  // the row's non-empty cells
    std::string id, material;  // empty: not given
    std::size_t line = 0;  // added: the row's line in the table, for messages
};

class SpecimenTable {
public:
    // Throws std::runtime_error with a message naming the file and line for a table it cannot read.
    static SpecimenTable Read(const std::string& path);
    // The row whose file cell equals `argument` as given or its base name; nullptr for none.
    // Throws std::runtime_error when several rows match.
    const SpecimenRow* Find(const std::string& argument) const;

private:
    std::string path_;
    std::vector<SpecimenRow> rows_;
};

// `base` with every value that `row` gives replacing its own. A row that gives a cross-section (d0,
// a0 and b0, or S0) replaces the base's whole cross-section, and du or Su the base's final one, so
// that a row's S0 does not clash with a --diameter of the command line.
Specimen Override(const Specimen& base, const Specimen& row);

}  // namespace tenso::standard
