#include "doc/UndoHistory.h"

void UndoHistory::Push(Step step)
{
    if (MergesWith(step)) {
        steps_[current_ - 1].after = std::move(step.after);
        return;
    }
    typingOpen_ = false;
    if (step.before == step.after)
        return;
    typingOpen_ = step.typingKey != nullptr;
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(current_), steps_.end());
    if (savePoint_ && *savePoint_ > current_)
        savePoint_.reset();  // the saved state could only have been redone
    steps_.push_back(std::move(step));
    ++current_;
}

// Typing continues in the same control, on the latest step, and never
// changes a step whose result is the saved state.
bool UndoHistory::MergesWith(const Step& step) const
{
    return typingOpen_ && step.typingKey != nullptr && current_ == steps_.size() && current_ > 0 &&
           steps_[current_ - 1].typingKey == step.typingKey && !AtSavePoint();
}

const DocumentState* UndoHistory::Undo()
{
    typingOpen_ = false;
    if (!CanUndo())
        return nullptr;
    --current_;
    return &steps_[current_].before;
}

const DocumentState* UndoHistory::Redo()
{
    typingOpen_ = false;
    if (!CanRedo())
        return nullptr;
    ++current_;
    return &steps_[current_ - 1].after;
}

void UndoHistory::Clear()
{
    steps_.clear();
    current_ = 0;
    savePoint_ = 0;
    typingOpen_ = false;
}

void UndoHistory::SetSavePoint()
{
    savePoint_ = current_;
    typingOpen_ = false;
}
