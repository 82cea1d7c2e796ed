#include <cmath>
#include <complex>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "plot/GraphLayout.h"
#include "plot/GraphScatter.h"

namespace {

class SteppedClock : public CHoverClock {
public:
    std::uint32_t NowMs() override { return now; }

    std::uint32_t now = 0;
};

constexpr int kPointCount = 500;
constexpr int kCursorLine = 7;

// A frequency-response page as the pages build it: magnitude over phase
// against a logarithmic frequency axis, three 500-point curves on each,
// and a dashed cursor line that follows every hover report.
class BodePage {
public:
    explicit BodePage(CHoverClock& clock) : magnitude(nullptr, clock), phase(nullptr, clock)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&magnitude);
        layout->addWidget(&phase);
        window.resize(1000, 600);
        SetUp(magnitude, "Magnitude (dB)", -80, 40);
        SetUp(phase, "Phase (Degrees)", -200, 0);
        FillCurves();
        QObject::connect(&magnitude, &CGraphScatter::HoverMoved, [this] { MoveCursor(magnitude); });
    }

    QWidget window;
    CGraphScatter magnitude;
    CGraphScatter phase;

private:
    static void SetUp(CGraphScatter& graph, const char* yTitle, double yMinimum, double yMaximum)
    {
        graph.xAxis.logScale = true;
        graph.xAxis.autoScale = graph.yAxis.autoScale = false;
        graph.xAxis.minimum = 1;
        graph.xAxis.maximum = 1000;
        graph.yAxis.minimum = yMinimum;
        graph.yAxis.maximum = yMaximum;
        graph.yAxis.majorStep = 20;
        graph.xTitle.text = QStringLiteral("Frequency (Hz)");
        graph.yTitle.text = QString::fromLatin1(yTitle);
        graph.textColor = 0;
        graph.backColor = 0xF0F0F0;
        graph.plotColor = 0xFFFFFF;
        graph.gridColor = 0xE1E1E1;
        graph.AddLine(0, 0xFF0000, CScatterGraphLine::kSolid);
        graph.AddLine(1, 0x0000FF, CScatterGraphLine::kSolid);
        graph.AddLine(2, 0x008000, CScatterGraphLine::kSolid);
    }

    void FillCurves()
    {
        for (int i = 0; i < kPointCount; ++i) {
            const double frequency = std::pow(10.0, 3.0 * i / (kPointCount - 1));
            const std::complex<double> s(0, frequency / 10);
            const std::complex<double> plant = 30.0 / s;
            const std::complex<double> compensator = 3.0 * (1.0 + s / 0.3) / (s * (1.0 + s / 10.0));
            int id = 0;
            for (const std::complex<double>& curve : {plant, compensator, plant * compensator}) {
                magnitude.AddPoint(frequency, 20 * std::log10(std::abs(curve)), id);
                phase.AddPoint(frequency, std::arg(curve) * 180 / M_PI, id);
                ++id;
            }
            grid_.push_back(frequency);
        }
    }

    void MoveCursor(const CGraphScatter& hovered)
    {
        const double frequency = grid_[HoverIndex(hovered.hoverPoint.x(), hovered.plotRect, kPointCount)];
        for (CGraphScatter* graph : {&magnitude, &phase}) {
            graph->RemoveLine(kCursorLine);
            graph->AddLine(kCursorLine, 0, CScatterGraphLine::kDashed);
            graph->AddPoint(frequency, graph->yAxis.minimum, kCursorLine);
            graph->AddPoint(frequency, graph->yAxis.maximum, kCursorLine);
        }
        magnitude.Redraw();
        phase.Redraw();
    }

    std::vector<double> grid_;
};

// One mouse move over the magnitude graph that is reported: the page moves
// its cursor line and both graphs are drawn anew and shown.
void BM_HoverReportRedrawsTwoGraphs(benchmark::State& state)
{
    SteppedClock clock;
    BodePage page(clock);
    page.window.show();
    QCoreApplication::processEvents();
    int x = 0;
    for (auto _ : state) {
        clock.now += CHoverThrottle::kHeldReportInterval;
        x = (x + 7) % page.magnitude.width();
        const QPointF position(x, page.magnitude.height() / 2);
        QMouseEvent move(QEvent::MouseMove, position, position, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&page.magnitude, &move);
    }
}

BENCHMARK(BM_HoverReportRedrawsTwoGraphs)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
