#pragma once

#include <memory>

#include <QString>
#include <QStringList>

#include "app/AppBase.h"

class CMainFrame;
class CQXRDoc;
class InstanceChannel;
class RecoveryCopies;

// The QXR application: one document, one main frame, and the
// informational document fetched once per run.
class CQXRApp : public CValdrisApp {
public:
    // Where the informational document comes from unless QXR_INFO_URL says otherwise.
    static const QString kDefaultInfoAddress;

    CQXRApp(int& argc, char** argv);
    ~CQXRApp() override;

    // Creates the document and the main frame, opens the file named by the
    // arguments or starts a new design, shows the window, offers the
    // unsaved designs of instances that did not close and starts the fetch.
    // False when the program should end.
    bool InitInstance(const QStringList& files);
    // Stops the fetch, waiting for its thread, and closes the window.
    int ExitInstance();

    CQXRDoc* GetActiveDesignDoc() const { return document_.get(); }
    CMainFrame* MainFrame() const { return frame_.get(); }
    RecoveryCopies* Recovery() const { return recovery_.get(); }
    // The informational document as the log shows it.
    const QString& InfoText() const { return infoText_; }
    // Whether the fetch of this run has ended, successfully or not.
    bool InfoTextArrived() const { return infoTextArrived_; }

protected:
    void OnInfoTextArrived(const QString& text) override;

private:
    void OpenFromAnotherStart(const QString& path);

    QString infoText_;
    bool infoTextArrived_ = false;
    std::unique_ptr<CQXRDoc> document_;
    std::unique_ptr<RecoveryCopies> recovery_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<InstanceChannel> instanceChannel_;
};
