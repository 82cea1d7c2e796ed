#include "pages/PartsPage.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "analysis/BillOfMaterials.h"
#include "analysis/NumberText.h"
#include "analysis/PartValues.h"
#include "doc/QXRDoc.h"
#include "present/FigureTexts.h"

namespace {

enum ControlId {
    kUseButton = 2201,
    kPartsTable = 2202,
    kLoopsTable = 2203,
};

constexpr int kCalculatedDigits = 4;
constexpr int kStandardDigits = 3;

QString ValueText(double value, qxr::PartKind kind, int digits)
{
    return std::isnan(value) ? CTabParts::tr("-")
                             : QString::fromStdString(qxr::FormatEngineering(value, qxr::BaseUnitOf(kind), digits));
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

bool AnyPartToRound(const std::vector<qxr::PartValue>& parts)
{
    return std::any_of(parts.begin(), parts.end(), qxr::IsToBeRounded);
}

}  // namespace

bool UseStandardValues(CQXRDoc& document)
{
    const std::vector<qxr::PartValue> parts = qxr::PartValuesOf(document.model);
    if (!AnyPartToRound(parts))
        return false;
    document.ApplyChange(CTabParts::tr("Use Standard Values"), [&parts] { qxr::EnterStandardValues(parts); });
    return true;
}

CTabParts::CTabParts(CQXRDoc& document, QWidget* parent) : CDialogTab(338, document, parent)
{
}

bool CTabParts::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog())
        return false;
    useButton_ = qobject_cast<QPushButton*>(FindTemplateControl(ControlName(kUseButton)));
    connect(useButton_, &QAbstractButton::clicked, this, [this] { UseStandardValues(document_); });
    parts_ = TableAt(kPartsTable, {tr("Part"), tr("Calculated"), tr("Standard"), tr("Deviation"), tr("Pair")});
    parts_->verticalHeader()->hide();
    parts_->setAccessibleName(tr("Parts with their standard values"));
    loops_ = TableAt(kLoopsTable, {tr("Design"), tr("Standard values")});
    loops_->setAccessibleName(tr("Both loops with the standard values"));
    ShowParts();
    return true;
}

// The parts take the page's width, so that the pairs of standard values read whole.
void CTabParts::resizeEvent(QResizeEvent* event)
{
    CDialogTab::resizeEvent(event);
    if (parts_ != nullptr)
        parts_->resize(std::max(parts_->minimumWidth(), width() - 2 * parts_->x()), parts_->height());
}

void CTabParts::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    ShowParts();
}

void CTabParts::ShowParts()
{
    if (parts_ == nullptr)
        return;  // not initialised yet
    const std::vector<qxr::PartValue> parts = qxr::PartValuesOf(document_.model);
    parts_->setRowCount(static_cast<int>(parts.size()));
    for (int row = 0; row < parts_->rowCount(); ++row) {
        const qxr::PartValue& part = parts[static_cast<std::size_t>(row)];
        auto* name = Cell(QString::fromStdString(part.designator), Qt::AlignLeft | Qt::AlignVCenter);
        const QString note = QString::fromStdString(qxr::PartNote(part));
        name->setToolTip(QString::fromStdU16String(part.symbol->name) + QStringLiteral(": ") +
                         QString::fromStdU16String(part.symbol->description) +
                         (note.isEmpty() ? QString() : QStringLiteral("\n") + note));
        parts_->setItem(row, 0, name);
        parts_->setItem(row, 1, Cell(ValueText(part.proposed, part.kind, kCalculatedDigits)));
        parts_->setItem(row, 2, Cell(ValueText(part.standard, part.kind, kStandardDigits)));
        const std::string deviation = qxr::DeviationText(part.deviation);
        parts_->setItem(row, 3, Cell(deviation.empty() ? QString() : QString::fromStdString(deviation + " %")));
        parts_->setItem(row, 4, Cell(QString::fromStdString(qxr::PairText(part)), Qt::AlignLeft | Qt::AlignVCenter));
    }
    parts_->resizeColumnsToContents();
    useButton_->setEnabled(AnyPartToRound(parts));
    ShowLoops(qxr::StandardValueLoopsOf(document_.model, parts));
}

void CTabParts::ShowLoops(const qxr::StandardValueLoops& loops)
{
    const QString rowNames[] = {tr("Voltage loop crossover"),    tr("Voltage loop phase margin"),
                                tr("Voltage loop gain margin"),  tr("Current loop crossover"),
                                tr("Current loop phase margin"), tr("Current loop gain margin")};
    loops_->setRowCount(static_cast<int>(std::size(rowNames)));
    for (int row = 0; row < loops_->rowCount(); ++row) {
        loops_->setVerticalHeaderItem(row, new QTableWidgetItem(rowNames[row]));
        const std::size_t loop = static_cast<std::size_t>(row / 3);
        const int figure = row % 3;
        for (int column = 0; column < 2; ++column) {
            // The figures as the Bode pages show them.
            const qxr::StabilityTexts texts =
                qxr::FormatMeasured(column == 0 ? loops.design[loop] : loops.standard[loop]);
            const std::string* shown[] = {&texts.crossover, &texts.phaseMargin, &texts.gainMargin};
            loops_->setItem(row, column,
                            Cell(loops.notComputed.empty() ? QString::fromStdString(*shown[figure]) : tr("-")));
        }
    }
    loops_->setToolTip(QString::fromStdString(loops.notComputed));
    loops_->resizeColumnsToContents();
    // Six rows never scroll: the table is as high as they are.
    loops_->setFixedHeight(loops_->horizontalHeader()->height() + loops_->verticalHeader()->length() +
                           2 * loops_->frameWidth());
}
