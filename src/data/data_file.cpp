#include "data_file.h"

#include "state/failure.h"
#include "state/number_text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <string_view>

namespace tenso {
namespace {

// A field longer than this is never a number a user meant; it is read on as text.
constexpr size_t MaxNumberLength = 1024;

bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Byte classes for the scanning loops, which are the hot path of every read.
enum : uint8_t { LineEndClass = 1, CommaClass = 2, BlankClass = 4, QuoteClass = 8 };
constexpr std::array<uint8_t, 256> byteClasses = [] {
    std::array<uint8_t, 256> t {};
    t['\r'] = t['\n'] = LineEndClass;
    t[','] = CommaClass;
    t[' '] = t['\t'] = BlankClass;
    t['"'] = QuoteClass;
    return t;
}();

// Bits set in a 16-bit mask. The baseline x86-64 has no popcount instruction, and std::popcount
// then becomes a library call; two table look-ups are quicker.
constexpr std::array<uint8_t, 256> bitsInByte = [] {
    std::array<uint8_t, 256> t {};
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = static_cast<uint8_t>(std::popcount(i));
    return t;
}();
inline int bitsIn16(unsigned mask) { return bitsInByte[mask & 0xffu] + bitsInByte[(mask >> 8) & 0xffu]; }

template <uint8_t Classes> struct StopAt {
    bool operator()(char c) const { return (byteClasses[static_cast<unsigned char>(c)] & Classes) != 0; }
};
using LineEnd = StopAt<LineEndClass>;
using FieldEnd = StopAt<LineEndClass | CommaClass>;
using TokenEnd = StopAt<LineEndClass | CommaClass | BlankClass>;
using QuoteEnd = StopAt<LineEndClass | QuoteClass>;

int16_t openErrorNumber(int err, const std::string& path)
{
    switch (err) {
    case ENOENT: {
        // A missing folder on the way is another failure than a missing file in a folder.
        const auto slash = path.find_last_of('/');
        if (slash == std::string::npos || slash == 0)
            return failure::FileNotFound;
        struct stat st { };
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

namespace {

double numberValue(std::string_view t)
{
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    return DecimalValue(t);
}

// Checks the number grammar and computes the value in one walk. Numbers of up to 19 significant
// digits with a small decimal exponent take the exact fast path (one correctly rounded IEEE
// operation on two exact doubles); all others go through the general conversion.
bool parseNumber(std::string_view t, bool wantValue, double& value)
{
    static constexpr double powersOf10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = t.data();
    const char* const end = p + t.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    uint64_t mantissa = 0;
    int significant = 0;  // digits in the mantissa from the first non-zero one
    int dropped = 0;  // integer digits beyond 19 significant ones
    int fractionDigits = 0;
    bool exact = true;
    const char* const digitsStart = p;
    for (; p < end && isDigit(*p); ++p) {
        if (significant < 19) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
            significant += mantissa != 0;
        } else {
            ++dropped;
            exact = false;
        }
    }
    size_t digits = static_cast<size_t>(p - digitsStart);
    if (p < end && *p == '.') {
        const char* const fractionStart = ++p;
        for (; p < end && isDigit(*p); ++p) {
            if (significant < 19) {
                mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
                significant += mantissa != 0;
                ++fractionDigits;
            } else {
                exact = false;
            }
        }
        digits += static_cast<size_t>(p - fractionStart);
    }
    if (digits == 0)
        return false;
    long exponent = dropped - fractionDigits;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool expNegative = false;
        if (p < end && (*p == '+' || *p == '-'))
            expNegative = *p++ == '-';
        const char* const expStart = p;
        long e = 0;
        for (; p < end && isDigit(*p); ++p)
            e = e < 100000 ? e * 10 + (*p - '0') : e;
        if (p == expStart)
            return false;
        exponent += expNegative ? -e : e;
    }
    if (p != end)
        return false;
    if (!wantValue) {
        value = 0;
    } else if (exact && mantissa == 0) {
        value = negative ? -0.0 : 0.0;
    } else if (exact && mantissa <= (uint64_t {1} << 53) && exponent >= -22 && exponent <= 22) {
        const auto m = static_cast<double>(mantissa);
        value = exponent < 0 ? m / powersOf10[-exponent] : m * powersOf10[exponent];
        if (negative)
            value = -value;
    } else {
        value = numberValue(t);
    }
    return true;
}

DataField classify(std::string_view token, bool tooLong)
{
    double value = 0;
    if (tooLong || !parseNumber(token, true, value))
        return {DataField::Kind::Text, 0};
    return {DataField::Kind::Number, value};
}

std::string_view trimBlanks(std::string_view t)
{
    while (!t.empty() && isBlank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && isBlank(t.back()))
        t.remove_suffix(1);
    return t;
}

}  // namespace

DataFile::DataFile(const std::string& path, View view)
{
    openFile(path);
    buffer_ = std::make_unique_for_overwrite<char[]>(BufferSize + 1);  // + the scan stop
    // Set here, after openFile, as the snapshot constructor below sets it on one of its paths.
    data_ = buffer_.get();  // NOLINT(cppcoreguidelines-prefer-member-initializer)
    if (view == View::Data)
        findDataEnd();
}

DataFile::DataFile(const std::string& path, FileSnapshot& snapshot)
{
    if (!snapshot.Holds(path)) {
        openFile(path);
        if (!takeSnapshot(path, snapshot)) {
            buffer_ = std::make_unique_for_overwrite<char[]>(BufferSize + 1);
            data_ = buffer_.get();
            findDataEnd();
            return;
        }
    }
    data_ = snapshot.bytes_.get();
    filled_ = snapshot.size_;
    end_ = static_cast<int64_t>(snapshot.size_);
    inMemory_ = true;
}

void DataFile::openFile(const std::string& path)
{
    if (path.empty())
        throw Failure(failure::BadFileName);
    // Non-blocking, so that a FIFO named by mistake cannot hang the open; it is refused below.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        throw Failure(openErrorNumber(errno, path));
    struct stat st { };
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw Failure(failure::AccessError);
    }
    end_ = st.st_size;
}

void DataFile::findDataEnd()
{
    // Find the end of the last line with content by reading backwards over the trailing blanks.
    int64_t chunkSize = 4096;  // most files end with content: one small read settles it
    while (end_ > 0) {
        const int64_t chunk = std::min(end_, chunkSize);
        chunkSize = static_cast<int64_t>(BufferSize);
        const ssize_t n = readAt(fd_, data_, static_cast<size_t>(chunk), end_ - chunk);
        if (n != chunk) {
            ::close(fd_);
            fd_ = -1;
            throw Failure(n < 0 ? failure::DeviceIo : failure::PastEnd);
        }
        int64_t k = chunk;
        while (k > 0
            && (isBlank(data_[static_cast<size_t>(k - 1)]) || isLineEnd(data_[static_cast<size_t>(k - 1)])))
            --k;
        end_ -= chunk - k;
        if (k > 0)
            break;
    }
}

bool DataFile::takeSnapshot(const std::string& path, FileSnapshot& snapshot)
{
    if (end_ > FileSnapshot::SnapshotLimit)
        return false;
    const auto size = static_cast<size_t>(end_);
    auto bytes = std::make_unique_for_overwrite<char[]>(size + 1);  // + the scan stop
    size_t got = 0;
    while (got < size) {
        const ssize_t n = readAt(fd_, bytes.get() + got, size - got, static_cast<int64_t>(got));
        if (n <= 0)
            return false;  // a read error or a file that shrank: the streaming read meets and reports it
        got += static_cast<size_t>(n);
    }
    while (got > 0 && (isBlank(bytes[got - 1]) || isLineEnd(bytes[got - 1])))
        --got;
    ::close(fd_);
    fd_ = -1;
    snapshot.path_ = path;
    snapshot.bytes_ = std::move(bytes);
    snapshot.size_ = got;
    return true;
}

DataFile::~DataFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool DataFile::readMore()
{
    if (inMemory_)
        return false;
    const int64_t at = bufferStart_ + static_cast<int64_t>(filled_);
    if (at >= end_ || filled_ >= BufferSize)
        return false;
    const auto want
        = static_cast<size_t>(std::min<int64_t>(end_ - at, static_cast<int64_t>(BufferSize - filled_)));
    const ssize_t n = readAt(fd_, data_ + filled_, want, at);
    if (n < 0)
        throw Failure(failure::DeviceIo);
    if (n == 0) {
        end_ = at;  // the file shrank while we read it
        return false;
    }
    filled_ += static_cast<size_t>(n);
    return true;
}

int DataFile::peekSlow()
{
    if (inMemory_)
        return -1;
    bufferStart_ += static_cast<int64_t>(filled_);
    cursor_ = 0;
    filled_ = 0;
    return readMore() ? static_cast<unsigned char>(data_[0]) : -1;
}

template <typename Stop> size_t DataFile::scanTo(Stop stop, size_t from)
{
    // A line end behind the data stops every scan, so the loop needs no bounds test. Local copies:
    // the compiler cannot keep members in registers across stores through a char*.
    char* data = data_;
    const size_t end = filled_;
    data[end] = '\n';
    while (!stop(data[from]))
        ++from;
    return std::min(from, end);
}

template <typename Stop> std::string_view DataFile::scanRun(Stop stop, bool& tooLong)
{
    size_t start = cursor_;
    for (;;) {
        cursor_ = scanTo(stop, cursor_);
        if (cursor_ < filled_ || inMemory_)
            break;
        if (!tooLong && cursor_ - start <= MaxNumberLength) {
            // Keep the run so far: move it to the front of the buffer and read on behind it.
            std::memmove(data_, data_ + start, filled_ - start);
            bufferStart_ += static_cast<int64_t>(start);
            filled_ -= start;
            cursor_ -= start;
            start = 0;
        } else {
            tooLong = true;
            bufferStart_ += static_cast<int64_t>(filled_);
            filled_ = cursor_ = start = 0;
        }
        if (!readMore())
            break;
    }
    if (cursor_ - start > MaxNumberLength)
        tooLong = true;
    return tooLong ? std::string_view() : std::string_view(data_ + start, cursor_ - start);
}

template <typename Stop> void DataFile::skipUntil(Stop stop)
{
    for (int c = peek(); c >= 0; c = peek()) {
        cursor_ = scanTo(stop, cursor_);
        if (cursor_ < filled_)
            return;
    }
}

void DataFile::consumeLineEnd()
{
    ++lineEnds_;
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

bool DataFile::fastSkipLine()
{
    const size_t end = filled_;
    if (cursor_ >= end)
        return false;
    const size_t stop = scanTo(LineEnd {}, cursor_);
    if (stop >= end)
        return false;
    size_t next = stop + 1;
    if (data_[stop] == '\r') {
        if (next >= end)
            return false;  // its LF may come with the next read
        if (data_[next] == '\n')
            ++next;
    }
    fieldOwed_ = false;
    cursor_ = next;
    ++lineEnds_;
    return true;
}

void DataFile::SkipLine()
{
    if (fastSkipLine())
        return;
    if (peek() < 0)
        throw Failure(failure::PastEnd);
    fieldOwed_ = false;
    skipUntil(LineEnd {});
    if (peek() >= 0)
        consumeLineEnd();
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
    if (DataField field; fastField(true, field))
        return field;
    return readField(true);
}

void DataFile::SkipField()
{
    if (DataField ignored; !fastField(false, ignored))
        readField(false);
}

namespace {

// A plain decimal, [sign] digits [. digits] with at most 19 digits in all, ending at `stop`; the
// value in the same walk. Such a number takes parseNumber's exact path (a mantissa of at most 2^53
// and at most 22 decimals, one correctly rounded division), so both give the same double. Returns
// false, leaving the token to the general path, for anything else.
bool plainDecimal(const char* p, const char*& stop, double& value)
{
    static constexpr double powersOf10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    const char* const first = p;
    uint64_t mantissa = 0;  // wraps beyond 19 digits, which are refused below
    for (; isDigit(*p); ++p)
        mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    size_t digits = static_cast<size_t>(p - first);
    size_t decimals = 0;
    if (*p == '.') {
        const char* const fraction = ++p;
        for (; isDigit(*p); ++p)
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
        decimals = static_cast<size_t>(p - fraction);
        digits += decimals;
    }
    if (digits == 0 || digits > 19 || mantissa > (uint64_t {1} << 53))
        return false;
    stop = p;
    value = static_cast<double>(mantissa) / powersOf10[decimals];
    if (negative)
        value = -value;
    return true;
}

}  // namespace

// The common field: a token that is not quoted and ends at a comma or a line end within the
// buffer. Taken in one walk over the buffer; anything else is left untouched for readField.
bool DataFile::fastField(bool wantField, DataField& field)
{
    char* const data = data_;
    const size_t end = filled_;
    size_t start = cursor_;
    while (start < end && isBlank(data[start]))
        ++start;
    if (start >= end || byteClasses[static_cast<unsigned char>(data[start])] != 0)
        return false;  // the end of the buffer, an empty field or a quoted one
    data[end] = '\n';  // stops every walk below
    size_t stop = 0;
    const char* numberEnd = nullptr;
    double value = 0;
    const bool plain = wantField && plainDecimal(data + start, numberEnd, value)
        && (byteClasses[static_cast<unsigned char>(*numberEnd)] & (LineEndClass | CommaClass)) != 0;
    if (plain)
        stop = static_cast<size_t>(numberEnd - data);
    else
        stop = scanTo(TokenEnd {}, start);
    if (stop >= end || isBlank(data[stop]) || stop - start > MaxNumberLength)
        return false;  // it may go on with the next read; only a number ends at a blank
    size_t next = stop + 1;
    if (data[stop] == '\r') {
        if (next >= end)
            return false;
        if (data[next] == '\n')
            ++next;
    }
    if (plain)
        field = {DataField::Kind::Number, value};
    else if (wantField)
        field = classify(std::string_view(data + start, stop - start), false);
    else
        field = {DataField::Kind::Text, 0};
    fieldOwed_ = data[stop] == ',';
    lineEnds_ += fieldOwed_ ? 0 : 1;
    cursor_ = next;
    return true;
}

int64_t DataFile::CountFields()
{
    int64_t count = 0;
    do {
        if (inMemory_ && !fieldOwed_ && countPlainLine(count))
            continue;
        // Field by field up to the end of this line (fields never run over a line end).
        const int64_t ends = lineEnds_;
        do {
            if (DataField ignored; !fastField(false, ignored))
                readField(false);
            ++count;
        } while (lineEnds_ == ends && !AtEnd());
    } while (!AtEnd());
    return count;
}

bool DataFile::countPlainLine(int64_t& count)
{
#ifdef __SSE2__
    // Sixteen bytes at a time while they lie wholly within the data. Every line that ends with LF or
    // CR LF before the first blank, quote or lone CR is plain, and holds its commas + 1 fields; the
    // commas of a line that runs on into the next block wait until its end is seen. Whatever is left
    // (the line with a blank, a quote or a lone CR, the tail of the data) goes byte by byte.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i quote = _mm_set1_epi8('"');
    const char* const data = data_;
    size_t pos = cursor_;
    size_t lineStart = cursor_;
    int64_t found = 0;  // fields of the whole lines passed
    int64_t lines = 0;
    int pending = 0;  // commas of the line begun at lineStart, so far
    while (pos + 16 <= filled_) {
        // SSE2 loads take a vector pointer to any bytes.
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        const auto mask
            = [&](__m128i c) { return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, c))); };
        const unsigned ends = mask(lf);
        const unsigned lfAfter = (ends >> 1) | (pos + 16 < filled_ && data[pos + 16] == '\n' ? 0x8000u : 0u);
        const unsigned special = (mask(cr) & ~lfAfter) | mask(space) | mask(tab) | mask(quote);
        const unsigned usable = special != 0 ? (1u << std::countr_zero(special)) - 1 : 0xffffu;
        const unsigned commas = mask(comma);
        if (const unsigned e = ends & usable; e != 0) {
            const int last = static_cast<int>(std::bit_width(e)) - 1;
            const unsigned upTo = (2u << last) - 1;
            const int n = bitsIn16(e);
            found += pending + bitsIn16(commas & upTo) + n;
            lines += n;
            pending = bitsIn16(commas & usable & ~upTo);
            lineStart = pos + static_cast<size_t>(last) + 1;
        } else {
            pending += bitsIn16(commas & usable);
        }
        if (special != 0)
            break;
        pos += 16;
    }
    count += found;
    lineEnds_ += lines;
    cursor_ = lineStart;
    return countPlainLineBytes(count) || lines > 0;
#else
    return countPlainLineBytes(count);
#endif
}

bool DataFile::countPlainLineBytes(int64_t& count)
{
    // A line without blanks or quotes holds one field more than it has commas, whatever the fields
    // hold: each ends at a comma or at the line end, and a comma before the line end (or the end of
    // the file) leaves one empty field.
    const char* const data = data_;
    size_t i = cursor_;
    if (i >= filled_)
        return false;
    data_[filled_] = '\n';
    int64_t commas = 0;
    for (;; ++i) {
        const uint8_t c = byteClasses[static_cast<unsigned char>(data[i])];
        if (c == 0)
            continue;
        if (c == CommaClass) {
            ++commas;
            continue;
        }
        if (c != LineEndClass)
            return false;  // a blank or a quote: the field walk decides
        break;
    }
    count += commas + 1;
    if (i < filled_) {
        ++lineEnds_;
        ++i;
        if (data[i - 1] == '\r' && i < filled_ && data[i] == '\n')
            ++i;
    }
    cursor_ = i;
    return true;
}

DataField DataFile::readField(bool wantField)
{
    if (AtEnd())
        throw Failure(failure::PastEnd);
    fieldOwed_ = false;
    skipBlanks();
    const int c = peek();
    if (c < 0 || c == ',' || isLineEnd(c)) {
        consumeSeparator();
        return {};
    }

    bool tooLong = false;
    DataField field {DataField::Kind::Text, 0};
    if (c == '"') {
        advance();
        const std::string_view content = scanRun(QuoteEnd {}, tooLong);
        if (wantField)  // the view points into the buffer: classify it before reading on
            field = classify(trimBlanks(content), tooLong);
        if (peek() == '"')
            advance();
        // Whatever stands between the closing quote and the separator is not part of the field.
        skipUntil(FieldEnd {});
        consumeSeparator();
        return field;
    }

    const std::string_view token = scanRun(TokenEnd {}, tooLong);
    // Where the token ends at a blank, only a number ends there; so its kind decides where the
    // field ends, even when nobody wants the field itself.
    const bool atBlank = isBlank(peek());
    if (wantField || atBlank)
        field = classify(token, tooLong);
    if (atBlank && field.kind == DataField::Kind::Number) {
        // A comma or line end after the blanks belongs to the same separator.
        skipBlanks();
        const int next = peek();
        if (next == ',' || isLineEnd(next))
            consumeSeparator();
        return field;
    }
    if (atBlank) {
        // Text runs on, blanks included, to the next comma or line end.
        field = {DataField::Kind::Text, 0};
        skipUntil(FieldEnd {});
    }
    consumeSeparator();
    return field;
}

}  // namespace tenso
