#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "analysis/Robustness.h"
#include "doc/DesignMaps.h"
#include "doc/Overlays.h"
#include "doc/UndoHistory.h"
#include "model/Archive.h"
#include "model/DesignModel.h"
#include "spice/SpiceRun.h"
#include "timedomain/Scenarios.h"

class CDocView;

// The one design of the program: the model, its description, the file it
// belongs to, the undo history of its changes and whether it differs from
// what was last saved.
class CQXRDoc : public QObject {
    Q_OBJECT

public:
    CDesignModel model;
    std::u16string designDescription;
    // The newest stability sweep of the design; none until the first one
    // finishes. It may lag the design by one run while the next one works.
    std::shared_ptr<const qxr::RobustnessReport> robustness;
    // The newest time-domain simulation, likewise, and how far the next one
    // has come while it runs longer than a moment (runs done of all; 0 of 0
    // when none is worth showing).
    std::shared_ptr<const qxr::TimeDomainReport> timeDomain;
    struct Progress {
        int done = 0;
        int total = 0;
    } timeDomainProgress;
    // The loops as ngspice measured them on the design's AC decks (ControlLoop
    // order), for the pages whose Spice box is checked; a loop's run happens
    // only while its box is, and none until it ends.
    std::array<bool, 2> spiceWanted{};
    std::array<std::shared_ptr<const qxr::SpiceLoopResult>, 2> spice;
    // The design maps of the design as it is: the points computed so far
    // while they fill in, none before the first run has begun.
    std::shared_ptr<const DesignMaps> designMaps;
    // Measured loops and a compared design drawn over the Bode plots; set by
    // the main frame, announced by HINT_OVERLAYS, kept across designs.
    Overlays overlays;

    void AddView(CDocView* view);
    void RemoveView(CDocView* view);
    void UpdateAllViews(CDocView* sender, int hint, QObject* hintObject = nullptr);
    // Values, then enumeration lists.
    void RefreshAllViews();

    // Starts the default design.
    bool OnNewDocument();
    // Replaces the design by the file's. After a failure the model holds
    // what was read; the caller starts a new design in its place.
    FileResult OnOpenDocument(const QString& path);
    FileResult OnSaveDocument(const QString& path);
    // Opens the design file image of a recovery copy as the modified design
    // of path (empty for an untitled design). A failure is handled as by
    // OnOpenDocument.
    FileResult OnRecoverDocument(const std::vector<uint8_t>& bytes, const QString& path);
    // The design as its file would hold it.
    std::vector<uint8_t> DesignFileBytes() const;

    // Every change of the user's design goes through here: change edits the
    // symbols' entries or the description, and the whole of it becomes one
    // undo step called name (a row's description). The design is then
    // recalculated and every view refreshed; control, the control the user
    // changed, keeps its text.
    void ApplyChange(const QString& name, const std::function<void()>& change, QObject* control = nullptr);
    // A keystroke typed into control. The keystrokes of one control make one
    // step until EndTyping or a change anywhere else.
    void ApplyTyping(const QString& name, QObject* control, const std::function<void()>& change);
    void EndTyping() { history_.EndTyping(); }
    void SetDescription(const std::u16string& description);

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    QString UndoName() const { return history_.UndoName(); }
    QString RedoName() const { return history_.RedoName(); }
    // Brings back the design before the last step, or after the next one,
    // recalculated, and refreshes every view.
    void Undo();
    void Redo();

    // Whether the design differs from the saved one: true marks a change made
    // outside the history, false makes the current design the saved one.
    void SetModifiedFlag(bool modified = true);
    bool IsModified() const { return !history_.AtSavePoint(); }
    QString PathName() const { return pathName_; }
    // The file name, or "Untitled" for a design never saved.
    QString Title() const;

signals:
    void TitleChanged();
    // A step was made, undone or redone, the history was cleared, or the save point moved.
    void HistoryChanged();

private:
    void SetPathName(const QString& path);
    void ShowLoadedDesign();
    // After a successful load: the design of path, saved or not, recalculated and shown.
    FileResult TakeLoaded(FileResult result, const QString& path, bool modified);
    // A fresh history; the design is saved or, with modified, not.
    void StartHistory(bool modified);
    DocumentState State() const;
    void Record(const QString& name, const void* typingKey, const std::function<void()>& change, QObject* control);
    void ShowState(const DocumentState* state);

    std::vector<CDocView*> views_;
    QString pathName_;
    UndoHistory history_;
};
