// Finding the user's grabDesktopImages choice in the three resource texts.
#include "platform/x11/grab_setting.h"

#include <gtest/gtest.h>

namespace nimbrel::x11 {
namespace {

TEST(GrabSettingTest, ResourceTextsGiveTheValueOfTheLineThatCounts)
{
    const std::pair<std::string_view, std::optional<bool>> cases[] = {
        // ~/.xscreensaver as XScreenSaver writes it.
        {"timeout:\t0:10:00\ngrabDesktopImages:\tFalse\ngrabVideoFrames: True\n", false},
        {"grabDesktopImages:  True", true},
        // The app-defaults and the server's resources spell the program.
        {"*grabDesktopImages:\t\tFalse\n", false},
        {"XScreenSaver.grabDesktopImages: on\r\n", true},
        {"xscreensaver*GrabDesktopImages: yes", true},
        {"  grabDesktopImages : 0  ", false},
        // Every X boolean spelling, in any case.
        {"grabDesktopImages: TRUE", true}, {"grabDesktopImages: Off", false}, {"grabDesktopImages: 1", true},
        {"grabDesktopImages: no", false},
        // The last of equals counts; a line naming the program beats a bare one.
        {"grabDesktopImages: True\ngrabDesktopImages: False", false},
        {"XScreenSaver.grabDesktopImages: True\n*grabDesktopImages: False", true},
        // Not the setting: comments, other programs, other names, values that are not booleans.
        {"! grabDesktopImages: True\n# grabDesktopImages: True", std::nullopt},
        {"xterm*grabDesktopImages: True", std::nullopt},
        {"grabDesktopImagesToo: True\ngrabVideoFrames: True", std::nullopt},
        {"grabDesktopImages: maybe\ngrabDesktopImages:", std::nullopt},
        {"", std::nullopt},
        // A continued line is one line: the setting's name inside the
        // programs list is not the setting.
        {"programs: \\\n  grabDesktopImages: True \\n\\\n  other\ngrabDesktopImages: False", false},
        {"programs: a \\\n grabDesktopImages: True", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(FindGrabDesktopImages(text), expected) << text;
}

TEST(GrabSettingTest, TheFirstSourceThatSetsItDecidesAndNoneKeepsTheDesktopPrivate)
{
    const std::optional<std::string> none;
    const std::optional<std::string> on = "grabDesktopImages: True";
    const std::optional<std::string> off = "*grabDesktopImages: False";
    const std::optional<std::string> silent = "timeout: 0:10:00";
    EXPECT_TRUE(GrabDesktopImagesAllowed(on, off, off));
    EXPECT_FALSE(GrabDesktopImagesAllowed(off, on, on));
    EXPECT_TRUE(GrabDesktopImagesAllowed(silent, on, off));
    EXPECT_TRUE(GrabDesktopImagesAllowed(none, none, on));
    EXPECT_FALSE(GrabDesktopImagesAllowed(silent, silent, off));
    EXPECT_FALSE(GrabDesktopImagesAllowed(none, none, none));
}

} // namespace
} // namespace nimbrel::x11
