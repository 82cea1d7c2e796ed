#include <cstdlib>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include "app/InfoDocument.h"
#include "app/MainFrame.h"
#include "app/QXRApp.h"
#include "app/QXRViewLog.h"
#include "app/TabViews.h"
#include "pages/SymbolControls.h"

namespace {

CQXRApp* app = nullptr;

CEditSymDouble* LowLineEdit()
{
    for (const CDialogTabRow& row : app->MainFrame()->UserView()->Pages()[0]->Rows()) {
        if (row.symbolName == QLatin1String("V__IN_MIN"))
            return row.valueEdit;
    }
    return nullptr;
}

// One keystroke in an input: the posted report, the whole calculation and
// the refresh of every row of every page in every view.
void BM_TypeOneCharacter(benchmark::State& state)
{
    CEditSymDouble* edit = LowLineEdit();
    bool flip = false;
    for (auto _ : state) {
        edit->setText(flip ? QStringLiteral("85") : QStringLiteral("86"));
        flip = !flip;
        QCoreApplication::sendPostedEvents();
    }
}

BENCHMARK(BM_TypeOneCharacter)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// From a keystroke until its stability sweep is on every page: the background
// run of corners and samples, then the redraw that shows it.
void BM_SweepAfterOneCharacter(benchmark::State& state)
{
    CEditSymDouble* edit = LowLineEdit();
    const RobustnessRunner& runner = app->MainFrame()->Robustness();
    bool flip = false;
    for (auto _ : state) {
        edit->setText(flip ? QStringLiteral("85") : QStringLiteral("86"));
        flip = !flip;
        do
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        while (!runner.IsCurrent());
    }
}

BENCHMARK(BM_SweepAfterOneCharacter)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Notes the first paint of any widget of the program.
class FirstPaint : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

// From the start of the program's instance until its window is painted:
// the window and its remembered layout, the views and every page.
void BM_StartToFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        app->ExitInstance();
        FirstPaint paint;
        qApp->installEventFilter(&paint);
        state.ResumeTiming();
        if (!app->InitInstance({}))
            state.SkipWithError("the program did not start");
        while (!paint.seen)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        qApp->removeEventFilter(&paint);
        state.ResumeTiming();
    }
}

BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

QString NestedTables(int depth)
{
    return QStringLiteral("<table><tr><td>").repeated(depth) + QStringLiteral("x") +
           QStringLiteral("</td></tr></table>").repeated(depth);
}

// 0: 20 000 nested tables (620 KB); 1: as many tables three deep as the limits allow.
QString InfoDocumentCase(int64_t which)
{
    if (which == 0)
        return NestedTables(20000);
    return NestedTables(info_document::kMaxTableDepth).repeated(info_document::kMaxElements / 9);
}

// The fetch thread's part of an informational document.
void BM_PrepareInfoDocument(benchmark::State& state)
{
    const QString html = InfoDocumentCase(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(PrepareInfoDocument(html));
}

void DeliverInfoText(const QString& text)
{
    app->PostSignal(new CSigDownloadDone(text));
    QCoreApplication::sendPostedEvents();
}

// The UI thread's part: the prepared document goes into the log and is laid out.
void BM_ShowInfoDocument(benchmark::State& state)
{
    const QString prepared = PrepareInfoDocument(InfoDocumentCase(state.range(0)));
    QTextDocument* shown = app->MainFrame()->LogView()->document();
    for (auto _ : state) {
        DeliverInfoText(prepared);
        shown->documentLayout()->documentSize();
        state.PauseTiming();
        DeliverInfoText(QString());  // the log leaves the same text alone
        state.ResumeTiming();
    }
}

BENCHMARK(BM_PrepareInfoDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowInfoDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", qPrintable(home.filePath("config")), 1);
    setenv("XDG_STATE_HOME", qPrintable(home.filePath("state")), 1);
    setenv("XDG_RUNTIME_DIR", qPrintable(home.path()), 1);
    CQXRApp qxr(argc, argv);
    app = &qxr;
    if (!qxr.InitInstance({}))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    qxr.ExitInstance();
    return 0;
}
