// SettingsFile's reading rule over the in-memory store; what a store writes
// and how a failed write is reported are shown through the file store.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "platform/headless/memory_profile_store.h"

namespace nimbrel {
namespace {

TEST(SettingsFileTest, LoadsConvertByTheStrictIntegerRuleOrFallBackToTheDefault)
{
    constexpr std::int32_t kDefault = -99;
    // Value text (nothing: no such key), LoadInt with the default above and
    // LoadFlag with the default on: a flag is any integer but zero.
    const std::tuple<std::optional<std::string_view>, std::int32_t, bool> cases[] = {
        {std::nullopt, kDefault, true}, {"", kDefault, true}, {"abc", kDefault, true}, {"0", 0, false},
        {"-1", -1, true}, {"  12", 12, true}, {"12 ", kDefault, true}, {"1.5", kDefault, true},
        {"2147483647", 2147483647, true}, {"2147483648", kDefault, true}, {"$80000000", -2147483647 - 1, true},
        // "0x" or "0X" reads as "$", but only as the very first two
        // characters and only before more text.
        {"0x1F", 31, true}, {"0X10", 16, true}, {"0xFFFFFFFF", -1, true}, {"0x0", 0, false}, {"0x", kDefault, true},
        {"0x100000000", kDefault, true}, {" 0x10", kDefault, true}, {"0x-1", kDefault, true},
    };
    MemoryProfileStore store;
    const SettingsFile file(kSettingsFileName, store);
    for (const auto& [text, number, flag] : cases) {
        store.SetFileText(kSettingsFileName, text ? "[Main]\nKey=" + std::string(*text) + "\n" : "[Main]\n");
        EXPECT_EQ(file.LoadInt("Main", "Key", kDefault), number) << text.value_or("(no key)");
        EXPECT_EQ(file.LoadFlag("Main", "Key", true), flag) << text.value_or("(no key)");
        EXPECT_EQ(file.LoadFlag("Main", "Key", false), flag && number != kDefault) << text.value_or("(no key)");
    }
}

} // namespace
} // namespace nimbrel
