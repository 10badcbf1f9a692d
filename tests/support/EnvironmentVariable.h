#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable for one test, putting the old value back afterwards;
// no value unsets it.
class TEnvironmentVariable {
public:
    TEnvironmentVariable(const char* name, std::optional<std::string> value) : name(name)
    {
        if (const char* old = std::getenv(name))
            original = old;
        Set(value);
    }
    ~TEnvironmentVariable() { Set(original); }
    TEnvironmentVariable(const TEnvironmentVariable&) = delete;
    TEnvironmentVariable& operator=(const TEnvironmentVariable&) = delete;

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    const char* name;
    std::optional<std::string> original;
};
