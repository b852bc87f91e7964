// Message formatting shared by every error of the program.
#include "settings/errors.h"

namespace nimbrel {

// Each constructor takes its own return address, so that it points into the
// raising function whichever class is made; kept out of line for that.
#if defined(__GNUC__)
#define NIMBREL_CALLER_ADDRESS() __builtin_extract_return_addr(__builtin_return_address(0))
#define NIMBREL_NOINLINE __attribute__((noinline))
#else
#define NIMBREL_CALLER_ADDRESS() nullptr
#define NIMBREL_NOINLINE
#endif

NIMBREL_NOINLINE Error::Error(const std::string& message) : Error(message, NIMBREL_CALLER_ADDRESS()) {}

Error::Error(const std::string& message, const void* raisedAt)
    : std::runtime_error(message), raisedAt_(raisedAt)
{
}

NIMBREL_NOINLINE EConvertError::EConvertError(const std::string& message)
    : Error(message, NIMBREL_CALLER_ADDRESS())
{
}

std::string WithFinalPeriod(std::string_view message)
{
    std::string text(message);
    if (!text.ends_with('.')) text += '.';
    return text;
}

std::string FormatErrorMessage(std::string_view pattern, std::string_view text)
{
    std::string message(pattern);
    if (auto at = message.find("%s"); at != std::string::npos) {
        message.replace(at, 2, text);
    }
    return message;
}

} // namespace nimbrel
