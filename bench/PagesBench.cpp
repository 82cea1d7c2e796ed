#include <cstdlib>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "app/MainFrame.h"
#include "app/QXRApp.h"
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

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", qPrintable(home.filePath("config")), 1);
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
