#pragma once

#include "pages/DialogTab.h"

class QPushButton;
namespace qxr {
struct StandardValueLoops;
}
class QTableWidget;

// Enters the standard value of every part of the analog design as one
// undoable step; false when every part already has its standard value.
bool UseStandardValues(CQXRDoc& document);

// The standard series of resistors and capacitors, every part of the analog
// design with its standard value, and both loops with the parts as they are
// beside the same loops with standard values.
class CTabParts : public CDialogTab {
    Q_OBJECT

public:
    explicit CTabParts(CQXRDoc& document, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void UpdatePage(int hint, QWidget* hintControl) override;

    QTableWidget* PartsTable() const { return parts_; }
    QTableWidget* LoopsTable() const { return loops_; }
    QPushButton* UseButton() const { return useButton_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowParts();
    void ShowLoops(const qxr::StandardValueLoops& loops);

    QTableWidget* parts_ = nullptr;
    QTableWidget* loops_ = nullptr;
    QPushButton* useButton_ = nullptr;
};
