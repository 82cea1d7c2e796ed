#pragma once

#include <memory>

#include "app/BackgroundAnalysis.h"

class CQXRDoc;
struct DesignMaps;

// Both loops' design maps of the document's design, kept up to date in the
// background over the cores the window does not need: first both maps over
// the sweep's corners, then their time-domain passes. A changed design
// starts its maps empty; the points done so far reach the document every
// tenth of a second, each map as soon as its first pass is whole, and the
// finished maps at the end, each followed by HINT_DESIGN_MAP.
class DesignMapRunner : public BackgroundAnalysis {
public:
    explicit DesignMapRunner(CQXRDoc& document);

private:
    struct Filling;

    Job Prepare(CDesignModel& model) override;
    void ShowProgress(int done, int total) override;

    std::shared_ptr<Filling> filling_;  // the newest run's maps as they fill in
};
