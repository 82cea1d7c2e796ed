#pragma once

#include "app/BackgroundAnalysis.h"

class CQXRDoc;

// The stability sweep of the document's design, kept up to date in the
// background; the newest result reaches the document, followed by HINT_SWEEP.
class RobustnessRunner : public BackgroundAnalysis {
public:
    explicit RobustnessRunner(CQXRDoc& document);

private:
    Job Prepare(CDesignModel& model) override;
};
