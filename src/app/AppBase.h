#pragma once

#include <atomic>

#include <QApplication>
#include <QString>

#include "app/SignalEvent.h"
#include "app/UrlDownloadString.h"

// The application base: a Qt application with nothing of its own.
class CMfcWinApp : public QApplication {
public:
    CMfcWinApp(int& argc, char** argv) : QApplication(argc, argv) {}
};

// Receives signal objects that worker threads post to the main frame and
// dispatches them on the UI thread.
class CMfcSignalWinApp : public CMfcWinApp {
public:
    using CMfcWinApp::CMfcWinApp;

    // Callable from any thread. Posts the signal to the main frame, which
    // hands it to OnSignal; false (the caller keeps the signal) without a frame.
    bool PostSignal(CStdSignal* signal);
    // target 0 means the application; the signal is deleted by the caller after dispatch.
    virtual void OnSignal(quintptr target, CStdSignal& signal) = 0;

    // The UI-thread object that posted signals are delivered to, or none.
    void SetSignalReceiver(QObject* receiver) { signalReceiver_ = receiver; }

private:
    std::atomic<QObject*> signalReceiver_{nullptr};
};

// Version strings of the program, as the About box shows them.
struct VersionInfo {
    QString fileDescription;
    QString internalName;
    QString fileVersion;
};

// The company layer: version information, the informational-document
// fetcher and the About box.
class CValdrisApp : public CMfcSignalWinApp {
public:
    CValdrisApp(int& argc, char** argv);
    ~CValdrisApp() override;

    void OnSignal(quintptr target, CStdSignal& signal) override;
    void OnAbout(QWidget* parent);

    const VersionInfo versionInfo;
    CUrlDownloadString infoFetcher;

protected:
    virtual void OnInfoTextArrived(const QString& text) = 0;
};
