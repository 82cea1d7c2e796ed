#include "report/DesignReport.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QSvgRenderer>

#include <algorithm>
#include <thread>

#include "analysis/DesignText.h"
#include "analysis/LoopSeparation.h"
#include "calc/CoefficientExport.h"
#include "designmap/Proposal.h"
#include "figures/DesignMapPicture.h"
#include "figures/PictureTexts.h"
#include "figures/TimeDomainGraphs.h"
#include "model/DesignModel.h"
#include "model/Enumerations.h"
#include "model/Utf.h"
#include "plot/GraphScatter.h"
#include "present/DesignMapTexts.h"
#include "present/FigureLabels.h"
#include "present/NumberFormat.h"
#include "present/PageLayout.h"
#include "present/PageList.h"
#include "present/SchematicTexts.h"
#include "present/TimeDomainTexts.h"
#include "present/ValueText.h"
#include "report/ReportCanvas.h"

#ifndef QXR_VERSION
#error "QXR_VERSION must name the program version"
#endif

namespace {

constexpr double kBodyPoints = 9;
constexpr double kSectionPoints = 12;
constexpr double kRowGapPoints = 1.5;
// The graphs are laid out at the size of a graph on the screen and scaled
// to the page, so that their texts keep the proportions of the screen.
constexpr int kGraphLogicalWidth = 720;
constexpr int kGraphLogicalHeight = 250;

QString Tr(const char* text)
{
    return QCoreApplication::translate("DesignReport", text);
}

// The value a row's control shows: inputs and proposals show the value in
// force, results the calculated one.
QString RowValue(CSymbol& symbol, const qxr::Declaration& row)
{
    const double value = row.mode == CCtrlMode::Cal ? symbol.calcValue : symbol.Value();
    return QString::fromStdString(qxr::ShownText(symbol, value, row.precision));
}

QString RowDescription(const CSymbol& symbol, const qxr::Declaration& row)
{
    return row.description == "*" ? QString::fromStdU16String(symbol.description)
                                  : QString::fromStdString(row.description);
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// A row of figures: the figure's name, then its text for each loop.
QStringList FigureRow(std::size_t figure, const QString& voltage, const QString& current)
{
    return {Tr(qxr::kFigureLabels[figure].reportRow), voltage, current};
}

double SectionTitleHeight(const ReportCanvas& canvas)
{
    return canvas.Pt(6) + canvas.LineHeight(ReportFont(kSectionPoints, true));
}

// A title never ends a page: it keeps `following` (device units) of what follows with it.
void SectionTitle(ReportCanvas& canvas, const QString& title, double following)
{
    canvas.KeepRoom(SectionTitleHeight(canvas) + following);
    canvas.Skip(6);
    canvas.Line(title, ReportFont(kSectionPoints, true));
}

void SectionTitle(ReportCanvas& canvas, const QString& title)
{
    SectionTitle(canvas, title, 2 * canvas.LineHeight(ReportFont(kBodyPoints)));
}

// Columns of a page row, in fractions of the page's width.
struct RowColumns {
    double marks = 0.05;
    double description = 0.62;
    double value = 0.18;
    double unitGap = 0.02;
};

void PaintRow(ReportCanvas& canvas, const ReportRow& row)
{
    const QFont font = ReportFont(kBodyPoints, row.value.isEmpty());
    const RowColumns columns;
    const double width = canvas.Width();
    const QFontMetricsF metrics(font, canvas.Painter().device());
    const double descriptionWidth = columns.description * width;
    const QRectF needed =
        metrics.boundingRect(QRectF(0, 0, descriptionWidth, canvas.BodyHeight()), Qt::TextWordWrap, row.description);
    const QRectF block = canvas.Take(std::max(needed.height(), metrics.lineSpacing()) + canvas.Pt(kRowGapPoints));
    QPainter& painter = canvas.Painter();
    painter.setFont(font);
    const auto cell = [&](double left, double cellWidth) {
        return QRectF(block.left() + left * width, block.top(), cellWidth * width, block.height());
    };
    const QString marks = QString(row.userEntry ? QStringLiteral("*") : QStringLiteral(" ")) +
                          (row.outOfRange ? QStringLiteral("!") : QString());
    painter.drawText(cell(0, columns.marks), Qt::AlignLeft | Qt::AlignTop, marks);
    painter.drawText(cell(columns.marks, columns.description), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                     row.description);
    painter.save();
    if (row.outOfRange)
        painter.setPen(QColor(200, 0, 0));
    const double valueLeft = columns.marks + columns.description;
    painter.drawText(cell(valueLeft, columns.value), Qt::AlignRight | Qt::AlignTop, row.value);
    painter.restore();
    const double unitLeft = valueLeft + columns.value + columns.unitGap;
    painter.drawText(cell(unitLeft, 1 - unitLeft), Qt::AlignLeft | Qt::AlignTop, row.unit);
}

// A graph laid out at its screen size and scaled into the block.
void PaintGraph(QPainter& painter, CGraphScatter& graph, const QRectF& block)
{
    const QSize logical(kGraphLogicalWidth, kGraphLogicalHeight);
    painter.save();
    painter.translate(block.topLeft());
    painter.scale(block.width() / logical.width(), block.height() / logical.height());
    graph.Paint(painter, logical);
    painter.restore();
}

// A table, its first row in bold; each column takes its share of the page's width.
void PaintTable(ReportCanvas& canvas, const std::vector<QStringList>& table, const std::vector<double>& shares,
                double points = kBodyPoints)
{
    QPainter& painter = canvas.Painter();
    for (std::size_t r = 0; r < table.size(); ++r) {
        const QFont font = ReportFont(points, r == 0);
        const QRectF block = canvas.Take(canvas.LineHeight(font));
        painter.setFont(font);
        double left = block.left();
        for (qsizetype c = 0; c < table[r].size() && c < static_cast<qsizetype>(shares.size()); ++c) {
            const double width = canvas.Width() * shares[static_cast<std::size_t>(c)];
            painter.drawText(QRectF(left, block.top(), width, block.height()), Qt::AlignLeft | Qt::AlignVCenter,
                             table[r][c]);
            left += width;
        }
    }
}

// The figures of both loops side by side.
void PaintLoopTable(ReportCanvas& canvas, const std::vector<QStringList>& table)
{
    PaintTable(canvas, table, {0.3, 0.3, 0.3});
}

// The steady states over line and load, a point a row.
std::vector<QStringList> SteadyTable(const qxr::SteadyStateReport& steady, double pOut)
{
    const auto row = [](const qxr::SteadyRow& cells, bool translate) {
        QStringList texts;
        for (const std::string& cell : cells)
            texts << (translate ? QCoreApplication::translate("TimeDomain", cell.c_str()) : Text(cell));
        return texts;
    };
    std::vector<QStringList> table{row(qxr::SteadyHeadings(), true)};
    for (const qxr::SteadyStatePoint& point : steady.points)
        table.push_back(row(qxr::SteadyCells(point, pOut), false));
    return table;
}

}  // namespace

QString ReportTitle(const std::u16string& description, const QString& fileTitle)
{
    return description.empty() ? fileTitle : QString::fromStdU16String(description);
}

struct DesignReport::LoopPlot {
    LoopPlot(CDesignModel& model, qxr::ControlLoop loop, const QString& title, const qxr::RobustnessReport& sweep)
        : name(title), bode(loop, magnitude, phase)
    {
        const auto index = static_cast<std::size_t>(loop);
        bode.Setup(model, 0xFFFFFF);
        bode.Redraw(model, {true, true, true}, sweep.notComputed.empty() ? &sweep.loops[index] : nullptr);
        stability = qxr::FormatStability(model.Loop(loop), bode.Curves().loopGain);
        spread = qxr::FormatSweep(&sweep, loop);
        if (sweep.notComputed.empty()) {
            yield = Text(qxr::FormatFixed(100 * sweep.loops[index].yield, 2) + " %");
            worstPm = Text(qxr::FormatFixed(sweep.loops[index].worstPm, 1) + "°");
        }
    }

    QString name;
    CGraphScatter magnitude;
    CGraphScatter phase;
    BodeGraphs bode;
    qxr::StabilityTexts stability;
    qxr::SweepTexts spread;
    QString yield, worstPm;
};

DesignReport::DesignReport(CDesignModel& model, const QString& title)
    : model_(model),
      title_(title),
      mode_(QString::fromStdString(qxr::ModeText(model))),
      analog_(model.Read(model.ad) == CTop::ANALOG),
      pOut_(model.P__OUT.Value())
{
    qxr::RobustnessOptions options;
    options.bands = true;
    sweep_ = qxr::AnalyseRobustness(qxr::ReadRobustnessInputs(model), options);
    timeDomain_ = qxr::SimulateTimeDomain(qxr::ReadTimeDomainInputs(model), {}, std::thread::hardware_concurrency());
    for (qxr::ControlLoop loop : qxr::kControlLoops) {
        const auto index = static_cast<std::size_t>(loop);
        mapInputs_[index] = qxr::ReadDesignMapInputs(model, loop);
        qxr::DesignMapOptions options;
        options.threads = std::max(1u, std::thread::hardware_concurrency());
        maps_[index] = qxr::ComputeDesignMap(mapInputs_[index], options);
        for (const std::string& note : qxr::LoopSeparationNotes(model, loop))
            separation_[index] << Text(note);
    }
    // The Bode pages read their inputs before the design pages are shown.
    loops_[0] = std::make_unique<LoopPlot>(model, qxr::ControlLoop::Voltage, Tr("Voltage Loop"), sweep_);
    loops_[1] = std::make_unique<LoopPlot>(model, qxr::ControlLoop::Current, Tr("Current Loop"), sweep_);
    GatherPages();
    for (const std::string& line : qxr::MessageLines(model))
        messages_ << QString::fromStdString(line);
}

DesignReport::~DesignReport() = default;

void DesignReport::GatherPages()
{
    for (const qxr::PageInfo* info : qxr::PagesOf(qxr::PageView::Design)) {
        if (!qxr::ShowsForMode(*info, model_.Read(model_.ad)))
            continue;
        ReportPage page{QCoreApplication::translate(qxr::TitleContext(*info), info->title), {}};
        for (const qxr::Declaration& declaration : qxr::PageDeclarations(info->templateId)) {
            if (declaration.kind == qxr::Declaration::Kind::Header) {
                if (declaration.level == "1")
                    page.title = Text(declaration.title);
                else
                    page.rows.push_back({Text(declaration.title), {}, {}});
                continue;
            }
            CSymbol* symbol = model_.FindByName(qxr::FromUtf8(declaration.symbol));
            if (symbol == nullptr || !symbol->inUse || declaration.mode == CCtrlMode::Pic)
                continue;
            page.rows.push_back({RowDescription(*symbol, declaration), RowValue(*symbol, declaration),
                                 QString::fromStdU16String(symbol->unit), symbol->userSet, symbol->IsOutsideLimits()});
        }
        pages_.push_back(std::move(page));
    }
}

bool DesignReport::Paint(QPagedPaintDevice& device)
{
    ReportCanvas canvas(device, title_, QStringLiteral("QXR %1").arg(QStringLiteral(QXR_VERSION)), Tr("Page %1"));
    if (!canvas.IsActive())
        return false;
    // The sections in the order they are printed; a new section is one more line.
    PaintHeading(canvas);
    PaintPages(canvas);
    PaintMessages(canvas);
    PaintStability(canvas);
    PaintSweep(canvas);
    PaintBodePlots(canvas);
    PaintTimeDomain(canvas);
    PaintDesignMaps(canvas);
    if (analog_)
        PaintSchematic(canvas);
    else
        PaintCoefficients(canvas);
    canvas.Finish();
    return true;
}

void DesignReport::PaintHeading(ReportCanvas& canvas) const
{
    canvas.Paragraph(title_, ReportFont(16, true));
    const QFont font = ReportFont(kBodyPoints);
    canvas.Line(Tr("Program: QXR %1").arg(QStringLiteral(QXR_VERSION)), font);
    canvas.Line(Tr("Mode: %1").arg(mode_), font);
    canvas.Line(Tr("* user entry, ! outside the recommended range"), font);
}

void DesignReport::PaintPages(ReportCanvas& canvas) const
{
    for (const ReportPage& page : pages_) {
        SectionTitle(canvas, page.title);
        for (const ReportRow& row : page.rows)
            PaintRow(canvas, row);
    }
}

void DesignReport::PaintMessages(ReportCanvas& canvas) const
{
    SectionTitle(canvas, Tr("Messages"));
    canvas.Paragraph(messages_.isEmpty() ? Tr("None") : messages_.join(QLatin1Char('\n')), ReportFont(kBodyPoints));
}

void DesignReport::PaintStability(ReportCanvas& canvas) const
{
    SectionTitle(canvas, Tr("Stability"));
    const qxr::StabilityTexts& voltage = loops_[0]->stability;
    const qxr::StabilityTexts& current = loops_[1]->stability;
    PaintLoopTable(canvas, {
                               {QString(), loops_[0]->name, loops_[1]->name},
                               FigureRow(0, Text(voltage.crossover), Text(current.crossover)),
                               FigureRow(1, Text(voltage.phaseMargin), Text(current.phaseMargin)),
                               FigureRow(2, Text(voltage.gainMargin), Text(current.gainMargin)),
                               FigureRow(3, Text(voltage.slope), Text(current.slope)),
                           });
}

void DesignReport::PaintSweep(ReportCanvas& canvas) const
{
    SectionTitle(canvas, Tr("Stability Sweep (min/max)"));
    if (!sweep_.notComputed.empty()) {
        canvas.Paragraph(QString::fromStdString(sweep_.notComputed), ReportFont(kBodyPoints));
        return;
    }
    const LoopPlot& voltage = *loops_[0];
    const LoopPlot& current = *loops_[1];
    PaintLoopTable(canvas, {
                               {QString(), voltage.name, current.name},
                               FigureRow(0, Text(voltage.spread.crossover), Text(current.spread.crossover)),
                               FigureRow(1, Text(voltage.spread.phaseMargin), Text(current.spread.phaseMargin)),
                               FigureRow(2, Text(voltage.spread.gainMargin), Text(current.spread.gainMargin)),
                               FigureRow(3, Text(voltage.spread.slope), Text(current.spread.slope)),
                               {Tr("Yield"), voltage.yield, current.yield},
                               {Tr("Worst-case phase margin"), voltage.worstPm, current.worstPm},
                           });
    canvas.Line(Tr("RHPZ: %1 nominal, %2").arg(Text(voltage.spread.rhpz), Text(voltage.spread.rhpzSpread)),
                ReportFont(kBodyPoints));
}

void DesignReport::PaintBodePlots(ReportCanvas& canvas) const
{
    const double graphHeight = canvas.Width() * kGraphLogicalHeight / kGraphLogicalWidth;
    for (const auto& loop : loops_) {
        SectionTitle(canvas, Tr("Bode Plot: %1").arg(loop->name), 2 * graphHeight);
        PaintGraph(canvas.Painter(), loop->magnitude, canvas.Take(graphHeight));
        PaintGraph(canvas.Painter(), loop->phase, canvas.Take(graphHeight));
        canvas.Line(Tr("Blue: plant, red: compensator, green: loop; dashed: crossover and 0 dB"),
                    ReportFont(kBodyPoints - 1));
    }
}

void DesignReport::PaintTimeDomain(ReportCanvas& canvas) const
{
    SectionTitle(canvas, Tr("Time Domain"));
    const QFont font = ReportFont(kBodyPoints);
    if (timeDomain_.notComputed.empty()) {
        // Ten columns: the verdict and the margin take the most room.
        PaintTable(canvas, SteadyTable(timeDomain_.steadyStates, pOut_),
                   {0.07, 0.07, 0.08, 0.08, 0.08, 0.15, 0.13, 0.11, 0.11, 0.10}, kBodyPoints - 1);
        canvas.Skip(4);
        canvas.Paragraph(Tr("Load step: %1").arg(Text(qxr::LoadStepSummary(timeDomain_.loadStep))), font);
        canvas.Paragraph(Tr("Start-up: %1").arg(Text(qxr::StartUpSummary(timeDomain_.startUp))), font);
        canvas.Paragraph(Tr("Hold-up: %1").arg(Text(qxr::HoldUpSummary(timeDomain_.holdUp))), font);
    }
    QStringList notes;
    for (const std::string& note : qxr::TimeDomainNotes(timeDomain_))
        notes << Text(note);
    canvas.Skip(4);
    if (!notes.isEmpty())
        canvas.Paragraph(notes.join(QLatin1Char('\n')), font);
    if (timeDomain_.notComputed.empty())
        PaintTimeDomainGraphs(canvas);
}

// The harmonics of the first steady state (low line, full load) and the
// output through the load step.
void DesignReport::PaintTimeDomainGraphs(ReportCanvas& canvas) const
{
    const double graphHeight = canvas.Width() * kGraphLogicalHeight / kGraphLogicalWidth;
    const std::vector<qxr::SteadyStatePoint>& points = timeDomain_.steadyStates.points;
    CGraphScatter harmonics, output;
    SetUpTimeDomainGraph(harmonics, TimeDomainGraph::Harmonics, 0xFFFFFF);
    SetUpTimeDomainGraph(output, TimeDomainGraph::OutputVoltage, 0xFFFFFF);
    DrawHarmonics(harmonics, points.empty() ? nullptr : &points.front());
    DrawScenarioOutput(output, timeDomain_.loadStep.waveforms, model_.V__OUT_MAX.Value(), model_.V__OUT_MIN.Value());
    canvas.KeepRoom(2 * graphHeight);
    PaintGraph(canvas.Painter(), harmonics, canvas.Take(graphHeight));
    PaintGraph(canvas.Painter(), output, canvas.Take(graphHeight));
    canvas.Paragraph(
        Tr("Above: the line current's harmonics at the first point against their limits; below: the output "
           "through the load step, dashed the over-voltage trip and the least output allowed"),
        ReportFont(kBodyPoints - 1));
}

// Each loop's map as the Design Map tab draws it, with the tab's status line under it.
void DesignReport::PaintDesignMaps(ReportCanvas& canvas) const
{
    SectionTitle(canvas, Tr("Design Maps"));
    const QFont font = ReportFont(kBodyPoints);
    // The time-domain pass takes seconds a map; the report keeps to the sweep's figures and says so.
    canvas.Paragraph(Tr("Worst case over the stability sweep's corners. The third harmonic and the load-step minimum "
                        "of each point are simulated on the Design Map tabs and by qxr-cli map --time-domain."),
                     font);
    const double pictureHeight = canvas.Width() * 0.5;
    for (qxr::ControlLoop loop : qxr::kControlLoops) {
        const auto index = static_cast<std::size_t>(loop);
        const qxr::DesignMap& map = maps_[index];
        const QString title = loop == qxr::ControlLoop::Voltage ? Tr("Voltage loop") : Tr("Current loop");
        if (!map.notComputed.empty()) {
            canvas.Paragraph(Tr("%1: %2").arg(title, Text(map.notComputed)), font);
            continue;
        }
        DesignMapScene scene;
        scene.map = &map;
        scene.limits = mapInputs_[index].limits;
        scene.proposal = qxr::ProposeFrom(map, scene.limits);
        scene.designCrossover = qxr::RequiredCrossoverSymbol(model_, loop).Value();
        scene.designPm = qxr::RequiredMarginSymbol(model_, loop).Value();
        canvas.KeepRoom(canvas.LineHeight(font) + pictureHeight);
        canvas.Line(title, ReportFont(kBodyPoints, true));
        QPainter& painter = canvas.Painter();
        painter.save();
        painter.setFont(ReportFont(kBodyPoints - 1));
        PaintDesignMap(painter, canvas.Take(pictureHeight), scene, {Qt::black, Qt::darkGray, Qt::white});
        painter.restore();
        canvas.Paragraph(Text(qxr::ProposalSummary(scene.proposal, scene.limits)), font);
        for (const QString& note : separation_[index])
            canvas.Paragraph(note, font);
        canvas.Skip(4);
    }
}

void DesignReport::PaintSchematic(ReportCanvas& canvas) const
{
    QSvgRenderer picture(PictureData(qxr::kAnalogSchematic));
    if (!picture.isValid())
        return;
    canvas.NewPage();
    SectionTitle(canvas, Tr("Schematic"), 0);
    const QSizeF natural = picture.defaultSize();
    const double room = canvas.Remaining();
    const double scale = std::min(canvas.Width() / natural.width(), room / natural.height());
    const QRectF block = canvas.Take(natural.height() * scale);
    const QRectF target(block.topLeft(), natural * scale);
    picture.render(&canvas.Painter(), target);
    PaintPictureTexts(canvas.Painter(), target, picture.viewBoxF(),
                      qxr::SchematicValueTexts(model_, qxr::SchematicValueAnchors()));
}

void DesignReport::PaintCoefficients(ReportCanvas& canvas) const
{
    SectionTitle(canvas, Tr("Coefficient Sets"));
    QFont font = ReportFont(kBodyPoints);
    font.setFamily(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::Monospace);
    for (qxr::CoefficientSet set : qxr::kCoefficientSets) {
        canvas.Paragraph(QString::fromStdString(qxr::CoefficientText(model_, set)).trimmed(), font);
        canvas.Skip(6);
    }
}
