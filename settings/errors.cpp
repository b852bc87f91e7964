// Message formatting shared by every error of the program.
#include "settings/errors.h"

namespace nimbrel {

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
