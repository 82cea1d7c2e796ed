#pragma once

class QObject;

// A view of the design document. Every view receives every update hint and
// decides for itself what to do with it.
class CDocView {
public:
    virtual ~CDocView() = default;
    // sender is the view that caused the update, or none; hintObject is the
    // control whose edit caused a value change, or none.
    virtual void OnUpdate(CDocView* sender, int hint, QObject* hintObject) = 0;
};
