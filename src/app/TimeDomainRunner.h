#pragma once

#include <chrono>

#include "app/BackgroundAnalysis.h"

class CQXRDoc;

// The time-domain simulation of the document's design, kept up to date in
// the background over the cores the window does not need; the newest result
// reaches the document, followed by HINT_TIME_DOMAIN. A run that takes longer
// than a moment reports its progress the same way.
class TimeDomainRunner : public BackgroundAnalysis {
public:
    explicit TimeDomainRunner(CQXRDoc& document);

    // Progress shows once a run has taken this long.
    static constexpr std::chrono::milliseconds kQuietTime{300};

private:
    Job Prepare(CDesignModel& model) override;
    void ShowProgress(int done, int total) override;

    std::chrono::steady_clock::time_point started_;
};
