#pragma once

#include <array>

#include <QString>

#include "analysis/ControlLoops.h"

// The measurement file last imported for each loop, kept in the user's
// settings beside the recent designs, so that it can be imported again.
class RecentMeasurements {
public:
    RecentMeasurements();

    // Empty when none was imported.
    QString Path(qxr::ControlLoop loop) const { return paths_[static_cast<std::size_t>(loop)]; }
    void Set(qxr::ControlLoop loop, const QString& path);

private:
    std::array<QString, 2> paths_;
};
