// The common ground of the saver tests: a run, a scripted platform, the
// in-memory settings file and the window object over them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/headless/memory_profile_store.h"
#include "saver/main_form.h"
#include "settings/settings_file.h"
#include "scripted_saver_platform.h"

namespace nimbrel {

class SaverTest : public ::testing::Test {
protected:
    using Calls = ScriptedSaverPlatform::Calls;

    SaverTest() { SetCurrentProfileStore(&store); }
    ~SaverTest() override { SetCurrentProfileStore(nullptr); }

    void WriteSettings(std::string text) { store.SetFileText(kSettingsFileName, std::move(text)); }

    // Creates the window and forgets the calls that creation made.
    void CreateQuietly()
    {
        form.FormCreate();
        platform.calls.clear();
    }

    MemoryProfileStore store;
    std::unique_ptr<SaverRun> runHolder = std::make_unique<SaverRun>();
    SaverRun& run = *runHolder;
    ScriptedSaverPlatform platform;
    TMainForm form{run, platform};
};

} // namespace nimbrel
