#include "standard/export_reader.h"

#include "standard/export_lines.h"

#include "standard/header_values.h"
#include "standard/units.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tenso::standard {

namespace {

using namespace lines;

// One line seen as a possible record: its field count, whether it is a data line, and the values of
// the chosen columns.
struct RecordLine {
    static constexpr std::size_t None = static_cast<std::size_t>(-1);
    DecimalMarks marks;
    bool thousands = false;  // the comma separates: a quoted "1,009.5" is a number
    std::size_t columnA = None, columnB = None;
    bool check = true;  // false in the footer, where only blank lines matter

    std::size_t fields = 0;
    std::size_t numbers = 0;
    bool numeric = true;  // every non-empty field so far is a number or a missing value
    std::size_t overflowField = None;
    double a = 0, b = 0;
    bool haveA = false, haveB = false;

    void Reset()
    {
        fields = numbers = 0;
        numeric = true;
        overflowField = None;
        haveA = haveB = false;
    }
    void Field(std::size_t index, std::string_view text, bool cut, bool quoted)
    {
        if (text.empty() && !cut)
            return;
        fields = index + 1;
        if (!check || !numeric)
            return;
        const bool chosenA = index == columnA, chosenB = index == columnB;
        if (double quick = 0; !cut && ParseShortDecimal(text, marks, quick)) {
            take(chosenA, chosenB, quick);
            return;
        }
        const NumberShape shape = cut ? NumberShape {} : ScanNumber(text, marks);
        if (!shape.isNumber) {
            // A quoted "1,009.5" with the comma separator is a number; a missing value leaves its
            // record without that value; anything else is text, and the line no data line.
            const std::optional<double> grouped
                = !cut && quoted && thousands ? ParseThousands(text) : std::nullopt;
            if (grouped)
                take(chosenA, chosenB, *grouped);
            else
                numeric = numeric && !cut && IsMissingValue(text);
            return;
        }
        // A number beyond the double range matters only where it is evaluated.
        if (!chosenA && !chosenB) {
            ++numbers;
            return;
        }
        const std::optional<double> value = ParseNumber(text, shape.plain);
        if (!value) {
            ++numbers;
            if (overflowField == None)
                overflowField = index;
            return;
        }
        take(chosenA, chosenB, *value);
    }
    void take(bool chosenA, bool chosenB, double value)
    {
        ++numbers;
        if (chosenA) {
            a = value;
            haveA = true;
        }
        if (chosenB) {
            b = value;
            haveB = true;
        }
    }
    bool IsBlank() const { return fields == 0; }
    bool IsData() const { return numeric && fields >= 2 && numbers >= 2; }
};

// The usual record line, short plain decimals between separators and nothing else, read in one
// walk that takes the values as it goes: what tokenizeLine and RecordLine would make of it, in
// about half the time. Anything else (a quote, a blank, an empty or non-numeric field, an
// exponent, a line that runs past the buffer) returns false with src and line untouched, and
// tokenizeLine reads the line. `marks` leave out the separator, which never stands in a field.
bool fastRecordLine(Source& src, const Classes& classes, DecimalMarks marks, RecordLine& line)
{
    const char* p = src.cur;
    const char* const end = src.end;
    if (src.skipLF && p != end && *p == '\n')
        ++p;
    double a = 0, b = 0;
    bool haveA = false, haveB = false;
    for (std::size_t index = 0;; ++index) {
        double value = 0;
        const char* const stop = ScanShortDecimal(p, end, marks, value);
        if (stop == nullptr || stop == end)
            return false;
        if (index == line.columnA) {
            a = value;
            haveA = true;
        }
        if (index == line.columnB) {
            b = value;
            haveB = true;
        }
        const std::uint8_t k = classes.of[static_cast<unsigned char>(*stop)];
        p = stop + 1;
        if (k == Sep)
            continue;
        if (k != LineEnd)
            return false;
        src.EndLine(p, *stop);
        line.fields = line.numbers = index + 1;
        line.a = a;
        line.b = b;
        line.haveA = haveA;
        line.haveB = haveB;
        return true;
    }
}

// One header line: its field count and the first few KiB of its fields.
struct HeaderLine {
    static constexpr std::size_t MaxFields = 1024;
    static constexpr std::size_t MaxBytes = 8192;
    std::size_t fields = 0;
    std::size_t bytes = 0;
    std::vector<std::string> texts;
    std::vector<bool> quoted;

    void Reset()
    {
        fields = bytes = 0;
        texts.clear();
        quoted.clear();
    }
    void Field(std::size_t index, std::string_view text, bool cut, bool inQuotes)
    {
        if (!text.empty() || cut)
            fields = index + 1;
        if (texts.size() == index && index < MaxFields && bytes + text.size() <= MaxBytes) {
            texts.emplace_back(text);
            quoted.push_back(inQuotes);
            bytes += text.size();
        }
    }
    // Drops the trailing empty fields and decodes the texts: UTF-8 when the line is, else Latin-1.
    void Finish()
    {
        if (texts.size() > fields) {
            texts.resize(fields);
            quoted.resize(fields);
        }
        bool utf8 = true;
        for (const std::string& t : texts)
            utf8 = utf8 && IsUtf8(t);
        if (!utf8)
            for (std::string& t : texts)
                t = Latin1ToUtf8(t);
    }
};

DecimalMarks marksFor(Separator separator, std::optional<DecimalMark> decimal)
{
    if (separator == Separator::Comma)
        return {true, false};
    if (!decimal)
        return {true, true};
    return {*decimal == DecimalMark::Point, *decimal == DecimalMark::Comma};
}

std::string lineText(std::size_t line) { return "line " + std::to_string(line); }

// A units line holds no number and at least one unit; a word that is no unit ("sec" of an older
// table, "N/tex") gives its column an unknown unit, an error only when that column is chosen.
bool isUnitsLine(const HeaderLine& line, DecimalMarks marks)
{
    bool any = false;
    for (const std::string& t : line.texts) {
        if (t.empty())
            continue;
        if (ScanNumber(t, marks).isNumber)
            return false;
        any = any || FindUnit(t).has_value();
    }
    return any;
}

// The header, split by the table's separator: the last line of as many fields as the first data
// line gives the names, or the units when it holds units only and the line above has as many too.
// Called only when lines precede the first data line.
void readHeader(Source& src, std::uint64_t start, ExportLayout& layout)
{
    const Classes classes = classesFor(layout.separator);
    src.Seek(start);
    HeaderLine previous, current, best, aboveBest;
    bool haveBest = false, haveAbove = false;
    std::size_t bestLine = 0;
    HeaderValues values(layout.separator);
    for (std::size_t n = 1; n < layout.dataLine; ++n) {
        current.Reset();
        tokenizeLine(src, classes, current);
        current.Finish();
        values.Take(current.texts, current.quoted, n);
        if (current.fields == layout.fieldCount) {
            best = current;
            bestLine = n;
            haveBest = true;
            haveAbove = n > 1 && previous.fields == layout.fieldCount;
            if (haveAbove)
                aboveBest = previous;
        }
        std::swap(previous, current);
    }
    if (haveBest) {
        if (haveAbove && isUnitsLine(best, layout.marks)) {
            layout.names = std::move(aboveBest.texts);
            layout.units = std::move(best.texts);
            layout.namesLine = bestLine - 1;
            layout.unitsLine = bestLine;
        } else {
            layout.names = std::move(best.texts);
            layout.namesLine = bestLine;
        }
    }
    // Values stand above the names; without names every header line may give one.
    layout.header = values.Above(layout.namesLine == 0 ? layout.dataLine : layout.namesLine);
}

}  // namespace

ExportReader::ExportReader(const std::string& path)
{
    // O_NONBLOCK: opening a FIFO without a writer must not wait; it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw ReadError("cannot open " + path + ": " + std::strerror(errno));
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw ReadError("cannot read " + path + ": " + std::strerror(err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        const char* what = S_ISDIR(st.st_mode) ? "a folder"
            : S_ISFIFO(st.st_mode)             ? "a FIFO"
            : S_ISSOCK(st.st_mode)             ? "a socket"
                                               : "a device";
        throw ReadError("cannot read " + path + ": it is " + what + ", not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    source_ = std::make_unique<Source>(fd, path);
    if (source_->Ensure() && source_->end - source_->cur >= 3
        && std::memcmp(source_->cur, "\xEF\xBB\xBF", 3) == 0)
        start_ = 3;
    source_->Seek(start_);
}

ExportReader::~ExportReader() = default;

ExportLayout ExportReader::ReadLayout(std::optional<Separator> separator, std::optional<DecimalMark> decimal)
{
    if (separator == Separator::Comma && decimal == DecimalMark::Comma)
        throw ReadError("a decimal comma cannot go with the comma as the separator");
    Source& src = *source_;
    src.Seek(start_);
    ExportLayout layout;
    RecordLine line;
    std::size_t lineNumber = 0;
    const auto tryLine = [&](Separator s, std::uint64_t at) {
        src.Seek(at);
        line.Reset();
        line.marks = marksFor(s, decimal);
        line.thousands = s == Separator::Comma;
        tokenizeLine(src, classesFor(s), line);
        return line.IsData();
    };
    // Detection: the first line that, split by the separator the line itself suggests, is a data line.
    for (bool found = false; !found;) {
        if (!src.SkipCarriedLF())
            break;
        ++lineNumber;
        const std::uint64_t at = src.Tell();
        Separator s = Separator::Blank;
        if (separator) {
            s = *separator;
            found = tryLine(s, at);
        } else {
            const LineChars chars = scanLineChars(src);
            if (chars.semicolon || chars.tab) {
                s = chars.semicolon ? Separator::Semicolon : Separator::Tab;
                found = tryLine(s, at);
            } else {
                s = Separator::Comma;
                found = decimal != DecimalMark::Comma && tryLine(s, at);
                if (!found) {
                    s = Separator::Blank;
                    found = tryLine(s, at);
                }
            }
        }
        if (found) {
            if (line.overflowField != RecordLine::None)
                throw ReadError(lineText(lineNumber) + ", field " + std::to_string(line.overflowField + 1)
                    + ": the number lies beyond the range of double precision");
            layout.separator = s;
            layout.marks = marksFor(s, decimal);
            layout.dataOffset = at;
            layout.dataLine = lineNumber;
            layout.fieldCount = line.fields;
            layout.dataLineBytes = src.Tell() - at;
        }
    }
    if (layout.dataLine == 0)
        throw ReadError("no data line: no line holds two or more numbers and nothing else"
            + std::string(separator ? " with the separator given" : ""));

    if (layout.dataLine > 1)
        readHeader(src, start_, layout);
    return layout;
}

RecordCounts ExportReader::ReadRecords(
    const ExportLayout& layout, std::optional<std::size_t> a, std::optional<std::size_t> b, RecordSink* sink)
{
    Source& src = *source_;
    src.Seek(layout.dataOffset);
    const Classes classes = classesFor(layout.separator);
    RecordLine line;
    line.marks = layout.marks;
    line.thousands = layout.separator == Separator::Comma;
    const bool keep = a && b && sink;
    if (keep) {
        line.columnA = *a;
        line.columnB = *b;
    }
    RecordCounts counts;
    std::size_t lineNumber = layout.dataLine;
    bool inTable = true;
    DecimalMarks fieldMarks = layout.marks;
    fieldMarks.point = fieldMarks.point && classes.of[static_cast<unsigned char>('.')] == Ordinary;
    fieldMarks.comma = fieldMarks.comma && classes.of[static_cast<unsigned char>(',')] == Ordinary;
    const bool fast = !classes.blankSeparates;
    for (; (fast && inTable && fastRecordLine(src, classes, fieldMarks, line))
         || tokenizeLine(src, classes, line);
         ++lineNumber) {
        if (line.IsBlank()) {
            line.Reset();
            continue;
        }
        if (!inTable) {
            ++counts.footerLines;
        } else if (!line.IsData()) {
            inTable = false;
            line.check = false;
            counts.footerLine = lineNumber;
            counts.footerLines = 1;
        } else {
            if (line.overflowField != RecordLine::None)
                throw ReadError(lineText(lineNumber) + ", field " + std::to_string(line.overflowField + 1)
                    + ": the number lies beyond the range of double precision");
            if (keep) {
                if (line.haveA && line.haveB) {
                    sink->Record(line.a, line.b, lineNumber);
                    ++counts.records;
                } else {
                    if (counts.skipped == 0)
                        counts.firstSkippedLine = lineNumber;
                    ++counts.skipped;
                }
            }
        }
        line.Reset();
    }
    return counts;
}

}  // namespace tenso::standard
