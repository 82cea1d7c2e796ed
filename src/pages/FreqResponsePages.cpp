#include "pages/FreqResponsePages.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QStringList>

#include "analysis/BodeCsv.h"
#include "analysis/DiscreteLoop.h"
#include "analysis/Robustness.h"
#include "doc/Overlays.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "pages/ExportFiles.h"
#include "pages/FieldFitting.h"
#include "plot/GraphExport.h"
#include "plot/GraphLayout.h"
#include "plot/GraphScatter.h"
#include "present/FigureTexts.h"
#include "present/NumberFormat.h"
#include "present/PageTemplate.h"
#include "spice/SpiceRun.h"

namespace {

enum ControlId {
    kPlantBox = 1007,
    kCompBox = 1008,
    kLoopBox = 1009,
    kMeasurementBox = 1027,
    kMeasuredFxField = 1028,
    kMeasuredPhaseMarginField = 1029,
    kMeasuredGainMarginField = 1031,
    kMeasuredLabel = 1034,
    kMeasuredSlopeField = 1041,
    kPhaseGraph = 1010,
    kMagnitudeGraph = 1011,
    kFxField = 1022,
    kPhaseMarginField = 1023,
    kGainMarginField = 1026,
    kSweepFxField = 1036,
    kSweepPhaseMarginField = 1037,
    kSweepGainMarginField = 1038,
    kSlopeField = 1040,
    kSweepSlopeField = 1042,
    kRhpzField = 1044,
    kSweepRhpzField = 1046,
    kPlantReadout = 1052,
    kCompReadout = 1053,
    kLoopReadout = 1054,
    kHiddenReadout = 1055,
    kBodeGroup = 1058,
    kSweepBox = 1059,
    kSpiceBox = 1047,
    kSpiceReadout = 1056,
};

// What a screen reader calls each figure of the page ("%1" is the loop), its
// unit, and the widest text the page writes into it for figures in range.
struct FigureField {
    int id;
    const char* name;
    const char* unit;
    const char* widest;
};

const FigureField kFigureFields[] = {
    {kPlantReadout, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 plant gain and phase at the cursor"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB / degrees"), "-888.88dB / -888.88°"},
    {kCompReadout, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 compensator gain and phase at the cursor"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB / degrees"), "-888.88dB / -888.88°"},
    {kLoopReadout, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 gain and phase at the cursor"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB / degrees"), "-888.88dB / -888.88°"},
    {kFxField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 crossover frequency"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "Hz"), "88888 Hz"},
    {kPhaseMarginField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 phase margin"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "degrees"), "-188°"},
    {kGainMarginField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 gain margin"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB"), "> 188 dB"},
    {kSlopeField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 gain slope at crossover"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB per decade"), "-188 dB/dec"},
    {kMeasuredFxField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 measured crossover frequency"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "Hz"), "88888 Hz"},
    {kMeasuredPhaseMarginField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 measured phase margin"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "degrees"), "-188°"},
    {kMeasuredGainMarginField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 measured gain margin"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB"), "> 188 dB"},
    {kMeasuredSlopeField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 measured gain slope at crossover"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB per decade"), "-188 dB/dec"},
    {kSpiceReadout,
     QT_TRANSLATE_NOOP("CTabFreqResponse",
                       "%1 crossover, phase margin, gain margin and slope as ngspice measured them"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "Hz, degrees, dB, dB per decade"), "88888 Hz, -188°, > 188 dB, -188 dB/dec"},
    {kRhpzField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 right half-plane zero"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "Hz"), "88.8 MHz"},
    {kSweepFxField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 crossover frequency over the sweep, least and most"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "Hz"), "0.0888 / 88.8 MHz"},
    {kSweepPhaseMarginField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 phase margin over the sweep, least and most"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "degrees"), "-188 / -188°"},
    {kSweepGainMarginField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 gain margin over the sweep, least and most"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB"), "-188 / -188 dB"},
    {kSweepSlopeField,
     QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 gain slope at crossover over the sweep, least and most"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "dB per decade"), "-188 / -188 dB/dec"},
    {kSweepRhpzField, QT_TRANSLATE_NOOP("CTabFreqResponse", "%1 right half-plane zero over the sweep, least and most"),
     QT_TRANSLATE_NOOP("CTabFreqResponse", "Hz"), "0.0888 / 88.8 MHz"},
};

}  // namespace

CTabFreqResponse::CTabFreqResponse(qxr::ControlLoop loop, CQXRDoc& document, QWidget* parent)
    : CDialogTab(331, document, parent), loop_(loop)
{
}

CTabFreqResponse::~CTabFreqResponse() = default;

QWidget* CTabFreqResponse::CreateTemplateControl(const qxr::TemplateControl& control)
{
    if (control.className != "CGraphScatter")
        return CDialogTab::CreateTemplateControl(control);
    auto* graph = new CGraphScatter(this);
    (QString::fromStdString(control.name) == ControlName(kMagnitudeGraph) ? magnitude_ : phase_) = graph;
    connect(graph, &CGraphScatter::HoverMoved, this, [this, graph] { OnGraphHover(*graph); });
    connect(graph, &CGraphScatter::HoverLeft, this, &CTabFreqResponse::OnGraphLeave);
    graph->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(graph, &QWidget::customContextMenuRequested, this, [this, graph](QPoint position) {
        QMenu* menu = CreateGraphMenu(*graph);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(graph->mapToGlobal(position));
    });
    return graph;
}

QCheckBox* CTabFreqResponse::Box(int id) const
{
    return qobject_cast<QCheckBox*>(FindTemplateControl(ControlName(id)));
}

QLineEdit* CTabFreqResponse::Field(int id) const
{
    return qobject_cast<QLineEdit*>(FindTemplateControl(ControlName(id)));
}

QGroupBox* CTabFreqResponse::BodeGroup() const
{
    return qobject_cast<QGroupBox*>(FindTemplateControl(ControlName(kBodeGroup)));
}

bool CTabFreqResponse::OnInitDialog()
{
    if (!CDialogTab::OnInitDialog() || magnitude_ == nullptr || phase_ == nullptr)
        return false;
    Box(kPlantBox)->setChecked(true);
    Box(kCompBox)->setChecked(false);
    Box(kLoopBox)->setChecked(true);
    Box(kSweepBox)->setChecked(true);
    for (int id : {kPlantBox, kCompBox, kLoopBox, kSweepBox, kMeasurementBox})
        connect(Box(id), &QCheckBox::clicked, this, &CTabFreqResponse::RedrawBode);
    SetupSpiceBox();
    bode_ = std::make_unique<BodeGraphs>(loop_, *magnitude_, *phase_);
    bode_->Setup(document_.model, FromQColor(palette().color(QPalette::Window)));
    PrepareFigureFields();
    SetupDiscreteLoop();
    SetupStandardLoop();
    overlays_ = std::make_unique<BodeOverlays>(loop_, *magnitude_, *phase_);
    overlays_->Setup();
    // The template's box is narrower than its caption in most fonts.
    QCheckBox* measurementBox = Box(kMeasurementBox);
    measurementBox->resize(std::max(measurementBox->width(), measurementBox->sizeHint().width()),
                           measurementBox->height());
    RedrawBode();
    return true;
}

// Each figure field is named for screen readers and wide enough for its widest text.
void CTabFreqResponse::PrepareFigureFields()
{
    const QString loopName = loop_ == qxr::ControlLoop::Voltage ? tr("Voltage loop") : tr("Current loop");
    for (const FigureField& figure : kFigureFields) {
        QLineEdit* field = Field(figure.id);
        if (field == nullptr)
            continue;
        field->setAccessibleName(tr(figure.name).arg(loopName));
        field->setAccessibleDescription(tr(figure.unit));
        FitFieldToText(*field, QString::fromUtf8(figure.widest));
    }
}

void CTabFreqResponse::UpdatePage(int hint, QWidget* hintControl)
{
    CDialogTab::UpdatePage(hint, hintControl);
    if (bode_ == nullptr)
        return;  // the template's rows are refreshed before the graphs are set up
    if (hint == HINT_NEW_DESIGN) {
        for (int id : {kPlantBox, kCompBox, kLoopBox})
            Box(id)->setChecked(true);
    }
    RedrawBode();
}

void CTabFreqResponse::RedrawBode()
{
    const std::shared_ptr<const qxr::RobustnessReport> report = document_.robustness;
    const bool showsSpread = Box(kSweepBox)->isChecked() && report;
    const qxr::ShownCurves shown{Box(kPlantBox)->isChecked(), Box(kCompBox)->isChecked(), Box(kLoopBox)->isChecked()};
    bode_->Redraw(document_.model, shown, showsSpread ? &report->loops[static_cast<std::size_t>(loop_)] : nullptr);
    ShowStability();
    ShowSweep();
    DrawOverlays(shown);
    DrawDiscreteLoop();
    DrawStandardLoop();
    bode_->TakeInOverlayLines();
    RepaintGraphs();
}

void CTabFreqResponse::DrawOverlays(qxr::ShownCurves shown)
{
    const std::shared_ptr<const MeasuredOverlay>& measured =
        document_.overlays.measured[static_cast<std::size_t>(loop_)];
    QCheckBox* measurementBox = Box(kMeasurementBox);
    if (measured != shownMeasurement_) {
        measurementBox->setChecked(measured != nullptr);
        shownMeasurement_ = measured;
    }
    measurementBox->setVisible(measured != nullptr);
    const bool drawsMeasured = measured && measurementBox->isChecked();
    const std::shared_ptr<const qxr::SpiceLoopResult>& spice = document_.spice[static_cast<std::size_t>(loop_)];
    const bool drawsSpice = Box(kSpiceBox)->isChecked() && spice && spice->error.empty();
    overlays_->Draw(drawsMeasured ? measured.get() : nullptr, document_.overlays.compared.get(), shown,
                    document_.Title(), drawsSpice ? &spice->points : nullptr);
    ShowMeasured(measured.get());
    ShowSpice();
}

// Shown where ngspice can run; elsewhere it says how to install it.
void CTabFreqResponse::SetupSpiceBox()
{
    QCheckBox* box = Box(kSpiceBox);
    box->setVisible(true);
    box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
    if (qxr::NgspiceProgram().empty()) {
        box->setEnabled(false);
        box->setToolTip(tr("Install ngspice (the Debian package ngspice) to run the loop's AC deck in it"));
    } else {
        box->setToolTip(tr("Run the loop's AC deck in ngspice after each change and draw what it measures"));
    }
    connect(box, &QCheckBox::clicked, this, [this](bool checked) {
        const auto i = static_cast<std::size_t>(loop_);
        document_.spiceWanted[i] = checked;
        if (!checked)
            document_.spice[i].reset();
        document_.UpdateAllViews(nullptr, HINT_SPICE);
    });
}

// ngspice's figures of the loop while its box is checked, or why there are none yet.
void CTabFreqResponse::ShowSpice()
{
    QLineEdit* readout = Field(kSpiceReadout);
    const bool checked = Box(kSpiceBox)->isChecked();
    readout->setVisible(checked);
    const std::shared_ptr<const qxr::SpiceLoopResult>& spice = document_.spice[static_cast<std::size_t>(loop_)];
    QString text;
    if (checked && !spice) {
        text = tr("ngspice is running");
    } else if (checked && !spice->error.empty()) {
        text = QString::fromStdString(spice->error);
    } else if (checked) {
        const qxr::StabilityTexts figures = qxr::FormatMeasured(spice->metrics);
        text = QStringList{QString::fromStdString(figures.crossover), QString::fromStdString(figures.phaseMargin),
                           QString::fromStdString(figures.gainMargin), QString::fromStdString(figures.slope)}
                   .join(QStringLiteral(", "));
    }
    readout->setText(text);
    readout->setToolTip(text);
}

// The Measured row shows while there is a measurement, drawn or not.
void CTabFreqResponse::ShowMeasured(const MeasuredOverlay* measured)
{
    for (int id : {kMeasuredLabel, kMeasuredFxField, kMeasuredGainMarginField, kMeasuredSlopeField})
        FindTemplateControl(ControlName(id))->setVisible(measured != nullptr);
    const qxr::StabilityTexts texts = measured ? qxr::FormatMeasured(measured->metrics) : qxr::StabilityTexts{};
    SetField(kMeasuredFxField, texts.crossover);
    SetField(kMeasuredPhaseMarginField, texts.phaseMargin);
    SetField(kMeasuredGainMarginField, texts.gainMargin);
    SetField(kMeasuredSlopeField, texts.slope);
}

void CTabFreqResponse::ShowSweep()
{
    const qxr::SweepTexts texts = qxr::FormatSweep(document_.robustness.get(), loop_);
    SetField(kSweepFxField, texts.crossover);
    SetField(kSweepPhaseMarginField, texts.phaseMargin);
    SetField(kSweepGainMarginField, texts.gainMargin);
    SetField(kSweepSlopeField, texts.slope);
    SetField(kRhpzField, texts.rhpz);
    SetField(kSweepRhpzField, texts.rhpzSpread);
}

void CTabFreqResponse::ShowStability()
{
    const qxr::StabilityTexts texts = qxr::FormatStability(document_.model.Loop(loop_), bode_->Curves().loopGain);
    SetField(kFxField, texts.crossover);
    SetField(kPhaseMarginField, texts.phaseMargin);
    if (!texts.gainMargin.empty())
        SetField(kGainMarginField, texts.gainMargin);
    SetField(kSlopeField, texts.slope);
}

void CTabFreqResponse::SetField(int id, const std::string& text)
{
    SetField(id, QString::fromStdString(text));
}

void CTabFreqResponse::SetField(int id, const QString& text)
{
    if (QLineEdit* field = Field(id)) {
        field->setText(text);
        field->setCursorPosition(0);  // a text longer than the field shows its beginning
    }
}

namespace {

// The Discrete check box and the group of the discrete loop's figures; the
// group's labels and fields are numbered from the group up to the box.
enum DiscreteControlId {
    kDiscreteGroup = 1070,
    kDiscreteFxField = 1072,
    kDiscretePhaseMarginField = 1074,
    kDiscreteGainMarginField = 1076,
    kDiscreteDifferenceField = 1078,
    kDiscreteBox = 1079,
};

}  // namespace

void CTabFreqResponse::SetupDiscreteLoop()
{
    Box(kDiscreteBox)->setChecked(true);
    connect(Box(kDiscreteBox), &QCheckBox::clicked, this, &CTabFreqResponse::RedrawBode);
    for (CGraphScatter* graph : {magnitude_, phase_}) {
        AddBodeLine(*graph, qxr::kDiscreteCompLine);
        AddBodeLine(*graph, qxr::kDiscreteLoopLine);
    }
}

// Only a digital design runs coefficients; its compensator shows with Comp.
void CTabFreqResponse::DrawDiscreteLoop()
{
    for (CGraphScatter* graph : {magnitude_, phase_}) {
        graph->ClearLine(qxr::kDiscreteCompLine);
        graph->ClearLine(qxr::kDiscreteLoopLine);
    }
    const bool digital = document_.model.Mode() == CTop::DIGITAL;
    Box(kDiscreteBox)->setVisible(digital);
    const bool shown = digital && Box(kDiscreteBox)->isChecked();
    ShowDiscreteStability(shown);
    if (shown) {
        const qxr::DiscreteLoopCurves curves = qxr::DiscreteLoopCurvesOf(document_.model, loop_);
        for (std::size_t i = 0; i < curves.freq.size(); ++i) {
            if (Box(kCompBox)->isChecked()) {
                magnitude_->AddPoint(curves.freq[i], curves.compGain[i], qxr::kDiscreteCompLine);
                phase_->AddPoint(curves.freq[i], curves.compPhase[i], qxr::kDiscreteCompLine);
            }
            magnitude_->AddPoint(curves.freq[i], curves.loopGain[i], qxr::kDiscreteLoopLine);
            phase_->AddPoint(curves.freq[i], curves.loopPhase[i], qxr::kDiscreteLoopLine);
        }
    }
}

void CTabFreqResponse::ShowDiscreteStability(bool shown)
{
    for (int id = kDiscreteGroup; id < kDiscreteBox; ++id) {
        if (QWidget* control = FindTemplateControl(ControlName(id)))
            control->setVisible(shown);
    }
    if (!shown)
        return;
    const qxr::DiscreteTexts texts = qxr::FormatDiscrete(qxr::DiscreteLoopFiguresOf(document_.model, loop_));
    SetField(kDiscreteFxField, texts.crossover);
    SetField(kDiscretePhaseMarginField, texts.phaseMargin);
    SetField(kDiscreteGainMarginField, texts.gainMargin);
    SetField(kDiscreteDifferenceField, texts.difference);
}

void CTabFreqResponse::OnGraphHover(CGraphScatter& graph)
{
    const std::vector<double>& grid = bode_->Grid();
    const int index = HoverIndex(graph.hoverPoint.x(), graph.plotRect, static_cast<int>(grid.size()));
    if (index < 0)
        return;
    const auto i = static_cast<std::size_t>(index);
    BodeGroup()->setTitle(
        tr("Bode Plot (Gain/Phase at %1 Hz)").arg(QString::fromStdString(qxr::FormatFixed(grid[i], 2))));
    const auto readout = [i](const std::vector<double>& gains, const std::vector<double>& phases) {
        return qxr::FormatFixed(gains[i], 2) + "dB / " + qxr::FormatFixed(phases[i], 2) + "°";
    };
    const qxr::BodeCurves& curves = bode_->Curves();
    if (Box(kPlantBox)->isChecked() && i < curves.plantGain.size())
        SetField(kPlantReadout, readout(curves.plantGain, curves.plantPhase));
    if (Box(kLoopBox)->isChecked() && i < curves.loopGain.size())
        SetField(kLoopReadout, readout(curves.loopGain, curves.loopPhase));
    if (Box(kCompBox)->isChecked() && i < curves.compGain.size())
        SetField(kCompReadout, readout(curves.compGain, curves.compPhase));
    for (CGraphScatter* target : {magnitude_, phase_}) {
        target->RemoveLine(qxr::kCursorLine);
        AddBodeLine(*target, qxr::kCursorLine);
        target->AddPoint(grid[i], target->yAxis.minimum, qxr::kCursorLine);
        target->AddPoint(grid[i], target->yAxis.maximum, qxr::kCursorLine);
    }
    RepaintGraphs();
}

void CTabFreqResponse::OnGraphLeave()
{
    BodeGroup()->setTitle(tr("Bode Plot "));
    for (int id : {kPlantReadout, kLoopReadout, kCompReadout, kHiddenReadout})
        SetField(id, QString());
    magnitude_->RemoveLine(qxr::kCursorLine);
    phase_->RemoveLine(qxr::kCursorLine);
    RepaintGraphs();
}

void CTabFreqResponse::RepaintGraphs()
{
    magnitude_->Redraw();
    phase_->Redraw();
}

// The graphs take the page's width and share the height below their top.
void CTabFreqResponse::resizeEvent(QResizeEvent* event)
{
    CDialogTab::resizeEvent(event);
    if (magnitude_ == nullptr)
        return;
    const int top = magnitude_->y();
    const int magnitudeHeight = (height() - top) / 2;
    magnitude_->setGeometry(0, top, width(), magnitudeHeight);
    phase_->setGeometry(0, top + magnitudeHeight, width(), height() - top - magnitudeHeight);
}

QMenu* CTabFreqResponse::CreateGraphMenu(CGraphScatter& graph)
{
    auto* menu = new QMenu(this);
    menu->addAction(tr("Copy Image"), this, [&graph] { QGuiApplication::clipboard()->setImage(GraphImage(graph)); });
    menu->addAction(tr("Save Image As..."), this, [this, &graph] {
        const QString path =
            AskExportPath(this, tr("Save Image As"), SuggestedExportPath(&graph, QStringLiteral("png")),
                          {tr("PNG Image (*.png)"), tr("SVG Image (*.svg)")});
        if (!path.isEmpty())
            SaveGraphImage(graph, path);
    });
    menu->addAction(tr("Export Data as CSV..."), this, [this] {
        const QString path =
            AskExportPath(this, tr("Export Data as CSV"), SuggestedExportPath(nullptr, QStringLiteral("csv")),
                          {tr("CSV Files (*.csv)")});
        if (!path.isEmpty())
            ExportBodeCsv(path);
    });
    return menu;
}

bool CTabFreqResponse::SaveGraphImage(CGraphScatter& graph, const QString& path)
{
    const bool svg = QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    return WriteExportFile(this, path, svg ? GraphSvg(graph, GraphName(graph)) : GraphPng(graph));
}

bool CTabFreqResponse::ExportBodeCsv(const QString& path)
{
    return WriteExportFile(this, path, QByteArray::fromStdString(qxr::FormatBodeCsv(document_.model, loop_)));
}

QString CTabFreqResponse::GraphName(const CGraphScatter& graph) const
{
    return QStringLiteral("%1 - %2").arg(title, graph.yTitle.text);
}

// Beside the design, named after the loop (and the graph), e.g. "voltage-loop-magnitude.png".
QString CTabFreqResponse::SuggestedExportPath(const CGraphScatter* graph, const QString& suffix) const
{
    QString name = loop_ == qxr::ControlLoop::Voltage ? QStringLiteral("voltage-loop") : QStringLiteral("current-loop");
    if (graph != nullptr)
        name += graph == magnitude_ ? QStringLiteral("-magnitude") : QStringLiteral("-phase");
    const QString folder =
        document_.PathName().isEmpty() ? QDir::homePath() : QFileInfo(document_.PathName()).absolutePath();
    return QDir(folder).filePath(name + QLatin1Char('.') + suffix);
}

CTabFreqResponseVoltage::CTabFreqResponseVoltage(CQXRDoc& document, QWidget* parent)
    : CTabFreqResponse(qxr::ControlLoop::Voltage, document, parent)
{
}

CTabFreqResponseCurrent::CTabFreqResponseCurrent(CQXRDoc& document, QWidget* parent)
    : CTabFreqResponse(qxr::ControlLoop::Current, document, parent)
{
}
