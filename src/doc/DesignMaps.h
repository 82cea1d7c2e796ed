#pragma once

#include <array>

#include "designmap/DesignMap.h"
#include "model/LoopData.h"

// Both loops' design maps of one design with the proposal's limits read with
// them; while a computation runs, the points done so far.
struct DesignMaps {
    std::array<qxr::DesignMap, 2> maps;
    std::array<qxr::MapLimits, 2> limits;

    const qxr::DesignMap& Map(qxr::ControlLoop loop) const { return maps[static_cast<std::size_t>(loop)]; }
    const qxr::MapLimits& Limits(qxr::ControlLoop loop) const { return limits[static_cast<std::size_t>(loop)]; }
};
