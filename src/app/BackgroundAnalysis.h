#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include <QObject>

#include "app/StdThreadWorker.h"
#include "doc/DocView.h"

class CQXRDoc;
class CDesignModel;

// An analysis of the document's design run on a worker thread. Every change
// of the design queues a new run and tells the one in progress to give up;
// only the newest run's result reaches the document. A derived analysis says
// what to read on the UI thread and what to compute on the worker.
class BackgroundAnalysis : public QObject, public CDocView, private CStdThreadWorker {
public:
    ~BackgroundAnalysis() override;

    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;
    // Whether the document holds the result for the design as it is now.
    bool IsCurrent() const { return delivered_ == requested_; }

protected:
    explicit BackgroundAnalysis(CQXRDoc& document);
    // Starts the worker and the first run; the derived constructor calls it last.
    void Start();
    // The threads a job may spread over: every core but one, which stays with the window.
    static unsigned WorkerThreads();

    // Reports how far a run has come (runs done of all); callable from any thread.
    using Progress = std::function<void(int done, int total)>;
    // What runs on the UI thread when the result arrives.
    using Delivery = std::function<void(CQXRDoc& document)>;
    // What the worker computes, giving up early once `cancel` is set.
    using Job = std::function<Delivery(const std::atomic<bool>& cancel, const Progress& progress)>;

    // Reads the design on the UI thread, where it lives, and returns the job.
    virtual Job Prepare(CDesignModel& model) = 0;
    // How far the newest run has come, on the UI thread.
    virtual void ShowProgress(int /*done*/, int /*total*/) {}
    // Queues a run of the design as it is now, dropping the one in progress.
    void Request();

    CQXRDoc& document_;

private:
    void Handle(CStdSignal& request) override;
    void OnStopRequested() override { cancel_ = true; }
    bool event(QEvent* event) override;

    std::atomic<uint64_t> requested_{0};  // number of the newest run
    uint64_t delivered_ = 0;              // number of the run the document holds; UI thread only
    std::atomic<bool> cancel_{false};     // the run in progress is stale
};
