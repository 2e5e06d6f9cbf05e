#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tenso {

// One field of a data file as the reader sees it.
struct DataField {
    enum class Kind : uint8_t { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double value = 0;  // for Number; +-HUGE_VAL when beyond the double range
};

// The bytes of a small data file as the first pass of one Draw read them, so that the later passes
// of the same Draw need not open and read the file again. It holds the data view of a regular file
// of at most SnapshotLimit bytes; for a larger file it stays empty and every pass reads the file.
// Whoever keeps one assumes that the file does not change while it is kept.
class FileSnapshot {
public:
    static constexpr int64_t SnapshotLimit = int64_t {1} << 20;
    bool Holds(const std::string& path) const { return bytes_ && path_ == path; }

private:
    friend class DataFile;
    std::string path_;
    std::unique_ptr<char[]> bytes_;  // the data view, then room for the scan stop
    size_t size_ = 0;
};

// The data file, opened read-only through one handle and read front to back through a small
// buffer, so that no file is ever held whole in memory.
//
// Lines end with CR LF, LF or CR; the last line may lack its line end. In the data view, blank lines
// (empty, or blanks and tabs only) after the last line with content do not exist: the file ends
// after that line. The raw view (for the preview) sees every byte.
//
// Fields follow the record format of the data files: separated by a comma or the line end; a number
// also ends at a blank, and blanks after a number followed by a comma or a line end form one
// separator with it. A field that starts with '"' runs to the next '"' (or the line end); other
// fields that are not numbers run to the next comma or line end. An empty line, two commas in a row
// and a comma at the end of a line (or of the file) each give one empty field.
//
// Every failure throws Failure with its number: 62 for reading past the end, the open and read
// errors as numbered in failure.h.
class DataFile {
public:
    enum class View : uint8_t { Data, Raw };

    DataFile(const std::string& path, View view);
    // The data view of `path`: from `snapshot` when it holds the file; otherwise the file is read,
    // and kept in `snapshot` (and closed at once) when it is small enough.
    DataFile(const std::string& path, FileSnapshot& snapshot);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool AtEnd() { return !fieldOwed_ && peek() < 0; }
    // Reads and discards one whole line.
    void SkipLine();
    // Reads one whole line, keeping at most maxBytes of it; false at the end of the file.
    bool ReadLine(std::string& out, size_t maxBytes);
    DataField ReadField();
    // Reads past the next field without looking at what it holds.
    void SkipField();
    // Skips fields up to the end of the file and returns how many; the first is read before the end
    // is tested, so it fails (62) where nothing is left.
    int64_t CountFields();
    // The line ends read so far (CR LF as one).
    int64_t LineEnds() const { return lineEnds_; }
    bool InMemory() const { return inMemory_; }

private:
    // The next byte, or -1 at the end.
    int peek() { return cursor_ < filled_ ? static_cast<unsigned char>(data_[cursor_]) : peekSlow(); }
    void openFile(const std::string& path);
    void findDataEnd();
    bool takeSnapshot(const std::string& path, FileSnapshot& snapshot);
    void useSnapshot(const FileSnapshot& snapshot);
    // Defined and called in data_file.cpp only; inlined into the field loops, which it dominates.
    [[gnu::always_inline]] inline bool fastField(bool wantField, DataField& field);
    bool fastSkipLine();
    bool countPlainLine(int64_t& count);
    bool countPlainLineBytes(int64_t& count);
    int peekSlow();
    DataField readField(bool wantField);
    void advance() { ++cursor_; }
    bool readMore();  // appends to the buffer; false at the end
    template <typename Stop>
    size_t scanTo(Stop stop, size_t from);  // the first stop byte from `from`, or filled_
    template <typename Stop>
    std::string_view scanRun(Stop stop, bool& tooLong);  // consumes up to the first stop byte
    template <typename Stop> void skipUntil(Stop stop);  // the same without keeping anything
    void consumeLineEnd();  // at CR or LF
    void consumeSeparator();  // after a field: a comma, a line end, or nothing at the end
    void skipBlanks();

    int fd_ = -1;
    int64_t end_ = 0;  // where the view ends
    int64_t bufferStart_ = 0;  // file offset of buffer_[0]
    size_t cursor_ = 0;  // index into buffer_
    size_t filled_ = 0;
    bool fieldOwed_ = false;  // a comma was read: one more field follows, even at a line end
    static constexpr size_t BufferSize = size_t {64} * 1024;
    std::unique_ptr<char[]> buffer_;
    char* data_ = nullptr;  // buffer_, or the bytes of a snapshot, which are never refilled
    bool inMemory_ = false;
    int64_t lineEnds_ = 0;  // the whole data view is in data_
};

}  // namespace tenso
