#pragma once

#include <map>

#include "pages/DialogTab.h"
#include "present/SchematicTexts.h"

class CPicture;
class CDesignModel;
namespace qxr {
enum class CoefficientSet;
}

// Puts a 2p2z coefficient set on the clipboard as the firmware's #define lines,
// in the design's number format; false, leaving the clipboard alone, when the
// format cannot be used.
bool CopyCoefficientsToClipboard(qxr::CoefficientSet set, const CDesignModel& model);

// The specification page.
class CTabDesignParameters : public CDialogTab {
    Q_OBJECT

public:
    CTabDesignParameters(CQXRDoc& document, QWidget* parent = nullptr);
};

// A page whose template says everything.
class CTabBlank : public CDialogTab {
    Q_OBJECT

public:
    using CDialogTab::CDialogTab;
};

// A digital-controller page whose "Copy to Clipboard" button exports one coefficient set.
class CTabCoefficientPage : public CDialogTab {
    Q_OBJECT

public:
    CTabCoefficientPage(int templateId, int buttonId, qxr::CoefficientSet set, CQXRDoc& document,
                        QWidget* parent = nullptr);
    bool OnInitDialog() override;

private:
    void CopyCoefficients();

    int buttonId_;
    qxr::CoefficientSet set_;
};

class CTabMultiplierDigital : public CTabCoefficientPage {
    Q_OBJECT

public:
    CTabMultiplierDigital(CQXRDoc& document, QWidget* parent = nullptr);
};

class CTabVoltLoopDigital : public CTabCoefficientPage {
    Q_OBJECT

public:
    CTabVoltLoopDigital(CQXRDoc& document, QWidget* parent = nullptr);
};

class CTabCurrentLoopDigital : public CTabCoefficientPage {
    Q_OBJECT

public:
    CTabCurrentLoopDigital(CQXRDoc& document, QWidget* parent = nullptr);
};

// The schematic of the analog controller, filling the page.
class CTabSchematic : public CDialogTab {
    Q_OBJECT

public:
    CTabSchematic(CQXRDoc& document, QWidget* parent = nullptr);
    bool OnInitDialog() override;
    // Writes each part's value beside its designator.
    void UpdatePage(int hint, QWidget* hintControl) override;
    CPicture* Picture() const { return picture_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CPicture* picture_ = nullptr;
    std::map<std::string, qxr::PictureText> valueAnchors_;
};
