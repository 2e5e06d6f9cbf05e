#include "standard/specimens.h"

#include "standard/text.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tenso::standard {
namespace {

// A table of geometry for thousands of specimens is far smaller; anything larger is not one.
constexpr off_t MaxTableBytes = off_t {16} * 1024 * 1024;

std::string readWhole(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw std::runtime_error("cannot open the specimens file " + path + ": " + std::strerror(errno));
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw std::runtime_error("cannot read the specimens file " + path + ": it is not a regular file");
    }
    if (st.st_size > MaxTableBytes) {
        ::close(fd);
        throw std::runtime_error("the specimens file " + path + " is larger than 16 MiB");
    }
    std::string content;
    std::array<char, 65536> buffer {};
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            throw std::runtime_error("cannot read the specimens file " + path + ": " + std::strerror(err));
        }
        if (n == 0)
            break;
        content.append(buffer.data(), static_cast<std::size_t>(n));
        if (content.size() > static_cast<std::size_t>(MaxTableBytes)) {
            ::close(fd);
            throw std::runtime_error("the specimens file " + path + " is larger than 16 MiB");
        }
    }
    ::close(fd);
    if (content.starts_with("\xEF\xBB\xBF"))
        content.erase(0, 3);
    return content;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The cells of a line: blanks trimmed, a cell in double quotes may hold the separator and "".
std::vector<std::string> splitCells(std::string_view line, char separator)
{
    std::vector<std::string> cells;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        std::string cell;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            while (i < line.size() && line[i] != separator)
                cell += line[i++];
        } else {
            while (i < line.size() && line[i] != separator)
                cell += line[i++];
        }
        while (!cell.empty() && isBlank(cell.back()))
            cell.pop_back();
        cells.push_back(std::move(cell));
        if (i >= line.size())
            break;
        ++i;  // the separator
    }
    return cells;
}

enum Column { File, D0, A0, B0, S0, L0, Lu, Du, Su, Id, Material, Ignored };

Column columnOf(const std::string& header)
{
    static constexpr std::array<std::string_view, 11> Names {
        "file", "d0", "a0", "b0", "s0", "l0", "lu", "du", "su", "id", "material"};
    const std::string folded = FoldCase(header);
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (folded == Names[i])
            return static_cast<Column>(i);
    return Ignored;
}

std::optional<double>& slotOf(Specimen& s, Column c)
{
    switch (c) {
    case D0:
        return s.d0;
    case A0:
        return s.a0;
    case B0:
        return s.b0;
    case S0:
        return s.S0;
    case L0:
        return s.L0;
    case Lu:
        return s.Lu;
    case Du:
        return s.du;
    default:
        return s.Su;
    }
}

std::string_view baseName(std::string_view path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The columns that the header names; `where` names the line in a message.
std::vector<Column> headerColumns(std::string_view line, char separator, const std::string& where)
{
    std::vector<Column> columns;
    for (const std::string& cell : splitCells(line, separator))
        columns.push_back(columnOf(cell));
    bool hasFile = false;
    for (Column c : columns)
        hasFile = hasFile || c == File;
    if (!hasFile)
        throw std::runtime_error(where + ": the header has no \"file\" column");
    return columns;
}

// The file and geometry of a row; cells beyond the header's columns are ignored.
SpecimenRow rowOf(std::string_view line, char separator, DecimalMarks marks,
    const std::vector<Column>& columns, const std::string& where)
{
    SpecimenRow row;
    const std::vector<std::string> cells = splitCells(line, separator);
    for (std::size_t i = 0; i < cells.size() && i < columns.size(); ++i) {
        const std::string& cell = cells[i];
        if (columns[i] == Ignored || cell.empty())
            continue;
        if (columns[i] == File) {
            row.file = cell;
            continue;
        }
        if (columns[i] == Id || columns[i] == Material) {
            (columns[i] == Id ? row.id : row.material) = IsUtf8(cell) ? cell : Latin1ToUtf8(cell);
            continue;
        }
        std::optional<double> value;
        if (ScanNumber(cell, marks).isNumber)
            value = ParseNumber(cell);
        if (!value || !(*value > 0))
            throw std::runtime_error(where + ": \"" + (IsUtf8(cell) ? cell : Latin1ToUtf8(cell))
                + "\" is not a positive number"
                + (separator == ',' ? " (with ',' between cells the decimal mark is '.')" : ""));
        slotOf(row.specimen, columns[i]) = value;
    }
    return row;
}

}  // namespace

SpecimenTable SpecimenTable::Read(const std::string& path)
{
    const std::string content = readWhole(path);
    SpecimenTable table;
    table.path_ = path;
    std::vector<Column> columns;
    char separator = ',';
    DecimalMarks marks {true, false};
    bool haveHeader = false;
    std::size_t lineNumber = 0;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = content.size();
        const std::string_view line = std::string_view(content).substr(at, end - at);
        at = end;
        if (at < content.size())
            at += content[at] == '\r' && at + 1 < content.size() && content[at + 1] == '\n' ? 2U : 1U;
        ++lineNumber;
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        const std::string where = path + ", line " + std::to_string(lineNumber);
        if (!haveHeader) {
            if (line.find(';') != std::string_view::npos) {
                separator = ';';
                marks = {true, true};
            }
            columns = headerColumns(line, separator, where);
            haveHeader = true;
            continue;
        }
        SpecimenRow row = rowOf(line, separator, marks, columns, where);
        row.line = lineNumber;
        if (row.file.empty())
            throw std::runtime_error(where + ": the row has no file");
        table.rows_.push_back(std::move(row));
    }
    if (!haveHeader)
        throw std::runtime_error(path + ": the specimens file is empty");
    return table;
}

const SpecimenRow* SpecimenTable::Find(const std::string& argument) const
{
    const SpecimenRow* found = nullptr;
    const std::string_view base = baseName(argument);
    for (const SpecimenRow& row : rows_) {
        if (row.file != argument && row.file != base)
            continue;
        if (found)
            throw std::runtime_error(path_ + ": lines " + std::to_string(found->line) + " and "
                + std::to_string(row.line) + " both give the specimen of " + argument);
        found = &row;
    }
    return found;
}

Specimen Override(const Specimen& base, const Specimen& row)
{
    Specimen out = base;
    if (row.d0 || row.a0 || row.b0 || row.S0) {
        out.d0 = row.d0;
        out.a0 = row.a0;
        out.b0 = row.b0;
        out.S0 = row.S0;
    }
    if (row.du || row.Su) {
        out.du = row.du;
        out.Su = row.Su;
    }
    if (row.L0)
        out.L0 = row.L0;
    if (row.Lu)
        out.Lu = row.Lu;
    return out;
}

}  // namespace tenso::standard
