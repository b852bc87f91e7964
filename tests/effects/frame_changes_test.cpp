// FrameChanges: random additions of rows, of columns and of both, in any
// order, against a plain record of which rows and columns were added.
#include "effects/frame_changes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace nimbrel {
namespace {

TEST(FrameChangesTest, AnyOrderOfAdditionsGivesASortedDisjointCoveringListWithinTheLimit)
{
    // Each round adds rows only, columns only, or both, in random order, on
    // frames from empty to long enough that the list fills. While the added
    // rows (or columns) never fall into more pieces than the list holds, the
    // list is exactly those pieces, in order. Past that, each entry joins
    // whole pieces that follow each other (the gaps between them included),
    // every piece in one entry, and the list holds no more than the limit:
    // so it stays sorted, apart, inside the frame and covers every addition.
    // Rows and columns together, or the whole frame once added, give the
    // whole frame.
    std::mt19937 random(20261207);
    auto uniform = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    for (int round = 0; round < 2000; ++round) {
        const std::int32_t side = round % 4 == 0 ? 3000 : 12;
        const FrameSize frame{uniform(0, side), uniform(0, side)};
        const bool shows = frame.Width > 0 && frame.Height > 0;
        FrameChanges changes;
        changes.Reset(frame);
        // Per axis (rows, columns): what was added, and in how many pieces.
        std::vector<bool> added[2] = {std::vector<bool>(frame.Height), std::vector<bool>(frame.Width)};
        std::int32_t pieces[2] = {0, 0};
        bool overflowed = false, whole = false;
        const int additions = uniform(0, side == 12 ? 12 : 1200);
        for (int n = 0; n < additions; ++n) {
            if (round % 17 == 5 && n == additions / 2) {
                changes.AddWholeFrame();
                whole = true;
            }
            const int axis = round % 3 == 2 ? uniform(0, 1) : round % 3;
            std::vector<bool>& set = added[axis];
            const auto extent = static_cast<std::int32_t>(set.size());
            const std::int32_t begin = uniform(-20, extent + 20);
            const std::int32_t end = begin + (uniform(0, 9) == 0 ? uniform(-3, extent / 100 + 3) : uniform(1, 3));
            axis == 0 ? changes.AddRows(begin, end) : changes.AddColumns(begin, end);
            for (std::int32_t i = std::max(begin, 0); i < std::min(end, extent) && shows; ++i) {
                if (set[i]) continue;
                set[i] = true;
                pieces[axis] += 1 - (i > 0 && set[i - 1]) - (i + 1 < extent && set[i + 1]);
                overflowed = overflowed || pieces[axis] > static_cast<std::int32_t>(kMaxFrameChanges);
            }
        }
        SCOPED_TRACE(::testing::Message() << "round " << round << ", " << frame.Width << " x " << frame.Height);

        // The pieces and the entries as [begin, end) along the axis added.
        const bool byRows = pieces[0] > 0;
        const std::vector<bool>& set = added[byRows ? 0 : 1];
        std::vector<std::pair<std::int32_t, std::int32_t>> runs, listed;
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(set.size()); ++i) {
            if (!set[i]) continue;
            if (runs.empty() || runs.back().second != i) runs.emplace_back(i, i);
            runs.back().second = i + 1;
        }
        if (shows && (whole || (pieces[0] > 0 && pieces[1] > 0))) {
            runs = {{0, static_cast<std::int32_t>(set.size())}};
            overflowed = false;
        }
        for (const PixelRect& r : changes.Rects()) {
            ASSERT_EQ(byRows ? std::pair(r.Left, r.Right) : std::pair(r.Top, r.Bottom),
                      std::pair(0, byRows ? frame.Width : frame.Height));
            listed.push_back(byRows ? std::pair(r.Top, r.Bottom) : std::pair(r.Left, r.Right));
        }
        if (!overflowed) {
            ASSERT_EQ(listed, runs);
            continue;
        }
        ASSERT_LE(listed.size(), kMaxFrameChanges);
        std::size_t next = 0;
        for (const auto& [begin, end] : listed) {
            ASSERT_TRUE(next < runs.size() && runs[next].first == begin && runs[next].second <= end)
                << "an entry at " << begin << " that does not start with a whole piece";
            while (next < runs.size() && runs[next].second <= end) ++next;
            ASSERT_EQ(runs[next - 1].second, end) << "an entry that ends inside a piece";
        }
        ASSERT_EQ(next, runs.size()) << "pieces after the last entry";
    }
}

} // namespace
} // namespace nimbrel
