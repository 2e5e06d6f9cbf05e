#pragma once
// The export reader's line tokenizer: a fixed window over the file, whatever its size, and the split
// of a line into fields (separators, quotes, blanks, the three line ends). The layout detection and
// the records are export_reader.cpp's.

#include "standard/evaluation.h"
#include "standard/export_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tenso::standard {

// A fixed window over the file, read with pread so that the reader can go back to a line's start.
class Source {
public:
    Source(int fd, std::string name)
        : fd_(fd)
        , name_(std::move(name))
    {
        cur = end = buffer_.data();
    }
    ~Source() { ::close(fd_); }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    // Makes at least one byte available at cur; false at the end of the file.
    bool Ensure()
    {
        if (cur != end)
            return true;
        return Refill();
    }
    bool Refill()
    {
        bufferStart_ += static_cast<std::uint64_t>(end - buffer_.data());
        cur = end = buffer_.data();
        for (;;) {
            const ssize_t n = ::pread(fd_, buffer_.data(), buffer_.size(), static_cast<off_t>(bufferStart_));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw ReadError("cannot read " + name_ + ": " + std::strerror(errno));
            end = buffer_.data() + n;
            return n > 0;
        }
    }
    std::uint64_t Tell() const { return bufferStart_ + static_cast<std::uint64_t>(cur - buffer_.data()); }
    void Seek(std::uint64_t offset)
    {
        skipLF = false;
        const auto held = static_cast<std::uint64_t>(end - buffer_.data());
        if (offset >= bufferStart_ && offset <= bufferStart_ + held) {
            cur = buffer_.data() + (offset - bufferStart_);
            return;
        }
        bufferStart_ = offset;
        cur = end = buffer_.data();
    }

    // The line ended at `lineEnd`, and the next starts at `next`: after a CR, an LF right after
    // belongs to this line (CR LF), which SkipCarriedLF drops before the next line is read.
    void EndLine(const char* next, char lineEnd)
    {
        cur = next;
        skipLF = lineEnd == '\r';
    }
    // Drops the LF of a CR LF split from its CR; false at the end of the file.
    bool SkipCarriedLF()
    {
        if (skipLF) {
            if (!Ensure())
                return false;
            if (*cur == '\n')
                ++cur;
            skipLF = false;
        }
        return Ensure();
    }

    const char* cur = nullptr;
    const char* end = nullptr;
    bool skipLF = false;  // the last line ended in CR: an LF right after belongs to it

private:
    int fd_;
    std::string name_;
    std::array<char, std::size_t {64} * 1024> buffer_ {};
    std::uint64_t bufferStart_ = 0;
};

namespace lines {

enum ByteClass : std::uint8_t { Ordinary, Sep, Blank, Quote, LineEnd };

struct Classes {
    std::array<std::uint8_t, 256> of {};
    bool blankSeparates = false;
};

inline Classes classesFor(Separator separator)
{
    Classes c;
    c.of[static_cast<unsigned char>(' ')] = Blank;
    c.of[static_cast<unsigned char>('\t')] = Blank;
    c.of[static_cast<unsigned char>('"')] = Quote;
    c.of[static_cast<unsigned char>('\r')] = LineEnd;
    c.of[static_cast<unsigned char>('\n')] = LineEnd;
    switch (separator) {
    case Separator::Semicolon:
        c.of[static_cast<unsigned char>(';')] = Sep;
        break;
    case Separator::Tab:
        c.of[static_cast<unsigned char>('\t')] = Sep;
        break;
    case Separator::Comma:
        c.of[static_cast<unsigned char>(',')] = Sep;
        break;
    case Separator::Blank:
        c.blankSeparates = true;
        break;
    }
    return c;
}

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Longer fields are cut here; a cut field is never a number (see ScanNumber).
constexpr std::size_t FieldCapacity = 320;

// Splits the next line into fields and hands each to h.Field(index, text, cut, quoted), `quoted` when
// the whole field stood in double quotes. Returns false when the file has no more lines. An unclosed
// quote ends with its line.
// The field states and the in-place fast path are one state machine over the buffer, read best in
// one piece; it is the reader's hot loop.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
template <class Handler> bool tokenizeLine(Source& src, const Classes& classes, Handler& h)
{
    if (!src.SkipCarriedLF())
        return false;
    enum State { Start, Plain, Quoted, QuoteSeen };
    State state = Start;
    // Not cleared: only the first `length` bytes are read, and clearing it would cost every line.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
    std::array<char, FieldCapacity> field;
    std::size_t length = 0, kept = 0, index = 0;
    bool cut = false, quoted = false;
    const auto append = [&](char c) {
        if (length < FieldCapacity)
            field[length++] = c;
        else
            cut = true;
    };
    const auto finish = [&] {
        while (length > kept && isBlank(field[length - 1]))
            --length;
        h.Field(index++, std::string_view(field.data(), length), cut, quoted);
        length = kept = 0;
        cut = quoted = false;
    };
    for (;;) {
        const char* p = src.cur;
        const char* const end = src.end;
        while (p != end) {
            const char c = *p++;
            const std::uint8_t k = classes.of[static_cast<unsigned char>(c)];
            if (state == Plain) {
                if (k == Ordinary || k == Quote || (k == Blank && !classes.blankSeparates)) {
                    append(c);
                    continue;
                }
                if (k != LineEnd) {
                    finish();
                    state = Start;
                    continue;
                }
            } else if (state == Start) {
                if (k == Ordinary) {
                    // The common case, a field that ends within the buffer, is handed over in place.
                    const char* const begin = p - 1;
                    std::uint8_t next = LineEnd;
                    while (p != end) {
                        next = classes.of[static_cast<unsigned char>(*p)];
                        if (next == Ordinary || next == Quote || (next == Blank && !classes.blankSeparates))
                            ++p;
                        else
                            break;
                    }
                    if (p == end) {
                        for (const char* q = begin; q != p; ++q)
                            append(*q);
                        state = Plain;
                        continue;
                    }
                    auto n = static_cast<std::size_t>(p - begin);
                    while (n > 0 && isBlank(begin[n - 1]))
                        --n;
                    h.Field(index++, std::string_view(begin, std::min(n, FieldCapacity)), n > FieldCapacity,
                        false);
                    if (next != LineEnd) {
                        ++p;  // the separator
                        continue;
                    }
                    const char lineEnd = *p++;
                    src.EndLine(p, lineEnd);
                    return true;
                }
                if (k == Blank)
                    continue;
                if (k == Sep) {
                    finish();
                    continue;
                }
                if (k == Quote) {
                    state = Quoted;
                    quoted = true;
                    continue;
                }
            } else {
                if (state == QuoteSeen) {
                    if (k == Quote) {
                        append('"');
                        state = Quoted;
                        continue;
                    }
                    // The quoted part is kept as it is; what follows up to the separator joins it.
                    kept = length;
                    state = Plain;
                    if (k == Ordinary || (k == Blank && !classes.blankSeparates)) {
                        append(c);
                        quoted = quoted && k == Blank;  // blanks after the quote are trimmed
                        continue;
                    }
                    if (k != LineEnd) {
                        finish();
                        state = Start;
                        continue;
                    }
                } else if (k != LineEnd) {  // Quoted
                    if (k == Quote)
                        state = QuoteSeen;
                    else
                        append(c);
                    continue;
                }
            }
            // A line end.
            if (state != Start)
                finish();
            src.EndLine(p, c);
            return true;
        }
        src.cur = p;
        if (!src.Refill()) {
            if (state != Start)
                finish();
            return true;
        }
    }
}

// What the first line of the rest holds, for the separator of the detection rule. Leaves src at the
// end of the line.
struct LineChars {
    bool semicolon = false;
    bool tab = false;
};

inline LineChars scanLineChars(Source& src)
{
    LineChars chars;
    for (;;) {
        const char* p = src.cur;
        const char* const end = src.end;
        while (p != end) {
            const char c = *p++;
            if (c == '\n' || c == '\r') {
                src.EndLine(p, c);
                return chars;
            }
            chars.semicolon = chars.semicolon || c == ';';
            chars.tab = chars.tab || c == '\t';
        }
        src.cur = p;
        if (!src.Refill())
            return chars;
    }
}

}  // namespace lines
}  // namespace tenso::standard
