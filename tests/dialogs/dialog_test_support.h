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
#include "settings/profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel::dialog_test {

inline std::string_view KindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::MainDialog: return "MainDialog";
    case DialogKind::SetDialog: return "SetDialog";
    case DialogKind::OtherSetDlg: return "OtherSetDlg";
    }
    return "?";
}

// Records every request as a line such as "ShowModal SetDialog" or
// "Close OK". A test can script what happens inside a modal showing.
class ScriptedHost final : public DialogHost {
public:
    void ShowModal(DialogKind kind) override
    {
        calls.push_back("ShowModal " + std::string(KindName(kind)));
        if (onShowModal) onShowModal(kind);
    }
    void RunTestSaver() override
    {
        calls.push_back("RunTestSaver");
        if (onRunTestSaver) onRunTestSaver();
    }
    void Close(ModalResult result) override
    {
        calls.push_back(result == ModalResult::OK ? "Close OK" : "Close Cancel");
    }

    std::vector<std::string> calls;
    std::function<void(DialogKind)> onShowModal;
    std::function<void()> onRunTestSaver;
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

inline ControlId IdOf(const DialogLayout& layout, std::string_view name)
{
    const ControlLayout* control = FindControl(layout, name);
    EXPECT_NE(control, nullptr) << name;
    return control ? control->id : ControlId{0};
}

} // namespace nimbrel::dialog_test
