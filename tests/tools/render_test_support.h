// Pictures written out row by row for the renderer's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "effects/surface.h"

namespace nimbrel::render::test {

// A surface whose rows are the given colour values, top row first.
inline Surface PictureFromRows(std::initializer_list<std::vector<Colour>> rows)
{
    const auto height = static_cast<std::int32_t>(rows.size());
    const auto width = static_cast<std::int32_t>(rows.begin()->size());
    Surface picture(width, height);
    std::int32_t y = 0;
    for (const auto& row : rows) {
        for (std::int32_t x = 0; x < width; ++x) picture.SetColourAt(x, y, row[static_cast<std::size_t>(x)]);
        ++y;
    }
    return picture;
}

// The rows of a surface as colour values, top row first.
inline std::vector<std::vector<Colour>> Rows(const Surface& picture)
{
    std::vector<std::vector<Colour>> rows;
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        rows.emplace_back();
        for (std::int32_t x = 0; x < picture.Width(); ++x) rows.back().push_back(picture.ColourAt(x, y));
    }
    return rows;
}

using RowList = std::vector<std::vector<Colour>>;

} // namespace nimbrel::render::test
