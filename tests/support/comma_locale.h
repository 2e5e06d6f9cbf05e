#pragma once
// Switches the process to a locale whose decimal mark is a comma, as Qt does when it starts under
// LANG=de_DE.UTF-8, and back when it goes out of scope. scripts/setup.sh makes that locale; where
// it is missing the test says so and is skipped, never passed.

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace tenso::test {

inline constexpr const char* CommaLocaleName = "de_DE.UTF-8";

class CommaLocale {
public:
    CommaLocale()
    {
        const char* before = std::setlocale(LC_ALL, nullptr);
        before_ = before != nullptr ? before : "C";
        active_ = std::setlocale(LC_ALL, CommaLocaleName) != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, before_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool Active() const { return active_; }
    static std::string Why()
    {
        return std::string("the locale ") + CommaLocaleName
            + " is not installed here (scripts/setup.sh makes it with Debian's locales)";
    }

private:
    std::string before_;
    bool active_ = false;
};

// For a child process: its environment asks for the comma locale in every variable a program reads.
class CommaLocaleEnvironment {
public:
    CommaLocaleEnvironment()
    {
        for (const char* name : {"LC_ALL", "LANG", "LC_NUMERIC"}) {
            const char* value = std::getenv(name);
            saved_[index(name)] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
            ::setenv(name, CommaLocaleName, 1);
        }
    }
    ~CommaLocaleEnvironment()
    {
        for (const char* name : {"LC_ALL", "LANG", "LC_NUMERIC"}) {
            if (const auto& value = saved_[index(name)])
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }
    CommaLocaleEnvironment(const CommaLocaleEnvironment&) = delete;
    CommaLocaleEnvironment& operator=(const CommaLocaleEnvironment&) = delete;

    // Whether the locale exists, so that a program started now really runs under it.
    static bool Available()
    {
        const char* before = std::setlocale(LC_ALL, nullptr);
        const std::string saved = before != nullptr ? before : "C";
        const bool ok = std::setlocale(LC_ALL, CommaLocaleName) != nullptr;
        std::setlocale(LC_ALL, saved.c_str());
        return ok;
    }

private:
    static int index(const std::string& name) { return name == "LC_ALL" ? 0 : name == "LANG" ? 1 : 2; }
    std::optional<std::string> saved_[3];
};

}  // namespace tenso::test
