#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <QObject>

#include "analysis/Robustness.h"
#include "app/StdThreadWorker.h"
#include "doc/DocView.h"

class CQXRDoc;

// Runs the stability sweep of the document's design on a worker thread. Every
// change of the design queues a new run and abandons the one in progress;
// only the newest result reaches the document, followed by HINT_SWEEP.
class RobustnessRunner : public QObject, public CDocView, private CStdThreadWorker {
    Q_OBJECT

public:
    explicit RobustnessRunner(CQXRDoc& document);
    ~RobustnessRunner() override;

    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;
    // Whether the document holds the sweep of the design as it is now.
    bool IsCurrent() const { return delivered_ == requested_; }

private:
    void Request();
    void Handle(CStdSignal& request) override;
    void OnStopRequested() override { cancel_ = true; }
    void Deliver(uint64_t run, std::shared_ptr<const qxr::RobustnessReport> report);

protected:
    // Takes the finished runs the worker posts.
    bool event(QEvent* event) override;

    CQXRDoc& document_;
    std::atomic<uint64_t> requested_{0};  // number of the newest run
    uint64_t delivered_ = 0;              // number of the run the document holds; UI thread only
    std::atomic<bool> cancel_{false};     // the run in progress is stale
};
