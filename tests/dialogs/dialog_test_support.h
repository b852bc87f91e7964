// What the dialog tests share: a host that records what the handlers ask of
// the platform, and a fixture whose settings file lives in memory.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/dialog_host.h"
#include "dialogs/layout.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/errors.h"
#include "settings/profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel::dialog_test {

// Records every request as a line such as "ShowModal SetDialog" or
// "Close OK".
class ScriptedHost final : public DialogHost {
public:
    void ShowModal(DialogKind kind) override
    {
        calls.push_back("ShowModal " + std::string(LayoutOf(kind).formName));
    }
    void Close(ModalResult result) override { calls.push_back(result == ModalResult::OK ? "Close OK" : "Close Cancel"); }
    void RunTestSaver() override { calls.push_back("RunTestSaver"); }

    std::vector<std::string> calls;
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest() { SetCurrentProfileStore(&store); }
    ~DialogTest() override { SetCurrentProfileStore(nullptr); }

    void GivenFile(std::string text) { store.SetFileText(kSettingsFileName, std::move(text)); }

    // The key's text in the file, or "-" when it is not there.
    std::string Stored(std::string_view section, std::string_view key)
    {
        return store.ReadString(kSettingsFileName, section, key, "-");
    }

    MemoryProfileStore store;
    ScriptedHost host;
};

// What the action throws, as "<class name>: <message>", or "nothing".
inline std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& error) {
        return std::string(error.ClassName()) + ": " + error.what();
    }
    return "nothing";
}

inline ControlId IdOf(const DialogLayout& layout, std::string_view name)
{
    const ControlLayout* control = FindControl(layout, name);
    EXPECT_NE(control, nullptr) << name;
    return control ? control->id : ControlId{0};
}

} // namespace nimbrel::dialog_test
