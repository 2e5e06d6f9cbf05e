#pragma once
// Specimen values, id and material as machine exports write them in their header:
// `Gauge diameter:<TAB>5.003<TAB>mm`, `"Section",5.96,"mm²"`, `Width = 10.1 mm`, in English, German
// or French. Values in mm and mm².

#include "standard/evaluation.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tenso::standard {

struct HeaderNumber {
    double value = 0;  // mm or mm²
    std::size_t line = 0;
};

struct HeaderText {
    std::string text;
    std::size_t line = 0;
};

struct HeaderSpecimen {
    std::optional<HeaderNumber> d0, a0, b0, S0, L0, Lu, du, Su;
    std::optional<HeaderText> id, material;
    std::vector<std::string> notes;  // lines that name a value in a unit that is not one
};

// Reads header lines one by one; the first line that names a value gives it.
class HeaderValues {
public:
    explicit HeaderValues(Separator separator)
        : separator_(separator)
    { }
    // One header line's fields (decoded to UTF-8, whether each stood in quotes) and its number.
    void Take(const std::vector<std::string>& fields, const std::vector<bool>& quoted, std::size_t line);
    // What the lines before `line` give.
    HeaderSpecimen Above(std::size_t line) const;

private:
    struct Note {
        std::string text;
        std::size_t line;
        int value;  // which value the line would have given
    };
    Separator separator_;
    HeaderSpecimen found_;
    std::vector<Note> notes_;
};

// The specimen of a file: each value from the options (a specimens row over the command line)
// when they give it, else from the header; a cross-section, and a final one, from one source whole.
// `notes` gets one note for each value taken from the header.
Specimen WithHeader(const Specimen& given, const HeaderSpecimen& header, std::vector<std::string>& notes);

}  // namespace tenso::standard
