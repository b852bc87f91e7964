// The error types of the program. Every failure the program itself raises is
// one of these; the message loop (or the start-up report) shows its message.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel {

// A general error. Messages are UTF-8; the Windows layer converts them for
// display. ClassName() is what the start-up error report names.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message);
    virtual std::string_view ClassName() const noexcept { return "Exception"; }

    // Where in the code the error was made: the return address of its
    // constructor, so a place inside the function that raised it. The
    // start-up error report names it; null where the compiler cannot say.
    const void* RaisedAt() const noexcept { return raisedAt_; }

protected:
    Error(const std::string& message, const void* raisedAt);

private:
    const void* raisedAt_;
};

// A text that is not an integer.
class EConvertError : public Error {
public:
    explicit EConvertError(const std::string& message);
    std::string_view ClassName() const noexcept override { return "EConvertError"; }
};

// The message as a message box shows it: with "." appended unless it
// already ends in one.
std::string WithFinalPeriod(std::string_view message);

// Replaces the first "%s" of a message pattern with the given text.
std::string FormatErrorMessage(std::string_view pattern, std::string_view text);

} // namespace nimbrel
