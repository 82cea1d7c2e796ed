#include "doc/QXRDoc.h"

#include <algorithm>

#include <QFileInfo>

#include "analysis/Recalculate.h"
#include "doc/DocView.h"
#include "doc/FileNames.h"
#include "doc/UpdateHints.h"
#include "model/DesignFile.h"
#include "model/VectorRegisters.h"

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
        // Each view's drawing may leave the vector registers slow for the next one's numbers.
        ClearUpperVectorHalves();
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
    StartHistory(false);
    designDescription = kNewDesignDescription;
    model.LoadDefaults();
    qxr::Recalculate(model);
    ShowLoadedDesign();
    return true;
}

FileResult CQXRDoc::OnOpenDocument(const QString& path)
{
    return TakeLoaded(LoadDesignFile(FileNameBytes(path).toStdString(), model, designDescription), path, false);
}

FileResult CQXRDoc::OnRecoverDocument(const std::vector<uint8_t>& bytes, const QString& path)
{
    return TakeLoaded(LoadDesign(bytes.data(), bytes.size(), model, designDescription), path, true);
}

FileResult CQXRDoc::TakeLoaded(FileResult result, const QString& path, bool modified)
{
    if (result != FileResult::Ok)
        return result;
    SetPathName(path);
    StartHistory(modified);
    qxr::Recalculate(model);
    ShowLoadedDesign();
    return result;
}

std::vector<uint8_t> CQXRDoc::DesignFileBytes() const
{
    return SaveDesign(model, designDescription);
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

void CQXRDoc::StartHistory(bool modified)
{
    history_.Clear();
    SetModifiedFlag(modified);
}

void CQXRDoc::SetModifiedFlag(bool modified)
{
    if (modified)
        history_.ForgetSavePoint();
    else
        history_.SetSavePoint();
    emit HistoryChanged();
}

void CQXRDoc::ApplyChange(const QString& name, const std::function<void()>& change, QObject* control)
{
    Record(name, nullptr, change, control);
}

void CQXRDoc::ApplyTyping(const QString& name, QObject* control, const std::function<void()>& change)
{
    Record(name, control, change, control);
}

void CQXRDoc::SetDescription(const std::u16string& description)
{
    ApplyChange(tr("Description"), [this, &description] { designDescription = description; });
}

void CQXRDoc::Record(const QString& name, const void* typingKey, const std::function<void()>& change, QObject* control)
{
    DocumentState before = State();
    change();
    qxr::Recalculate(model);
    history_.Push({name, std::move(before), State(), typingKey});
    UpdateAllViews(nullptr, HINT_VALUES, control);
    emit HistoryChanged();
}

DocumentState CQXRDoc::State() const
{
    return {model.SaveState(), designDescription};
}

void CQXRDoc::Undo()
{
    ShowState(history_.Undo());
}

void CQXRDoc::Redo()
{
    ShowState(history_.Redo());
}

void CQXRDoc::ShowState(const DocumentState* state)
{
    if (state == nullptr)
        return;
    model.RestoreState(state->design);
    designDescription = state->description;
    qxr::Recalculate(model);
    RefreshAllViews();
    emit HistoryChanged();
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
