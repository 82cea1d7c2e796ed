#include "doc/QXRDoc.h"

#include <algorithm>

#include <QFileInfo>

#include "doc/DocView.h"
#include "doc/FileNames.h"
#include "doc/UpdateHints.h"
#include "model/DesignFile.h"

void CQXRDoc::AddView(CDocView* view)
{
    views_.push_back(view);
}

void CQXRDoc::RemoveView(CDocView* view)
{
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void CQXRDoc::UpdateAllViews(CDocView* sender, int hint, QObject* hintObject)
{
    // A view may add or remove views while it handles the hint.
    const std::vector<CDocView*> receivers = views_;
    for (CDocView* view : receivers) {
        if (view != sender)
            view->OnUpdate(sender, hint, hintObject);
    }
}

void CQXRDoc::RefreshAllViews()
{
    UpdateAllViews(nullptr, HINT_VALUES);
    UpdateAllViews(nullptr, HINT_LISTS);
}

bool CQXRDoc::OnNewDocument()
{
    SetPathName(QString());
    SetModifiedFlag(false);
    designDescription = kNewDesignDescription;
    model.LoadDefaults();
    model.Recalculate();
    ShowLoadedDesign();
    return true;
}

FileResult CQXRDoc::OnOpenDocument(const QString& path)
{
    const FileResult result = LoadDesignFile(FileNameBytes(path).toStdString(), model, designDescription);
    if (result != FileResult::Ok)
        return result;
    SetPathName(path);
    SetModifiedFlag(false);
    model.Recalculate();
    ShowLoadedDesign();
    return result;
}

FileResult CQXRDoc::OnSaveDocument(const QString& path)
{
    const FileResult result = SaveDesignFile(FileNameBytes(path).toStdString(), model, designDescription);
    if (result == FileResult::Ok) {
        SetPathName(path);
        SetModifiedFlag(false);
    }
    return result;
}

void CQXRDoc::ShowLoadedDesign()
{
    UpdateAllViews(nullptr, HINT_NEW_DESIGN);
    UpdateAllViews(nullptr, HINT_DOCUMENT);
    UpdateAllViews(nullptr, HINT_VALUES);
    RefreshAllViews();
}

void CQXRDoc::SetModifiedFlag(bool modified)
{
    modified_ = modified;
}

QString CQXRDoc::Title() const
{
    return pathName_.isEmpty() ? tr("Untitled") : QFileInfo(pathName_).fileName();
}

void CQXRDoc::SetPathName(const QString& path)
{
    if (path == pathName_)
        return;
    pathName_ = path;
    emit TitleChanged();
}
