#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/MainFrame.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

namespace {

QString LoopMenuText(qxr::ControlLoop loop)
{
    return loop == qxr::ControlLoop::Voltage ? CMainFrame::tr("&Voltage Loop...") : CMainFrame::tr("&Current Loop...");
}

QString LoopName(qxr::ControlLoop loop)
{
    return loop == qxr::ControlLoop::Voltage ? CMainFrame::tr("voltage loop") : CMainFrame::tr("current loop");
}

}  // namespace

void CMainFrame::AddOverlayActions(QMenu& menu)
{
    measurementMenu_ = menu.addMenu(tr("Import &Measurement"));
    for (qxr::ControlLoop loop : qxr::kControlLoops) {
        QAction* action =
            measurementMenu_->addAction(LoopMenuText(loop), this, [this, loop] { ImportMeasurement(loop); });
        action->setStatusTip(tr("Draw the %1 measured on the bench over the design").arg(LoopName(loop)));
    }
    reimportSeparator_ = measurementMenu_->addSeparator();
    RebuildReimportActions();

    QAction* compareAction = menu.addAction(tr("Compare &With..."), this, &CMainFrame::CompareWith);
    compareAction->setStatusTip(tr("Draw a second design over this one and list what differs"));
    stopComparingAction_ = menu.addAction(tr("S&top Comparing"), this, &CMainFrame::StopComparing);
    stopComparingAction_->setStatusTip(tr("Remove the compared design"));
    stopComparingAction_->setEnabled(false);
}

// One action per loop that has a remembered file: "Reimport Voltage Loop (bench.csv)".
void CMainFrame::RebuildReimportActions()
{
    qDeleteAll(reimportActions_);
    reimportActions_.clear();
    for (qxr::ControlLoop loop : qxr::kControlLoops) {
        const QString path = recentMeasurements_.Path(loop);
        if (path.isEmpty())
            continue;
        const QString text =
            loop == qxr::ControlLoop::Voltage ? tr("Reimport Voltage Loop (%1)") : tr("Reimport Current Loop (%1)");
        auto* action = new QAction(text.arg(QFileInfo(path).fileName()), this);
        action->setStatusTip(tr("Import %1 again").arg(QDir::toNativeSeparators(path)));
        connect(action, &QAction::triggered, this, [this, loop, path] { ImportMeasurementFile(loop, path); });
        reimportActions_.append(action);
    }
    measurementMenu_->addActions(reimportActions_);
    reimportSeparator_->setVisible(!reimportActions_.isEmpty());
}

bool CMainFrame::ImportMeasurement(qxr::ControlLoop loop)
{
    const QString path = prompts_->AskImportPath(this, tr("Import Measurement of the %1").arg(LoopName(loop)),
                                                 tr("Measurements (*.csv *.tsv *.txt *.dat);;All Files (*)"));
    return !path.isEmpty() && ImportMeasurementFile(loop, path);
}

bool CMainFrame::ImportMeasurementFile(qxr::ControlLoop loop, const QString& path)
{
    QString error;
    std::shared_ptr<const MeasuredOverlay> measured = ::ImportMeasurement(path, error);
    if (!measured) {
        ShowResult(tr("Nothing was imported from %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    document_.overlays.measured[static_cast<std::size_t>(loop)] = std::move(measured);
    recentMeasurements_.Set(loop, path);
    RebuildReimportActions();
    ShowOverlays();
    return true;
}

bool CMainFrame::CompareWith()
{
    const QString path = prompts_->AskImportPath(this, tr("Compare With"), tr("QXR Files (*.qxr)"));
    return !path.isEmpty() && CompareWithFile(path);
}

bool CMainFrame::CompareWithFile(const QString& path)
{
    FileResult result = FileResult::Ok;
    std::shared_ptr<const ComparedDesign> compared = OpenComparedDesign(path, result);
    if (!compared) {
        ShowResult(tr("Cannot compare with %1: %2")
                       .arg(QDir::toNativeSeparators(path),
                            QCoreApplication::translate("FileResult", FileResultText(result))));
        return false;
    }
    document_.overlays.compared = std::move(compared);
    stopComparingAction_->setEnabled(true);
    ShowOverlays();
    return true;
}

void CMainFrame::StopComparing()
{
    document_.overlays.compared.reset();
    stopComparingAction_->setEnabled(false);
    ShowOverlays();
}

void CMainFrame::ShowOverlays()
{
    document_.UpdateAllViews(nullptr, HINT_OVERLAYS);
}
