#include "app/SpiceRunner.h"

#include <array>
#include <memory>
#include <string>

#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "model/Utf.h"

SpiceRunner::SpiceRunner(CQXRDoc& document) : BackgroundAnalysis(document)
{
    Start();
}

void SpiceRunner::OnUpdate(CDocView* sender, int hint, QObject* hintObject)
{
    // A box checked asks for a run; the run's own hint does not.
    if (hint == HINT_SPICE && sender != this)
        Request();
    else
        BackgroundAnalysis::OnUpdate(sender, hint, hintObject);
}

BackgroundAnalysis::Job SpiceRunner::Prepare(CDesignModel& model)
{
    const std::array<bool, 2> wanted = document_.spiceWanted;
    if (!wanted[0] && !wanted[1]) {
        // No box checked: nothing to read or run, only a result to take back.
        return [this](const std::atomic<bool>&, const Progress&) {
            return Delivery([this](CQXRDoc& document) {
                if (!document.spice[0] && !document.spice[1])
                    return;
                document.spice = {};
                document.UpdateAllViews(this, HINT_SPICE);
            });
        };
    }
    const qxr::SpiceInputs inputs = qxr::ReadSpiceInputs(model, qxr::ToUtf8(document_.designDescription));
    std::array<std::string, 2> decks;
    std::array<std::string, 2> notWritten;
    for (std::size_t i = 0; i < 2; ++i) {
        if (!wanted[i])
            continue;
        const qxr::SpiceDeckText deck =
            qxr::WriteSpiceDeck(inputs, i == 0 ? qxr::SpiceDeck::AcVoltage : qxr::SpiceDeck::AcCurrent);
        decks[i] = deck.text;
        notWritten[i] = deck.notWritten;
    }
    return [this, wanted, decks, notWritten, ranges = inputs.ranges](const std::atomic<bool>& cancel, const Progress&) {
        std::array<std::shared_ptr<const qxr::SpiceLoopResult>, 2> results;
        for (std::size_t i = 0; i < 2 && !cancel; ++i) {
            if (!wanted[i])
                continue;
            qxr::SpiceLoopResult result;
            if (notWritten[i].empty())
                result = qxr::RunLoopDeck(decks[i], ranges[i]);
            else
                result.error = notWritten[i];
            results[i] = std::make_shared<const qxr::SpiceLoopResult>(std::move(result));
        }
        return Delivery([this, results](CQXRDoc& document) {
            document.spice = results;
            document.UpdateAllViews(this, HINT_SPICE);
        });
    };
}
