#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tenso::fuzz {

// Splits a fuzzer's bytes into pieces: each piece is a length byte followed by that many bytes;
// what is left at the end is the remainder.
class Input {
public:
    Input(const uint8_t* data, size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    { }

    std::string Text()
    {
        if (rest_.empty())
            return {};
        const size_t n = std::min<size_t>(static_cast<unsigned char>(rest_.front()), rest_.size() - 1);
        std::string out(rest_.substr(1, n));
        rest_.remove_prefix(n + 1);
        return out;
    }
    uint8_t Byte()
    {
        if (rest_.empty())
            return 0;
        const auto b = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace tenso::fuzz
