#pragma once
// The streaming reader of machine exports: a fixed buffer over the file, whatever its size, line
// length or width. Only the layout (separator, decimal marks, names and units) and the chosen
// columns of each record are kept.

#include "standard/evaluation.h"
#include "standard/header_values.h"
#include "standard/text.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tenso::standard {

// A file that cannot be read as an export; the message names the line or the reason.
class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ExportLayout {
    Separator separator = Separator::Blank;
    DecimalMarks marks;
    std::uint64_t dataOffset = 0;  // byte offset of the first data line
    std::size_t dataLine = 0;  // its 1-based line number
    std::size_t fieldCount = 0;  // its fields
    std::uint64_t dataLineBytes = 0;  // its length with the line end, to estimate the record count
    std::size_t namesLine = 0;  // 0: the columns have no names
    std::size_t unitsLine = 0;  // 0: no units line
    std::vector<std::string> names;  // UTF-8; a very wide header keeps only its first names
    std::vector<std::string> units;  // empty without a units line
    HeaderSpecimen header;  // specimen values, id and material from the header lines
};

struct RecordCounts {
    std::size_t records = 0;
    std::size_t skipped = 0;
    std::size_t firstSkippedLine = 0;
    std::size_t footerLines = 0;  // non-blank lines from the first line that ends the table
    std::size_t footerLine = 0;  // the line that ends the table; 0 for none
};

// Receives the two chosen values of each record, in file order.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void Record(double a, double b, std::size_t line) = 0;
};

class Source;

class ExportReader {
public:
    // Opens a regular file; a folder, FIFO, device or socket is refused without being read.
    // Throws ReadError naming the file and the reason.
    explicit ExportReader(const std::string& path);
    ~ExportReader();
    ExportReader(const ExportReader&) = delete;
    ExportReader& operator=(const ExportReader&) = delete;

    // Finds the detection line, then the names and units lines above it. Throws ReadError.
    ExportLayout ReadLayout(std::optional<Separator> separator, std::optional<DecimalMark> decimal);

    // Streams the records from the first data line on. With both columns (0-based) given, each data
    // line whose two columns are non-empty goes to `sink`, the others are counted as skipped; without
    // them the lines are only checked. Throws ReadError for a number beyond the double range.
    RecordCounts ReadRecords(const ExportLayout& layout, std::optional<std::size_t> a,
        std::optional<std::size_t> b, RecordSink* sink);

    std::uint64_t FileSize() const { return size_; }

private:
    std::unique_ptr<Source> source_;
    std::uint64_t size_ = 0;
    std::uint64_t start_ = 0;  // after a byte order mark
};

}  // namespace tenso::standard
