#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "analysis/BillOfMaterials.h"
#include "analysis/FirmwareHeader.h"
#include "app/AppBase.h"
#include "app/QXRViewLog.h"
#include "app/RecoveryCopies.h"
#include "app/TabViews.h"
#include "app/WindowLayout.h"
#include "doc/FileNames.h"
#include "doc/QXRDoc.h"
#include "pages/ExportFiles.h"
#include "pages/PartsPage.h"
#include "report/DesignReport.h"
#include "report/ReportPdf.h"

namespace {

constexpr int kInitialUserViewWidth = 420;
// Below these the panes scroll their pages rather than shrink further.
constexpr QSize kMinimumUserViewSize(260, 200);
constexpr QSize kMinimumReviewViewSize(300, 160);

}  // namespace

CMfcFrameWnd::CMfcFrameWnd(CMfcSignalWinApp& app) : app_(app)
{
}

bool CMfcFrameWnd::event(QEvent* event)
{
    if (event->type() == CSignalEvent::EventType()) {
        app_.OnSignal(0, *static_cast<CSignalEvent*>(event)->signal);
        return true;
    }
    return QMainWindow::event(event);
}

CMainFrame::CMainFrame(CValdrisApp& app, CQXRDoc& document, const QString& infoText)
    : CMfcFrameWnd(app),
      app_(app),
      document_(document),
      prompts_(std::make_unique<DialogPrompts>()),
      robustness_(document),
      timeDomain_(document),
      spice_(document),
      designMap_(document)
{
    CreateMenusAndToolBar();
    CreateClient(infoText);
    statusBar()->showMessage(tr("Ready"));
    setAcceptDrops(true);
    layout_ = std::make_unique<WindowLayout>(*this, QList<QSplitter*>{outerSplitter_},
                                             QList<CMfcCtrlTab*>{&userView_->TabControl(), &reviewView_->TabControl()});
    if (!layout_->RestoreGeometry())
        resize(WindowLayout::FirstStartSize(*screen()));

    connect(&document_, &CQXRDoc::TitleChanged, this, &CMainFrame::UpdateTitle);
    connect(&document_, &CQXRDoc::HistoryChanged, this, &CMainFrame::UpdateHistoryActions);
    connect(&document_, &CQXRDoc::HistoryChanged, this, &CMainFrame::UpdateTitle);
    connect(qApp, &QApplication::focusChanged, this, [this] {
        // Typing into a row is one step until the focus leaves it.
        document_.EndTyping();
        UpdateEditActions();
    });
    connect(logView_, &QTextBrowser::copyAvailable, this, &CMainFrame::UpdateEditActions);
    UpdateTitle();
    UpdateEditActions();
    UpdateHistoryActions();
}

CMainFrame::~CMainFrame()
{
    // Closing the window moves the focus while the base classes are torn
    // down; this part of the frame is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void CMainFrame::SetPrompts(std::unique_ptr<UserPrompts> prompts)
{
    prompts_ = std::move(prompts);
}

void CMainFrame::OfferRecovery(RecoveryCopies& copies)
{
    copies.OfferLeftCopies(this, *prompts_);
}

void CMainFrame::OnInitialUpdate()
{
    userView_->OnInitialUpdate();
    reviewView_->OnInitialUpdate();
    FitPanes();
    layout_->RestorePanes();
}

void CMainFrame::FitPanes()
{
    userView_->FitParentSplitter(0);
    // The review pane's widest page comes first; the design pages' strip scrolls where the rest is too narrow.
    userView_->LeaveRoomForNextPane(reviewView_->TabControl().NeededPageSize().width());
}

QAction* CMainFrame::MakeAction(const QString& iconName, const QString& text, const QString& prompt,
                                const QList<QKeySequence>& shortcuts)
{
    auto* action = new QAction(text, this);
    if (!iconName.isEmpty())
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(iconName)));
    action->setStatusTip(prompt);
    action->setShortcuts(shortcuts);
    return action;
}

void CMainFrame::CreateMenusAndToolBar()
{
    QAction* newAction = MakeAction("new", tr("&New"), tr("Create a new design"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    QAction* openAction =
        MakeAction("open", tr("&Open..."), tr("Open an existing design"), {QKeySequence(Qt::CTRL | Qt::Key_O)});
    QAction* saveAction = MakeAction("save", tr("&Save"), tr("Save the design"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    QAction* saveAsAction = MakeAction("", tr("Save &As..."), tr("Save the design under a new name"),
                                       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    QAction* exportHeaderAction =
        MakeAction("", tr("Export &Firmware Header..."), tr("Write the digital design's coefficients as a C header"));
    QAction* exitAction = MakeAction("", tr("E&xit"), tr("Quit QXR; asks to save a changed design"),
                                     {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    connect(newAction, &QAction::triggered, this, &CMainFrame::FileNew);
    connect(openAction, &QAction::triggered, this, &CMainFrame::FileOpen);
    connect(saveAction, &QAction::triggered, this, &CMainFrame::FileSave);
    connect(saveAsAction, &QAction::triggered, this, &CMainFrame::FileSaveAs);
    connect(exportHeaderAction, &QAction::triggered, this, &CMainFrame::FileExportFirmwareHeader);
    QAction* exportBomAction = MakeAction("", tr("Export &Bill of Materials..."),
                                          tr("Write every resistor and capacitor with its standard value as CSV"));
    connect(exportBomAction, &QAction::triggered, this, &CMainFrame::FileExportBillOfMaterials);
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    printAction_ = MakeAction("print", tr("&Print..."), tr("Print the design"), {QKeySequence(Qt::CTRL | Qt::Key_P)});
    QAction* previewAction = MakeAction("", tr("Print Pre&view"), tr("Show the printed pages of the design"));
    QAction* exportPdfAction =
        MakeAction("", tr("Export Report as P&DF..."), tr("Save the design report as a PDF document"));
    connect(printAction_, &QAction::triggered, this, &CMainFrame::FilePrint);
    connect(previewAction, &QAction::triggered, this, &CMainFrame::FilePrintPreview);
    connect(exportPdfAction, &QAction::triggered, this, &CMainFrame::ExportReportPdf);

    fileMenu_ = menuBar()->addMenu(tr("&File"));
    fileMenu_->addActions({newAction, openAction, saveAction, saveAsAction});
    fileMenu_->addSeparator();
    fileMenu_->addActions({printAction_, previewAction, exportPdfAction});
    fileMenu_->addAction(exportHeaderAction);
    fileMenu_->addAction(exportBomAction);
    AddSpiceActions(*fileMenu_);
    fileMenu_->addSeparator();
    AddOverlayActions(*fileMenu_);
    fileMenu_->addSeparator();
    recentSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addAction(exitAction);
    RebuildRecentFileMenu();

    undoAction_ = MakeAction("undo", tr("&Undo"), tr("Undo the last action"),
                             {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    redoAction_ = MakeAction("", tr("&Redo"), tr("Redo the previously undone action"),
                             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undoAction_, &QAction::triggered, &document_, &CQXRDoc::Undo);
    connect(redoAction_, &QAction::triggered, &document_, &CQXRDoc::Redo);
    cutAction_ = MakeAction("cut", tr("Cu&t"), tr("Cut the selection to the clipboard"),
                            {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    copyAction_ = MakeAction("copy", tr("&Copy"), tr("Copy the selection to the clipboard"),
                             {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    pasteAction_ = MakeAction("paste", tr("&Paste"), tr("Insert the clipboard contents"),
                              {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    connect(copyAction_, &QAction::triggered, this, [this] { logView_->copy(); });
    for (QAction* unavailable : {cutAction_, pasteAction_})
        unavailable->setEnabled(false);
    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    editMenu->addActions({undoAction_, redoAction_});
    editMenu->addSeparator();
    editMenu->addActions({cutAction_, copyAction_, pasteAction_});
    editMenu->addSeparator();
    QAction* standardValuesAction =
        MakeAction("", tr("Use &Standard Values"), tr("Enter the standard value of every resistor and capacitor"));
    connect(standardValuesAction, &QAction::triggered, this, &CMainFrame::EditUseStandardValues);
    editMenu->addAction(standardValuesAction);

    QToolBar* toolBar = addToolBar(tr("Standard"));
    toolBar->setObjectName("StandardToolBar");
    toolBar->setIconSize(QSize(16, 16));
    QAction* aboutAction = MakeAction("about", tr("&About QXR..."), tr("Show the program name and version"));
    connect(aboutAction, &QAction::triggered, this, [this] { app_.OnAbout(this); });
    toolBar->addActions({newAction, openAction, saveAction});
    toolBar->addSeparator();
    toolBar->addActions({cutAction_, copyAction_, pasteAction_});
    toolBar->addSeparator();
    toolBar->addAction(undoAction_);
    toolBar->addSeparator();
    toolBar->addActions({printAction_, aboutAction});

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    QAction* toolBarToggle = toolBar->toggleViewAction();
    toolBarToggle->setText(tr("&Toolbar"));
    toolBarToggle->setStatusTip(tr("Show or hide the toolbar"));
    QAction* statusBarToggle = MakeAction("", tr("&Status Bar"), tr("Show or hide the status bar"));
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    connect(statusBarToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    viewMenu->addActions({toolBarToggle, statusBarToggle});

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(aboutAction);

    QAction* nextPane = MakeAction("", tr("Next Pane"), tr("Switch to the next pane"), {QKeySequence(Qt::Key_F6)});
    QAction* previousPane =
        MakeAction("", tr("Previous Pane"), tr("Switch to the previous pane"), {QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    connect(nextPane, &QAction::triggered, this, [this] { MovePaneFocus(1); });
    connect(previousPane, &QAction::triggered, this, [this] { MovePaneFocus(-1); });
    QAction* nextTab = MakeAction("", tr("Next Tab"), tr("Show the next page of the focused pane"),
                                  {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    QAction* previousTab =
        MakeAction("", tr("Previous Tab"), tr("Show the previous page of the focused pane"),
                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(nextTab, &QAction::triggered, this, [this] { FocusedTabControl().SelectAdjacentTab(1); });
    connect(previousTab, &QAction::triggered, this, [this] { FocusedTabControl().SelectAdjacentTab(-1); });
    addActions({nextPane, previousPane, nextTab, previousTab});
}

void CMainFrame::CreateClient(const QString& infoText)
{
    outerSplitter_ = new QSplitter(Qt::Horizontal, this);
    outerSplitter_->setObjectName("OuterSplitter");
    outerSplitter_->setChildrenCollapsible(false);
    userView_ = new CQXRViewUser(document_, outerSplitter_);
    userView_->setMinimumSize(kMinimumUserViewSize);
    userView_->TabControl().setObjectName("DesignPages");
    innerSplitter_ = new QSplitter(Qt::Vertical, outerSplitter_);
    innerSplitter_->setChildrenCollapsible(false);
    reviewView_ = new CQXRViewReview(document_, innerSplitter_);
    reviewView_->setMinimumSize(kMinimumReviewViewSize);
    reviewView_->TabControl().setObjectName("ReviewPages");
    logView_ = new CQXRViewLog(document_, infoText, innerSplitter_);
    outerSplitter_->addWidget(userView_);
    outerSplitter_->addWidget(innerSplitter_);
    outerSplitter_->setStretchFactor(0, 0);
    outerSplitter_->setStretchFactor(1, 1);
    outerSplitter_->setSizes({kInitialUserViewWidth, width() - kInitialUserViewWidth});
    innerSplitter_->addWidget(reviewView_);
    innerSplitter_->addWidget(logView_);
    innerSplitter_->setStretchFactor(0, 1);
    innerSplitter_->setStretchFactor(1, 0);
    setCentralWidget(outerSplitter_);
}

bool CMainFrame::event(QEvent* event)
{
    // Between command prompts the message pane says "Ready".
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
        statusBar()->showMessage(tr("Ready"));
        return true;
    }
    return CMfcFrameWnd::event(event);
}

// "[*]" is where the desktop's mark of unsaved changes goes.
void CMainFrame::UpdateTitle()
{
    setWindowTitle(tr("%1[*] - QXR").arg(document_.Title()));
    setWindowModified(document_.IsModified());
}

bool CMainFrame::SaveModified()
{
    if (!document_.IsModified())
        return true;
    switch (prompts_->AskSaveChanges(this, document_.Title())) {
    case UserPrompts::Answer::Yes:
        return FileSave();
    case UserPrompts::Answer::No:
        return true;
    case UserPrompts::Answer::Cancel:
        break;
    }
    return false;
}

bool CMainFrame::FileNew()
{
    return SaveModified() && document_.OnNewDocument();
}

bool CMainFrame::FileOpen()
{
    if (!SaveModified())
        return false;
    const QString path = prompts_->AskOpenPath(this);
    return !path.isEmpty() && OpenDocumentFile(path);
}

bool CMainFrame::OpenDocumentFile(const QString& path)
{
    const FileResult result = document_.OnOpenDocument(path);
    if (result != FileResult::Ok) {
        ShowResult(QCoreApplication::translate("FileResult", FileResultText(result)));
        recentFiles_.Remove(path);
        RebuildRecentFileMenu();
        // The failed load has already replaced the design.
        document_.OnNewDocument();
        return false;
    }
    recentFiles_.Add(path);
    RebuildRecentFileMenu();
    return true;
}

bool CMainFrame::FileSave()
{
    if (document_.PathName().isEmpty())
        return FileSaveAs();
    return SaveTo(document_.PathName());
}

bool CMainFrame::FileSaveAs()
{
    const QString suggestion =
        document_.PathName().isEmpty() ? QDir::home().filePath(document_.Title() + ".qxr") : document_.PathName();
    const QString path = prompts_->AskSavePath(this, suggestion);
    return !path.isEmpty() && SaveTo(path);
}

bool CMainFrame::FileExportFirmwareHeader()
{
    const qxr::FirmwareHeader header = qxr::FirmwareHeaderOf(document_.model, document_.designDescription);
    if (!header.problems.empty()) {
        QStringList reasons{tr("No firmware header can be written:")};
        for (const std::string& problem : header.problems)
            reasons << QString::fromStdString(problem);
        ShowResult(reasons.join(QLatin1Char('\n')));
        return false;
    }
    return ExportToFile(tr("Export Firmware Header"), ".h", tr("C Headers (*.h)"),
                        [&header] { return QByteArray::fromStdString(header.text); });
}

bool CMainFrame::FileExportBillOfMaterials()
{
    const std::vector<qxr::PartValue> parts = qxr::PartValuesOf(document_.model);
    if (parts.empty()) {
        ShowResult(tr("Only the analog design has a bill of materials."));
        return false;
    }
    return ExportToFile(tr("Export Bill of Materials"), ".csv", tr("CSV Files (*.csv)"),
                        [&parts] { return QByteArray::fromStdString(qxr::BomCsv(parts)); });
}

bool CMainFrame::EditUseStandardValues()
{
    if (UseStandardValues(document_))
        return true;
    statusBar()->showMessage(tr("Every part already has its standard value, or the design has no parts."), 5000);
    return false;
}

bool CMainFrame::SaveTo(const QString& path)
{
    const FileResult result = document_.OnSaveDocument(path);
    if (result != FileResult::Ok) {
        ShowResult(QCoreApplication::translate("FileResult", FileResultText(result)));
        return false;
    }
    recentFiles_.Add(path);
    RebuildRecentFileMenu();
    return true;
}

QString CMainFrame::ReportTitle() const
{
    return ::ReportTitle(document_.designDescription, document_.Title());
}

// The printer starts on the report's page layout, so that its pages match the PDF export's.
bool CMainFrame::FilePrint()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout());
    printer.setDocName(ReportTitle());
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted && PrintReport(printer);
}

void CMainFrame::FilePrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout());
    printer.setDocName(ReportTitle());
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { PrintReport(*target); });
    preview.exec();
}

bool CMainFrame::PrintReport(QPrinter& printer)
{
    DesignReport report(document_.model, ReportTitle());
    if (report.Paint(printer))
        return true;
    ShowResult(tr("Failed to print the design."));
    return false;
}

// An export's file, beside the design and named after it.
QString CMainFrame::ExportSuggestion(const QString& extension) const
{
    const QString folder =
        document_.PathName().isEmpty() ? QDir::homePath() : QFileInfo(document_.PathName()).absolutePath();
    return QDir(folder).filePath(QFileInfo(document_.Title()).completeBaseName() + extension);
}

bool CMainFrame::ExportReportPdf()
{
    return ExportToFile(tr("Export Report as PDF"), ".pdf", tr("PDF Files (*.pdf)"), [this] {
        DesignReport report(document_.model, ReportTitle());
        return ReportPdf(report);
    });
}

// The bytes are made once the user has chosen the file.
bool CMainFrame::ExportToFile(const QString& caption, const QString& extension, const QString& filter,
                              const std::function<QByteArray()>& bytes)
{
    const QString path = prompts_->AskExportPath(this, caption, ExportSuggestion(extension), filter);
    if (path.isEmpty())
        return false;
    if (WriteExportBytes(path, bytes()))
        return true;
    ShowResult(tr("Failed to write %1.").arg(QDir::toNativeSeparators(path)));
    return false;
}

void CMainFrame::ShowResult(const QString& text)
{
    prompts_->ShowError(this, text);
}

void CMainFrame::RebuildRecentFileMenu()
{
    qDeleteAll(recentActions_);
    recentActions_.clear();
    const QStringList& paths = recentFiles_.Paths();
    if (paths.isEmpty()) {
        auto* placeholder = new QAction(tr("Recent File"), this);
        placeholder->setEnabled(false);
        recentActions_.append(placeholder);
    }
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
        action->setStatusTip(tr("Open this design"));
        connect(action, &QAction::triggered, this, [this, path] {
            if (SaveModified())
                OpenDocumentFile(path);
        });
        recentActions_.append(action);
    }
    fileMenu_->insertActions(recentSeparator_, recentActions_);
}

// Only the log pane has a selection to copy; it is read-only, so cut and
// paste stay disabled.
void CMainFrame::UpdateEditActions()
{
    const bool logFocused = logView_ != nullptr && logView_->hasFocus();
    copyAction_->setEnabled(logFocused && logView_->textCursor().hasSelection());
}

// The actions name the step they would undo or redo.
void CMainFrame::UpdateHistoryActions()
{
    undoAction_->setEnabled(document_.CanUndo());
    undoAction_->setText(document_.CanUndo() ? tr("&Undo %1").arg(document_.UndoName()) : tr("&Undo"));
    redoAction_->setEnabled(document_.CanRedo());
    redoAction_->setText(document_.CanRedo() ? tr("&Redo %1").arg(document_.RedoName()) : tr("&Redo"));
}

void CMainFrame::MovePaneFocus(int step)
{
    const QList<QWidget*> panes{userView_, reviewView_, logView_};
    int current = 0;
    for (int i = 0; i < panes.size(); ++i) {
        if (panes[i]->isAncestorOf(focusWidget()) || panes[i] == focusWidget())
            current = i;
    }
    panes[(current + step + panes.size()) % panes.size()]->setFocus(Qt::OtherFocusReason);
}

// The tab control of the view holding the focus; the design pages' when neither view does.
CMfcCtrlTab& CMainFrame::FocusedTabControl() const
{
    const QWidget* focused = focusWidget();
    if (focused != nullptr && reviewView_->isAncestorOf(focused))
        return reviewView_->TabControl();
    return userView_->TabControl();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (SaveModified()) {
        layout_->Save();
        event->accept();
    } else {
        event->ignore();
    }
}

namespace {

// The dropped local files, read from the list's bytes: QUrl would lose the
// bytes of a name that are not UTF-8.
QStringList DroppedFiles(const QMimeData& data)
{
    return LocalFilesOfUriList(data.data(QStringLiteral("text/uri-list")));
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (DroppedFiles(*event->mimeData()).isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    OpenDropped(*event->mimeData());
}

bool CMainFrame::OpenDropped(const QMimeData& data)
{
    const QStringList files = DroppedFiles(data);
    return !files.isEmpty() && SaveModified() && OpenDocumentFile(files.first());
}
