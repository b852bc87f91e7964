// RunMode: what one start of the program does, chosen from its first argument.
#pragma once

#include <string_view>

namespace nimbrel {

enum class RunMode { Configure, Saver, Preview, ChangePassword };

// Compares the whole argument, byte for byte, with the switches of each mode
// in a fixed order; the first match decides. Letter case matters and nothing
// may follow a switch, so "/c:1234" and "/s2" match nothing. No match, the
// empty text included, gives Configure.
RunMode SelectRunMode(std::string_view firstArgument);

} // namespace nimbrel
