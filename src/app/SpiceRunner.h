#pragma once

#include "app/BackgroundAnalysis.h"

class CQXRDoc;

// ngspice on the AC decks of the loops whose Bode page has its Spice box
// checked, run again in the background after every change; the newest
// result reaches the document (CQXRDoc::spice), followed by HINT_SPICE.
class SpiceRunner : public BackgroundAnalysis {
public:
    explicit SpiceRunner(CQXRDoc& document);

    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

private:
    Job Prepare(CDesignModel& model) override;
};
