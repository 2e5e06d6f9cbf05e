#include "open_save_pattern.h"

#include <cstddef>

namespace tenso {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Glob match of one part; on a mismatch after a '*', the '*' takes one character more.
bool matchesPart(std::string_view name, std::string_view part)
{
    size_t n = 0;
    size_t p = 0;
    size_t starAt = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < part.size() && part[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (p < part.size() && (part[p] == '?' || lower(part[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < part.size() && part[p] == '*')
        ++p;
    return p == part.size();
}

}  // namespace

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool MatchesPattern(std::string_view name, std::string_view pattern)
{
    while (true) {
        const size_t semicolon = pattern.find(';');
        std::string_view part = trimmed(pattern.substr(0, semicolon));
        if (part == "*.*")
            part = "*";
        const bool hidden = !name.empty() && name.front() == '.';
        if (!part.empty() && (!hidden || part.front() == '.') && matchesPart(name, part))
            return true;
        if (semicolon == std::string_view::npos)
            return false;
        pattern.remove_prefix(semicolon + 1);
    }
}

}  // namespace tenso
