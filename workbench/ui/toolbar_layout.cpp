#include "workbench/ui/toolbar_layout.h"

#include <algorithm>
#include <map>
#include <set>

namespace korvane::workbench {

TBarArrangement ArrangeBars(const TBarPlacements& placements) {
    TBarArrangement arrangement;
    std::map<int, std::vector<std::size_t>> rows;
    for (std::size_t i = 0; i < kBarCount; ++i) {
        if (placements[i].style == TBarStyle::Floating) {
            arrangement.floating.push_back(static_cast<TBarId>(i));
        } else {
            rows[placements[i].row].push_back(i);
        }
    }
    for (auto& [row, bars] : rows) {
        std::stable_sort(bars.begin(), bars.end(), [&placements](std::size_t a, std::size_t b) {
            return placements[a].pos < placements[b].pos;
        });
        std::vector<TBarId>& ids = arrangement.rows.emplace_back();
        for (std::size_t bar : bars) ids.push_back(static_cast<TBarId>(bar));
    }
    return arrangement;
}

TBarPlacements PlacementsFromGeometry(const std::array<TBarGeometry, kBarCount>& geometry) {
    std::set<int> rowHeights;
    for (const TBarGeometry& bar : geometry) {
        if (!bar.floating) rowHeights.insert(bar.y);
    }
    TBarPlacements placements;
    for (std::size_t i = 0; i < kBarCount; ++i) {
        const TBarGeometry& bar = geometry[i];
        TBarPlacement& placement = placements[i];
        if (bar.floating) {
            placement.style = TBarStyle::Floating;
            placement.floating = {bar.x, bar.y};
        } else {
            placement.style = TBarStyle::Docked;
            placement.row = static_cast<int>(std::distance(rowHeights.begin(), rowHeights.find(bar.y)));
            placement.pos = bar.x;
        }
    }
    return placements;
}

}  // namespace korvane::workbench
