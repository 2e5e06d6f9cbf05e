#include "fields.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tenso::report {

std::string NumberText(double value)
{
    if (!std::isfinite(value))
        return {};
    std::array<char, 32> buffer {};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc())
        return {};
    return {buffer.data(), end};
}

std::optional<std::string> ValueText(const standard::Value& value)
{
    if (const double* d = std::get_if<double>(&value))
        return NumberText(*d);
    if (const std::uint64_t* n = std::get_if<std::uint64_t>(&value))
        return std::to_string(*n);
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag ? "true" : "false";
    if (const std::string* word = std::get_if<std::string>(&value))
        return *word;
    return std::nullopt;
}

std::string CsvField(std::string_view bytes)
{
    const bool quote = bytes.find_first_of(",\"\r\n") != std::string_view::npos
        || (!bytes.empty()
            && (bytes.front() == ' ' || bytes.front() == '\t' || bytes.back() == ' '
                || bytes.back() == '\t'));
    if (!quote)
        return std::string(bytes);
    std::string out = "\"";
    for (char c : bytes) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

}  // namespace tenso::report
