#include "app/AppBase.h"

#include <QMessageBox>

#include "app/InfoDocument.h"
#include "figures/QtSetup.h"

#ifndef QXR_VERSION
#error "QXR_VERSION must name the program version"
#endif

bool CMfcSignalWinApp::PostSignal(CStdSignal* signal)
{
    QObject* receiver = signalReceiver_;
    if (receiver == nullptr)
        return false;
    PostSignalTo(receiver, std::unique_ptr<CStdSignal>(signal));
    return true;
}

CValdrisApp::CValdrisApp(int& argc, char** argv)
    : CMfcSignalWinApp(argc, argv),
      versionInfo{tr("QXR - PFC Control Loop Designer"), QStringLiteral("QXR"), QStringLiteral(QXR_VERSION)},
      infoFetcher([this](CStdSignal* signal) { return PostSignal(signal); }, PrepareInfoDocument)
{
    SetUpForQt();
}

CValdrisApp::~CValdrisApp()
{
    infoFetcher.Stop();
}

void CValdrisApp::OnSignal(quintptr target, CStdSignal& signal)
{
    if (target == 0 && signal.Id() == CStdSignal::kDownloadDoneId)
        OnInfoTextArrived(static_cast<CSigDownloadDone&>(signal).text);
}

void CValdrisApp::OnAbout(QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle(versionInfo.fileDescription);
    box.setIconPixmap(windowIcon().pixmap(48, 48));
    box.setText(tr("%1, Version %2").arg(versionInfo.internalName, versionInfo.fileVersion));
    box.setInformativeText(tr("Design calculator for the control loops of boost PFC stages."));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
