#pragma once

#include <stdexcept>
#include <string>

// The project's one exception class. Its message is what the user sees; failures
// of the operating system carry the system's own reason text in it.
class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& message);

    // Where the error was raised, for the start-up error box.
    const void* RaiseAddress() const { return raiseAddress; }

private:
    const void* raiseAddress;
};

// The system's text for the last failed call of this thread (errno, or GetLastError).
std::string LastSystemErrorText();

// "<module file> at <offset>" for a code address; used to locate a failure.
std::string DescribeCodeAddress(const void* address);
