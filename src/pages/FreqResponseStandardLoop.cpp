#include <QCheckBox>

#include "analysis/PartValues.h"
#include "calc/DesignConstants.h"
#include "doc/QXRDoc.h"
#include "pages/FreqResponsePages.h"
#include "plot/GraphScatter.h"

namespace {

// The Standard check box beside Discrete; only one of them shows for a Mode.
constexpr int kStandardBox = 1080;

}  // namespace

// Off until asked for: the curve lies close to the loop's and is there to compare.
void CTabFreqResponse::SetupStandardLoop()
{
    Box(kStandardBox)->setChecked(false);
    Box(kStandardBox)->setToolTip(tr("The loop with every part at its standard value"));
    connect(Box(kStandardBox), &QCheckBox::clicked, this, &CTabFreqResponse::RedrawBode);
    for (CGraphScatter* graph : {magnitude_, phase_})
        AddBodeLine(*graph, qxr::kStandardLoopLine);
}

void CTabFreqResponse::DrawStandardLoop()
{
    for (CGraphScatter* graph : {magnitude_, phase_})
        graph->ClearLine(qxr::kStandardLoopLine);
    // Only the analog design has parts to round.
    const bool analog = document_.model.Mode() == CTop::ANALOG;
    Box(kStandardBox)->setVisible(analog);
    if (analog && Box(kStandardBox)->isChecked()) {
        const qxr::StandardValueLoops loops =
            qxr::StandardValueLoopsOf(document_.model, qxr::PartValuesOf(document_.model));
        if (const std::optional<qxr::LoopModel>& loop = loops.standardLoops[static_cast<std::size_t>(loop_)]) {
            for (double f : bode_->Grid()) {
                magnitude_->AddPoint(f, loop->GainDb(qxr::kTwoPi * f), qxr::kStandardLoopLine);
                phase_->AddPoint(f, loop->PhaseDeg(qxr::kTwoPi * f), qxr::kStandardLoopLine);
            }
        }
    }
}
