#include "data_file.h"

#include "state/failure.h"
#include "state/number_text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace tenso {
namespace {

constexpr size_t BufferSize = 64 * 1024;
// A field longer than this is never a number a user meant; it is read on as text.
constexpr size_t MaxNumberLength = 1024;

bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int16_t openErrorNumber(int err, const std::string& path)
{
    switch (err) {
    case ENOENT: {
        // A missing folder on the way is another failure than a missing file in a folder.
        const auto slash = path.find_last_of('/');
        if (slash == std::string::npos || slash == 0)
            return failure::FileNotFound;
        struct stat st {};
        const std::string folder = path.substr(0, slash);
        if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return failure::FileNotFound;
        return failure::PathNotFound;
    }
    case ENOTDIR:
        return failure::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return failure::PermissionDenied;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return failure::BadFileName;
    case EMFILE:
    case ENFILE:
        return failure::TooManyFiles;
    case EIO:
        return failure::DeviceIo;
    default:
        return failure::AccessError;
    }
}

// Reads exactly what is there at `offset`, retrying interrupted reads; -1 with errno on failure.
ssize_t readAt(int fd, char* into, size_t size, int64_t offset)
{
    for (;;) {
        const ssize_t n = ::pread(fd, into, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

}  // namespace

bool IsDataNumber(const std::string& token)
{
    size_t i = 0;
    const size_t n = token.size();
    if (i < n && (token[i] == '+' || token[i] == '-'))
        ++i;
    size_t mantissaDigits = 0;
    for (; i < n && isDigit(token[i]); ++i)
        ++mantissaDigits;
    if (i < n && token[i] == '.')
        for (++i; i < n && isDigit(token[i]); ++i)
            ++mantissaDigits;
    if (mantissaDigits == 0)
        return false;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        for (; i < n && isDigit(token[i]); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

namespace {

double numberValue(const std::string& token)
{
    std::string_view t(token);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    return DecimalValue(t);
}

DataField classify(const std::string& token, bool tooLong)
{
    if (!tooLong && IsDataNumber(token))
        return {DataField::Kind::Number, numberValue(token)};
    return {DataField::Kind::Text, 0};
}

}  // namespace

DataFile::DataFile(const std::string& path, View view)
{
    if (path.empty())
        throw Failure(failure::BadFileName);
    // Non-blocking, so that a FIFO named by mistake cannot hang the open; it is refused below.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        throw Failure(openErrorNumber(errno, path));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw Failure(failure::AccessError);
    }
    end_ = st.st_size;
    buffer_.resize(BufferSize);

    if (view == View::Data) {
        // Find the end of the last line with content by reading backwards over the trailing blanks.
        while (end_ > 0) {
            const int64_t chunk = std::min<int64_t>(end_, static_cast<int64_t>(BufferSize));
            const ssize_t n = readAt(fd_, buffer_.data(), static_cast<size_t>(chunk), end_ - chunk);
            if (n != chunk) {
                ::close(fd_);
                throw Failure(n < 0 ? failure::DeviceIo : failure::PastEnd);
            }
            int64_t k = chunk;
            while (k > 0 && (isBlank(buffer_[static_cast<size_t>(k - 1)]) ||
                             isLineEnd(buffer_[static_cast<size_t>(k - 1)])))
                --k;
            end_ -= chunk - k;
            if (k > 0)
                break;
        }
    }
}

DataFile::~DataFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool DataFile::refill()
{
    bufferStart_ += static_cast<int64_t>(filled_);
    cursor_ = 0;
    filled_ = 0;
    if (bufferStart_ >= end_)
        return false;
    const auto want = static_cast<size_t>(std::min<int64_t>(end_ - bufferStart_, static_cast<int64_t>(BufferSize)));
    const ssize_t n = readAt(fd_, buffer_.data(), want, bufferStart_);
    if (n < 0)
        throw Failure(failure::DeviceIo);
    if (n == 0) {
        end_ = bufferStart_;  // the file shrank while we read it
        return false;
    }
    filled_ = static_cast<size_t>(n);
    return true;
}

int DataFile::peek()
{
    if (cursor_ >= filled_ && !refill())
        return -1;
    return static_cast<unsigned char>(buffer_[cursor_]);
}

bool DataFile::AtEnd() { return !fieldOwed_ && peek() < 0; }

void DataFile::consumeLineEnd()
{
    const int c = peek();
    advance();
    if (c == '\r' && peek() == '\n')
        advance();
}

void DataFile::skipBlanks()
{
    while (isBlank(peek()))
        advance();
}

void DataFile::SkipLine()
{
    if (peek() < 0)
        throw Failure(failure::PastEnd);
    fieldOwed_ = false;
    for (int c = peek(); c >= 0; c = peek()) {
        if (isLineEnd(c)) {
            consumeLineEnd();
            return;
        }
        advance();
    }
}

bool DataFile::ReadLine(std::string& out, size_t maxBytes)
{
    out.clear();
    if (peek() < 0)
        return false;
    for (int c = peek(); c >= 0; c = peek()) {
        if (isLineEnd(c)) {
            consumeLineEnd();
            break;
        }
        if (out.size() < maxBytes)
            out += static_cast<char>(c);
        advance();
    }
    return true;
}

void DataFile::consumeSeparator()
{
    // At a comma, a line end or the end of the file.
    const int c = peek();
    if (c == ',') {
        advance();
        fieldOwed_ = true;
    } else if (isLineEnd(c)) {
        consumeLineEnd();
    }
}

DataField DataFile::ReadField()
{
    if (AtEnd())
        throw Failure(failure::PastEnd);
    fieldOwed_ = false;
    skipBlanks();
    int c = peek();
    if (c < 0 || c == ',' || isLineEnd(c)) {
        consumeSeparator();
        return {};
    }

    std::string token;
    bool tooLong = false;
    auto keep = [&](int ch) {
        if (token.size() < MaxNumberLength)
            token += static_cast<char>(ch);
        else
            tooLong = true;
    };

    if (c == '"') {
        advance();
        for (c = peek(); c >= 0 && c != '"' && !isLineEnd(c); c = peek()) {
            keep(c);
            advance();
        }
        if (c == '"')
            advance();
        // Whatever stands between the closing quote and the separator is not part of the field.
        for (c = peek(); c >= 0 && c != ',' && !isLineEnd(c); c = peek())
            advance();
        consumeSeparator();
        // A quoted number may carry blanks inside its quotes.
        const auto first = token.find_first_not_of(" \t");
        const auto last = token.find_last_not_of(" \t");
        token = first == std::string::npos ? std::string() : token.substr(first, last - first + 1);
        return classify(token, tooLong);
    }

    for (c = peek(); c >= 0 && c != ',' && !isLineEnd(c) && !isBlank(c); c = peek()) {
        keep(c);
        advance();
    }
    if (isBlank(c) && !tooLong && IsDataNumber(token)) {
        // A number ends at a blank; a comma or line end after the blanks belongs to the same separator.
        skipBlanks();
        c = peek();
        if (c == ',' || isLineEnd(c))
            consumeSeparator();
        return {DataField::Kind::Number, numberValue(token)};
    }
    // Text runs on, blanks included, to the next comma or line end.
    for (c = peek(); c >= 0 && c != ',' && !isLineEnd(c); c = peek()) {
        keep(c);
        advance();
    }
    consumeSeparator();
    return classify(token, tooLong);
}

}  // namespace tenso
