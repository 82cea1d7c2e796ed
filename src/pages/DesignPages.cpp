#include "pages/DesignPages.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

#include "calc/CoefficientExport.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "pages/Picture.h"

using qxr::CoefficientSet;

bool CopyCoefficientsToClipboard(CoefficientSet set, const CDesignModel& model)
{
    const qxr::CoefficientFormat format = qxr::CoefficientFormatOf(model);
    if (!qxr::FormatProblem(format).empty())
        return false;
    QGuiApplication::clipboard()->setText(QString::fromStdString(qxr::CoefficientText(model, set, format)));
    return true;
}

CTabDesignParameters::CTabDesignParameters(CQXRDoc& document, QWidget* parent) : CDialogTab(318, document, parent)
{
}

CTabCoefficientPage::CTabCoefficientPage(int templateId, int buttonId, CoefficientSet set, CQXRDoc& document,
                                         QWidget* parent)
    : CDialogTab(templateId, document, parent), buttonId_(buttonId), set_(set)
{
}

bool CTabCoefficientPage::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog())
        return false;
    auto* button = qobject_cast<QAbstractButton*>(FindTemplateControl(ControlName(buttonId_)));
    if (button != nullptr)
        connect(button, &QAbstractButton::clicked, this, [this] { CopyCoefficients(); });
    return true;
}

// The design log already names the problem; the box says why nothing was copied.
void CTabCoefficientPage::CopyCoefficients()
{
    if (!CopyCoefficientsToClipboard(set_, document_.model))
        QMessageBox::warning(this, tr("Copy to Clipboard"),
                             QString::fromStdString(qxr::FormatProblem(qxr::CoefficientFormatOf(document_.model))));
}

CTabMultiplierDigital::CTabMultiplierDigital(CQXRDoc& document, QWidget* parent)
    : CTabCoefficientPage(332, 1019, CoefficientSet::FeedForward, document, parent)
{
}

CTabVoltLoopDigital::CTabVoltLoopDigital(CQXRDoc& document, QWidget* parent)
    : CTabCoefficientPage(333, 1020, CoefficientSet::VoltageLoop, document, parent)
{
}

CTabCurrentLoopDigital::CTabCurrentLoopDigital(CQXRDoc& document, QWidget* parent)
    : CTabCoefficientPage(334, 1021, CoefficientSet::CurrentLoop, document, parent)
{
}

CTabSchematic::CTabSchematic(CQXRDoc& document, QWidget* parent) : CDialogTab(335, document, parent)
{
}

bool CTabSchematic::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog())
        return false;
    picture_ = new CPicture(this);
    if (QWidget* placeholder = FindTemplateControl(QStringLiteral("control1013"))) {
        picture_->setGeometry(placeholder->geometry());
        placeholder->hide();
    }
    picture_->show();
    picture_->SetPicture(qxr::kAnalogSchematic);
    valueAnchors_ = qxr::SchematicValueAnchors();
    UpdatePage(HINT_VALUES, nullptr);
    return true;
}

void CTabSchematic::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    if (picture_ != nullptr)
        picture_->SetTexts(qxr::SchematicValueTexts(document_.model, valueAnchors_));
}

void CTabSchematic::resizeEvent(QResizeEvent* event)
{
    CDialogTab::resizeEvent(event);
    if (picture_ != nullptr) {
        picture_->setGeometry(rect());
        picture_->update();
    }
}
