#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "workbench/settings.h"

namespace korvane::workbench {

// The three bars of the dock, in the order the settings file lists them.
enum class TBarId { MenuBar, ButtonBar, RecentBar };
inline constexpr std::size_t kBarCount = 3;
using TBarPlacements = std::array<TBarPlacement, kBarCount>;

// Docked bars by dock row, top row first, each row left to right; then the floating bars.
struct TBarArrangement {
    std::vector<std::vector<TBarId>> rows;
    std::vector<TBarId> floating;
    bool operator==(const TBarArrangement&) const = default;
};

// Rows are taken in order of their numbers and bars within a row in order of pos; gaps in
// the numbering close up. Bars with equal row and pos keep the settings file's order.
TBarArrangement ArrangeBars(const TBarPlacements& placements);

// Where a bar is now: its place inside the dock, or its window's place when floating.
struct TBarGeometry {
    bool floating = false;
    int x = 0;
    int y = 0;
};

// The settings to write for bars seen at these places: docked bars on the same height share a
// row (rows numbered from the top, from 0) and keep their x as pos.
TBarPlacements PlacementsFromGeometry(const std::array<TBarGeometry, kBarCount>& geometry);

}  // namespace korvane::workbench
