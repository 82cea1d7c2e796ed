#include "app/QXRApp.h"

#include <QIcon>

#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/RecoveryCopies.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "widgets/ComboAccessibility.h"

const QString CQXRApp::kDefaultInfoAddress = QStringLiteral("qrc:/info/qxr-info.html");

CQXRApp::CQXRApp(int& argc, char** argv) : CValdrisApp(argc, argv)
{
    setOrganizationName(QStringLiteral("Valdris"));
    setApplicationName(QStringLiteral("QXR"));
    setApplicationVersion(versionInfo.fileVersion);
    setDesktopFileName(QStringLiteral("qxr"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/qxr.svg")));
    InstallComboAccessibility();
}

CQXRApp::~CQXRApp()
{
    ExitInstance();
}

bool CQXRApp::InitInstance(const QStringList& files)
{
    document_ = std::make_unique<CQXRDoc>();
    recovery_ = std::make_unique<RecoveryCopies>(*document_);
    frame_ = std::make_unique<CMainFrame>(*this, *document_, infoText_);
    SetSignalReceiver(frame_.get());
    instanceChannel_ = std::make_unique<InstanceChannel>([this](const QString& path) { OpenFromAnotherStart(path); });

    if (files.isEmpty())
        document_->OnNewDocument();
    else if (!frame_->OpenDocumentFile(files.first()))
        return false;

    // The views size their splitters to their pages, so the window is laid out first.
    frame_->show();
    frame_->OnInitialUpdate();
    frame_->OfferRecovery(*recovery_);
    infoTextArrived_ = false;
    const QString address = qEnvironmentVariable("QXR_INFO_URL", kDefaultInfoAddress);
    infoFetcher.Start(address);
    return true;
}

int CQXRApp::ExitInstance()
{
    infoFetcher.Stop();
    SetSignalReceiver(nullptr);
    instanceChannel_.reset();
    frame_.reset();
    recovery_.reset();
    document_.reset();
    return 0;
}

void CQXRApp::OnInfoTextArrived(const QString& text)
{
    infoText_ = text;
    infoTextArrived_ = true;
    if (document_)
        document_->UpdateAllViews(nullptr, HINT_INFO_TEXT);
}

void CQXRApp::OpenFromAnotherStart(const QString& path)
{
    frame_->raise();
    frame_->activateWindow();
    if (frame_->SaveModified())
        frame_->OpenDocumentFile(path);
}
