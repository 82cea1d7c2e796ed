#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <QObject>

#include "analysis/Robustness.h"
#include "doc/DocView.h"

class CQXRDoc;

// Runs the stability sweep of the document's design off the UI thread. Every
// change of the design starts a new run and abandons the one in progress;
// only the newest result reaches the document, followed by HINT_SWEEP.
class RobustnessRunner : public QObject, public CDocView {
    Q_OBJECT

public:
    explicit RobustnessRunner(CQXRDoc& document);
    ~RobustnessRunner() override;

    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;
    // Whether the document holds the sweep of the design as it is now.
    bool IsCurrent() const { return delivered_ == requested_; }

signals:
    // The document holds a new report.
    void Delivered();

private:
    void Request();
    void Work();
    void Deliver(uint64_t run, std::shared_ptr<const qxr::RobustnessReport> report);

    CQXRDoc& document_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<qxr::RobustnessInputs> pending_;  // the newest inputs not yet taken by the thread
    uint64_t requested_ = 0;                        // number of the newest run; read on the UI thread only
    uint64_t pendingRun_ = 0;
    uint64_t delivered_ = 0;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};
