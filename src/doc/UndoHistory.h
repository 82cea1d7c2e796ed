#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "model/DesignModel.h"

// Everything a design file holds: the model's user state and the description.
struct DocumentState {
    DesignState design;
    std::u16string description;
    bool operator==(const DocumentState& other) const
    {
        return design == other.design && description == other.description;
    }
};

// The undo and redo steps of one document, each the state before and after
// it, and the save point among them.
class UndoHistory {
public:
    struct Step {
        QString name;
        DocumentState before;
        DocumentState after;
        // The control typed into; steps of the same control merge while typing lasts.
        const void* typingKey = nullptr;
    };

    // Adds a step after the current one and drops the steps that could be
    // redone. A step with the typing key of the open typing step merges
    // into it; a step that changes nothing is not kept.
    void Push(Step step);
    // The next step starts anew even with the same typing key.
    void EndTyping() { typingOpen_ = false; }

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ < steps_.size(); }
    QString UndoName() const { return CanUndo() ? steps_[current_ - 1].name : QString(); }
    QString RedoName() const { return CanRedo() ? steps_[current_].name : QString(); }
    // The state to go back or forward to; nothing when there is no step.
    const DocumentState* Undo();
    const DocumentState* Redo();

    void Clear();
    // The current state is the saved one.
    void SetSavePoint();
    // No state in the history is the saved one.
    void ForgetSavePoint() { savePoint_.reset(); }
    bool AtSavePoint() const { return savePoint_ == current_; }

private:
    bool MergesWith(const Step& step) const;

    std::vector<Step> steps_;
    std::size_t current_ = 0;  // steps before this index are done
    std::optional<std::size_t> savePoint_ = 0;
    bool typingOpen_ = false;
};
