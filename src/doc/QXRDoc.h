#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "analysis/Robustness.h"
#include "model/Archive.h"
#include "model/DesignModel.h"

class CDocView;

// The one design of the program: the model, its description, the file it
// belongs to and whether it changed since it was last saved.
class CQXRDoc : public QObject {
    Q_OBJECT

public:
    CDesignModel model;
    std::u16string designDescription;
    // The newest stability sweep of the design; none until the first one
    // finishes. It may lag the design by one run while the next one works.
    std::shared_ptr<const qxr::RobustnessReport> robustness;

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

    void SetModifiedFlag(bool modified = true);
    bool IsModified() const { return modified_; }
    QString PathName() const { return pathName_; }
    // The file name, or "Untitled" for a design never saved.
    QString Title() const;

signals:
    void TitleChanged();

private:
    void SetPathName(const QString& path);
    void ShowLoadedDesign();

    std::vector<CDocView*> views_;
    QString pathName_;
    bool modified_ = false;
};
