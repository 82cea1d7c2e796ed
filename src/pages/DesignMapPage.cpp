#include "pages/DesignMapPage.h"

#include <algorithm>
#include <vector>

#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "analysis/LoopSeparation.h"
#include "designmap/DesignMap.h"
#include "designmap/Proposal.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "pages/DesignMapView.h"
#include "present/DesignMapTexts.h"
#include "present/PageTemplate.h"

namespace {

enum ControlId {
    kStatus = 3101,
    kMap = 3102,
    kUseProposal = 3103,
    kReadout = 3104,
    kSeparation = 3105,
};

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

CTabDesignMap::CTabDesignMap(qxr::ControlLoop loop, CQXRDoc& document, QWidget* parent)
    : CDialogTab(341, document, parent), loop_(loop)
{
}

QLabel* CTabDesignMap::Status() const
{
    return qobject_cast<QLabel*>(FindTemplateControl(ControlName(kStatus)));
}

QLabel* CTabDesignMap::Readout() const
{
    return qobject_cast<QLabel*>(FindTemplateControl(ControlName(kReadout)));
}

QLabel* CTabDesignMap::Separation() const
{
    return qobject_cast<QLabel*>(FindTemplateControl(ControlName(kSeparation)));
}

QPushButton* CTabDesignMap::UseProposal() const
{
    return qobject_cast<QPushButton*>(FindTemplateControl(ControlName(kUseProposal)));
}

QWidget* CTabDesignMap::CreateTemplateControl(const qxr::TemplateControl& control)
{
    if (control.className != "DesignMapView")
        return CDialogTab::CreateTemplateControl(control);
    view_ = new DesignMapView(this);
    connect(view_, &DesignMapView::CellHovered, this, &CTabDesignMap::ShowCell);
    connect(view_, &DesignMapView::CellClicked, this, &CTabDesignMap::EnterCell);
    connect(view_, &DesignMapView::LeftCells, this, [this] { Readout()->clear(); });
    return view_;
}

bool CTabDesignMap::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog() || view_ == nullptr || Status() == nullptr || Readout() == nullptr ||
        Separation() == nullptr || UseProposal() == nullptr)
        return false;
    const bool voltage = loop_ == qxr::ControlLoop::Voltage;
    view_->setAccessibleName(voltage ? tr("Design map of the voltage loop") : tr("Design map of the current loop"));
    view_->setAccessibleDescription(tr("worst-case phase margin in degrees over crossover in Hz and phase margin"));
    Status()->setAccessibleName(tr("The map's progress and proposal"));
    Readout()->setAccessibleName(tr("The point under the mouse"));
    Separation()->setAccessibleName(tr("What the design's crossover comes too close to"));
    UseProposal()->setAccessibleName(tr("Use Proposal"));
    UseProposal()->setAccessibleDescription(tr("enters the proposal's crossover and phase margin"));
    for (QLabel* label : {Status(), Readout(), Separation()}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    connect(UseProposal(), &QPushButton::clicked, this, [this] {
        const qxr::Proposal& proposal = view_->Scene().proposal;
        if (proposal.found)
            EnterPoint(tr("Use Proposal"), proposal.crossover, proposal.phaseMargin);
    });
    ShowMap();
    ShowSeparation();
    return true;
}

void CTabDesignMap::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    if (view_ != nullptr && (hint == HINT_DESIGN_MAP || hint == HINT_VALUES))
        ShowMap();
    if (view_ != nullptr && hint == HINT_VALUES)
        ShowSeparation();
}

// The document's maps with the design's own point as it is now.
void CTabDesignMap::ShowMap()
{
    DesignMapScene scene;
    const std::shared_ptr<const DesignMaps> maps = document_.designMaps;
    if (maps) {
        scene.map = &maps->Map(loop_);
        scene.limits = maps->Limits(loop_);
        scene.proposal = qxr::ProposeFrom(*scene.map, scene.limits);
    }
    scene.designCrossover = qxr::RequiredCrossoverSymbol(document_.model, loop_).Value();
    scene.designPm = qxr::RequiredMarginSymbol(document_.model, loop_).Value();
    view_->Show(maps, scene);
    ShowStatus();
}

void CTabDesignMap::ShowStatus()
{
    const DesignMapScene& scene = view_->Scene();
    const qxr::DesignMap* map = scene.map;
    UseProposal()->setEnabled(map != nullptr && map->complete && scene.proposal.found);
    QString status;
    if (map == nullptr) {
        status = tr("Computing the map...");
    } else if (!map->notComputed.empty()) {
        status = Text(map->notComputed);
    } else if (!map->complete) {
        const auto done =
            std::count_if(map->cells.begin(), map->cells.end(), [](const qxr::MapCell& cell) { return cell.computed; });
        status = tr("Computing the map: %1 of %2 points...").arg(done).arg(map->cells.size());
    } else if (!map->timeDomain) {
        // The time-domain pass follows the first in the window; the proposal can be used meanwhile.
        const std::vector<std::size_t> points = qxr::TimeDomainPoints(*map);
        const auto done = std::count_if(points.begin(), points.end(),
                                        [map](std::size_t i) { return map->cells[i].timeDomainSimulated; });
        status = Text(qxr::ProposalSummary(scene.proposal, scene.limits)) + QLatin1Char(' ') +
                 tr("Simulating the third harmonic and the load step: %1 of %2 points...").arg(done).arg(points.size());
    } else {
        status = Text(qxr::ProposalSummary(scene.proposal, scene.limits));
    }
    Status()->setText(status);
}

// What the design's own crossover comes too close to, under the map that offers other choices: it
// follows the design's values, not the map.
void CTabDesignMap::ShowSeparation()
{
    QStringList notes;
    for (const std::string& note : qxr::LoopSeparationNotes(document_.model, loop_))
        notes << Text(note);
    Separation()->setText(notes.join(QLatin1Char('\n')));
}

void CTabDesignMap::ShowCell(std::size_t row, std::size_t column)
{
    Readout()->setText(Text(qxr::CellReadout(*view_->Scene().map, row, column)));
}

void CTabDesignMap::EnterCell(std::size_t row, std::size_t column)
{
    const qxr::DesignMap& map = *view_->Scene().map;
    if (map.At(row, column).computed && map.At(row, column).realisable)
        EnterPoint(tr("Design Map Point"), map.crossovers[column], map.phaseMargins[row]);
}

void CTabDesignMap::EnterPoint(const QString& stepName, double crossover, double phaseMargin)
{
    document_.ApplyChange(
        stepName, [this, crossover, phaseMargin] { qxr::EnterPoint(document_.model, loop_, crossover, phaseMargin); });
}
