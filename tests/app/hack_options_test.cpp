// The native hack's command line: one table of command lines and what each
// gives (or the one line of error it raises), then the settings file the
// options stand for, and the picture the hack makes itself.
#include "app/hack_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/hack_picture.h"
#include "platform/headless/memory_profile_store.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

// Everything the options hold, in one comparable line.
std::string Describe(const std::vector<std::string_view>& args)
{
    HackOptions o;
    try {
        o = ParseHackOptions(args);
    } catch (const HackUsageError& error) {
        return std::string("error: ") + error.what();
    }
    const char* targets[] = {"own", "root", "id"};
    const char* effects[] = {"random", "wave", "melt", "noise"};
    const SaverSettings& s = o.Settings;
    std::ostringstream text;
    text << targets[static_cast<int>(o.Target)];
    if (o.Target == HackTarget::WindowId) text << ":" << o.WindowId;
    text << " " << effects[static_cast<int>(o.Effect)] << " main=" << s.Main.Wave << s.Main.Melt << s.Main.Noise
         << " wave=" << s.Wave.Pitch << "/" << s.Wave.Speed << " melt=" << s.Melt.Speed << "/" << s.Melt.Recover
         << "/" << s.Melt.RecoverTime << " noise=" << s.Noise.Deal;
    if (o.Seed) text << " seed=" << *o.Seed;
    if (o.Picture) text << " picture=" << *o.Picture;
    if (o.Help) text << " help";
    return text.str();
}

TEST(HackOptionsTest, EachCommandLineGivesItsOptionsOrOneLineOfError)
{
    const std::pair<std::vector<std::string_view>, std::string> cases[] = {
        // The defaults equal the settings file's.
        {{}, "own random main=100 wave=4/3 melt=3/1/180 noise=3"},
        // One dash or two; the window options by precedence, whatever their order.
        {{"-root"}, "root random main=100 wave=4/3 melt=3/1/180 noise=3"},
        {{"--window-id", "0xfffffffF", "--root", "-window"}, "id:4294967295 random main=100 wave=4/3 melt=3/1/180 noise=3"},
        {{"--root", "--window", "-window-id", "4194305"}, "id:4194305 random main=100 wave=4/3 melt=3/1/180 noise=3"},
        {{"--window", "--root"}, "root random main=100 wave=4/3 melt=3/1/180 noise=3"},
        // Every setting at an end of its range; a later option replaces an earlier one.
        {{"--effect", "melt", "--no-wave", "--melt", "--noise", "--wave-pitch", "1", "--wave-speed", "6",
          "--melt-speed", "0", "--no-melt-recover", "--melt-recover-time", "999", "--noise-deal", "6"},
         "own melt main=011 wave=1/6 melt=0/0/999 noise=6"},
        {{"-wave-pitch", "7", "-wave-speed", "0", "-melt-speed", "6", "-melt-recover-time", "0", "-noise-deal", "0",
          "-no-melt-recover", "-melt-recover", "-effect", "noise", "-effect", "random"},
         "own random main=100 wave=7/0 melt=6/1/0 noise=0"},
        {{"--seed", "0", "--seed", "4294967295", "--picture", "a b.png", "--help"},
         "own random main=100 wave=4/3 melt=3/1/180 noise=3 seed=4294967295 picture=a b.png help"},
        // Bad input: one line naming what is wrong.
        {{"--wave-pitch", "0"}, "error: --wave-pitch needs a whole number from 1 to 7, not '0'"},
        {{"--wave-speed", "7"}, "error: --wave-speed needs a whole number from 0 to 6, not '7'"},
        {{"--melt-speed", "-1"}, "error: --melt-speed needs a whole number from 0 to 6, not '-1'"},
        {{"--melt-recover-time", "1000"}, "error: --melt-recover-time needs a whole number from 0 to 999, not '1000'"},
        {{"--noise-deal", "3x"}, "error: --noise-deal needs a whole number from 0 to 6, not '3x'"},
        {{"--seed", "4294967296"}, "error: --seed needs a whole number from 0 to 4294967295, not '4294967296'"},
        {{"--seed", "+1"}, "error: --seed needs a whole number from 0 to 4294967295, not '+1'"},
        {{"--window-id", "0"}, "error: --window-id needs a window id, hexadecimal 0x... or decimal, not '0'"},
        {{"--window-id", "0X1g"}, "error: --window-id needs a window id, hexadecimal 0x... or decimal, not '0X1g'"},
        {{"--window-id", "0x100000000"},
         "error: --window-id needs a window id, hexadecimal 0x... or decimal, not '0x100000000'"},
        {{"--effect", "Wave"}, "error: --effect needs wave, melt, noise or random, not 'Wave'"},
        {{"--picture", ""}, "error: --picture needs a file name"},
        {{"--root", "--seed"}, "error: --seed needs a value (see --help)"},
        {{"---root"}, "error: unknown option '---root' (see --help)"},
        {{"--root=1"}, "error: unknown option '--root=1' (see --help)"},
        {{"root"}, "error: unexpected argument 'root' (see --help)"},
    };
    for (const auto& [args, expected] : cases) {
        std::string line;
        for (std::string_view arg : args) line += std::string(arg) + " ";
        EXPECT_EQ(Describe(args), expected) << line;
    }
}

TEST(HackOptionsTest, TheSettingsFileHoldsTheOptionsWithANamedEffectAlone)
{
    const std::pair<std::vector<std::string_view>, std::string_view> cases[] = {
        {{"--effect", "noise", "--wave", "--melt", "--wave-pitch", "2", "--melt-recover-time", "7", "--no-melt-recover"},
         "[Main]\nWave=0\nMelt=0\nNoise=1\n\n[Wave]\nPitch=2\nSpeed=3\n\n"
         "[Melt]\nSpeed=3\nRecover=0\nRecoverTime=7\n\n[Noise]\nDeal=3\n"},
        // A random choice keeps the enabled effects as the options left them.
        {{"--no-wave", "--melt", "--wave-speed", "0", "--melt-speed", "6", "--noise-deal", "1"},
         "[Main]\nWave=0\nMelt=1\nNoise=0\n\n[Wave]\nPitch=4\nSpeed=0\n\n"
         "[Melt]\nSpeed=6\nRecover=1\nRecoverTime=180\n\n[Noise]\nDeal=1\n"},
    };
    for (const auto& [args, text] : cases) {
        MemoryProfileStore store;
        StoreHackSettings(ParseHackOptions(args), store);
        EXPECT_EQ(store.FileText(kSettingsFileName), text);
    }
}

TEST(HackPictureTest, ColourBarsSitInTheirColumnsWithTheRampBelowAndTheGridOverAll)
{
    // 70 x 60: bars 10 wide down to row 40, the strip to row 45, then the
    // ramp; grid lines at multiples of 32.
    const Surface bars = MakeColourBars(70, 60);
    const struct { std::int32_t X, Y; Colour Expected; } pixels[] = {
        {5, 5, MakeColour(191, 191, 191)}, {15, 5, MakeColour(191, 191, 0)}, {65, 39, MakeColour(0, 0, 191)},
        {5, 40, MakeColour(0, 0, 191)},    {15, 44, kBlack},                 {69, 59, kWhite},
        {46, 50, MakeColour(170, 170, 170)}, {32, 10, MakeColour(40, 40, 40)}, {50, 32, MakeColour(40, 40, 40)},
    };
    for (const auto& [x, y, colour] : pixels) EXPECT_EQ(bars.ColourAt(x, y), colour) << x << "," << y;
}

} // namespace
} // namespace nimbrel
