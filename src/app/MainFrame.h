#pragma once

#include <functional>
#include <memory>

#include <QMainWindow>

#include "analysis/ControlLoops.h"
#include "app/DesignMapRunner.h"
#include "app/RecentFiles.h"
#include "app/RecentMeasurements.h"
#include "app/RobustnessRunner.h"
#include "app/SpiceRunner.h"
#include "app/TimeDomainRunner.h"
#include "app/UserPrompts.h"
#include "spice/SpiceDecks.h"

class CMfcCtrlTab;
class CMfcSignalWinApp;
class CQXRDoc;
class CQXRViewLog;
class CQXRViewReview;
class CQXRViewUser;
class CValdrisApp;
class QAction;
class QMenu;
class QPrinter;
class QMimeData;
class QSplitter;
class RecoveryCopies;
class WindowLayout;

// The top-level window class that worker threads post their results to.
class CMfcFrameWnd : public QMainWindow {
    Q_OBJECT

public:
    explicit CMfcFrameWnd(CMfcSignalWinApp& app);

protected:
    bool event(QEvent* event) override;

private:
    CMfcSignalWinApp& app_;
};

// The main window: menus, toolbar, status bar, and the user view left of
// the review view over the log view.
class CMainFrame : public CMfcFrameWnd {
    Q_OBJECT

public:
    CMainFrame(CValdrisApp& app, CQXRDoc& document, const QString& infoText);
    ~CMainFrame() override;

    // The document commands. Each returns false when it did not complete.
    bool FileNew();
    bool FileOpen();
    bool FileSave();
    bool FileSaveAs();
    // Writes the digital design's coefficients as a C header; a design that
    // cannot have one gets the reasons instead.
    bool FileExportFirmwareHeader();
    // Writes the analog design's parts as CSV; a design without parts says so.
    bool FileExportBillOfMaterials();
    // Writes one of the design's ngspice decks; a design that has no such deck gets the reason instead.
    bool FileExportSpiceNetlist(qxr::SpiceDeck deck);
    // Enters every part's standard value as one step; false when none differs.
    bool EditUseStandardValues();
    // Opens a design, replacing the current one; on a damaged file the
    // message is shown and a new design takes its place.
    bool OpenDocumentFile(const QString& path);
    // Opens the first local file of a drop (text/uri-list), asking to save first.
    bool OpenDropped(const QMimeData& data);
    // Asks to save a modified design; false when the user cancels.
    bool SaveModified();
    // The design report: on a printer chosen in the print dialog, in the
    // print preview, or as a PDF file.
    bool FilePrint();
    void FilePrintPreview();
    bool ExportReportPdf();
    // Paints the report on the printer; false, saying so, when it cannot.
    bool PrintReport(QPrinter& printer);

    void SetPrompts(std::unique_ptr<UserPrompts> prompts);
    // Asks about the unsaved designs of instances that did not close.
    void OfferRecovery(RecoveryCopies& copies);
    // A loop's measurement, from a file the user picks or from path, drawn on
    // its Bode page. A file with a problem is reported with its line and the
    // pages keep what they showed.
    bool ImportMeasurement(qxr::ControlLoop loop);
    bool ImportMeasurementFile(qxr::ControlLoop loop, const QString& path);
    // A second design, opened read-only and drawn over this one on the Bode
    // pages, its differences listed on the Compare tab.
    bool CompareWith();
    bool CompareWithFile(const QString& path);
    void StopComparing();
    const RecentMeasurements& Measurements() const { return recentMeasurements_; }
    QMenu* MeasurementMenu() const { return measurementMenu_; }

    // Lets the views create their pages, once the first design is in place.
    void OnInitialUpdate();
    // Shares the width between the panes as at the first start: the review
    // pane's widest page whole, the design pages as much of their strip as the
    // rest holds.
    void FitPanes();

    CQXRViewUser* UserView() const { return userView_; }
    CQXRViewReview* ReviewView() const { return reviewView_; }
    CQXRViewLog* LogView() const { return logView_; }
    QSplitter* OuterSplitter() const { return outerSplitter_; }
    QSplitter* InnerSplitter() const { return innerSplitter_; }
    const RecentFiles& Recent() const { return recentFiles_; }
    RobustnessRunner& Robustness() { return robustness_; }
    TimeDomainRunner& TimeDomain() { return timeDomain_; }
    SpiceRunner& Spice() { return spice_; }
    DesignMapRunner& DesignMap() { return designMap_; }
    QAction* UndoAction() const { return undoAction_; }
    QAction* RedoAction() const { return redoAction_; }
    QAction* PrintAction() const { return printAction_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(const QString& iconName, const QString& text, const QString& prompt,
                        const QList<QKeySequence>& shortcuts = {});
    void CreateMenusAndToolBar();
    void CreateClient(const QString& infoText);
    // MainFrameOverlays.cpp: the measurement and compare commands of the File menu.
    void AddOverlayActions(QMenu& menu);
    void AddSpiceActions(QMenu& menu);
    void RebuildReimportActions();
    void ShowOverlays();
    void UpdateTitle();
    void RebuildRecentFileMenu();
    void UpdateEditActions();
    void UpdateHistoryActions();
    void MovePaneFocus(int step);
    CMfcCtrlTab& FocusedTabControl() const;
    bool SaveTo(const QString& path);
    QString ExportSuggestion(const QString& extension) const;
    // Asks where to export to and writes what bytes makes; a failed write says so.
    bool ExportToFile(const QString& caption, const QString& extension, const QString& filter,
                      const std::function<QByteArray()>& bytes);
    void ShowResult(const QString& text);
    QString ReportTitle() const;

    CValdrisApp& app_;
    CQXRDoc& document_;
    std::unique_ptr<UserPrompts> prompts_;
    RecentFiles recentFiles_;
    RecentMeasurements recentMeasurements_;
    RobustnessRunner robustness_;
    TimeDomainRunner timeDomain_;
    SpiceRunner spice_;
    DesignMapRunner designMap_;
    std::unique_ptr<WindowLayout> layout_;

    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* cutAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QMenu* measurementMenu_ = nullptr;
    QAction* reimportSeparator_ = nullptr;
    QList<QAction*> reimportActions_;
    QAction* stopComparingAction_ = nullptr;

    QSplitter* outerSplitter_ = nullptr;
    QSplitter* innerSplitter_ = nullptr;
    CQXRViewUser* userView_ = nullptr;
    CQXRViewReview* reviewView_ = nullptr;
    CQXRViewLog* logView_ = nullptr;
};
