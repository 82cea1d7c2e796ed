#include <cstdlib>
#include <string>

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "app/TabViews.h"
#include "pages/FreqResponsePages.h"
#include "plot/GraphScatter.h"
#include "present/BodePlot.h"
#include "present/FigureTexts.h"
#include "spice/SpiceRun.h"

namespace {

using qxr::ControlLoop;

enum : int { kSpiceBox = 1047, kSpiceReadout = 1056 };

class SpicePages : public AppFixture {
protected:
    CTabFreqResponse& Page(ControlLoop loop)
    {
        return *static_cast<CTabFreqResponse*>(Frame().ReviewView()->Pages()[static_cast<std::size_t>(loop)]);
    }
    static std::size_t Points(CGraphScatter& graph) { return graph.FindLine(qxr::kSpiceLine)->points.size(); }
    bool Shown(ControlLoop loop, int id)
    {
        return Page(loop).findChild<QWidget*>(QStringLiteral("control%1").arg(id))->isVisibleTo(&Page(loop));
    }
    bool WaitForSpice(ControlLoop loop)
    {
        return QTest::qWaitFor(
            [this, loop] { return Frame().Spice().IsCurrent() && Document().spice[static_cast<std::size_t>(loop)]; },
            30000);
    }
};

TEST_F(SpicePages, TheBoxDrawsNgspicesLoopWithItsFiguresAndFollowsEveryChange)
{
    ASSERT_FALSE(qxr::NgspiceProgram().empty()) << "ngspice is not installed: run scripts/setup";
    CTabFreqResponse& current = Page(ControlLoop::Current);
    QCheckBox* box = current.Box(kSpiceBox);
    Frame().ReviewView()->TabControl().SelectPage(&current);
    EXPECT_TRUE(Shown(ControlLoop::Current, kSpiceBox));
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(Shown(ControlLoop::Current, kSpiceReadout));
    EXPECT_FALSE(Document().spiceWanted[1]);

    box->click();
    ASSERT_TRUE(WaitForSpice(ControlLoop::Current));
    const qxr::SpiceLoopResult& result = *Document().spice[1];
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(Points(*current.MagnitudeGraph()), result.points.size());
    EXPECT_EQ(Points(*current.PhaseGraph()), result.points.size());
    EXPECT_EQ(current.MagnitudeGraph()->legend.back().text, QStringLiteral("Spice"));
    EXPECT_TRUE(Shown(ControlLoop::Current, kSpiceReadout));
    const qxr::StabilityTexts figures = qxr::FormatMeasured(result.metrics);
    EXPECT_EQ(current.Field(kSpiceReadout)->text().toStdString(),
              figures.crossover + ", " + figures.phaseMargin + ", " + figures.gainMargin + ", " + figures.slope);
    EXPECT_NEAR(result.metrics.fx, Document().model.Loop(ControlLoop::Current).fx, 0.01 * 10000);
    EXPECT_FALSE(Document().spice[0]) << "the voltage loop's box is not checked";

    // An edit runs the deck again; the line follows the design.
    const double before = result.metrics.fx;
    Document().ApplyChange("Crossover", [this] { Document().model.F__X_ILOOP.SetUser(8000); });
    ASSERT_TRUE(QTest::qWaitFor(
        [this, before] {
            return Frame().Spice().IsCurrent() && Document().spice[1] && Document().spice[1]->metrics.fx != before;
        },
        30000));
    EXPECT_NEAR(Document().spice[1]->metrics.fx, 8000, 80);

    box->click();
    EXPECT_EQ(Points(*current.MagnitudeGraph()), 0u);
    EXPECT_FALSE(Shown(ControlLoop::Current, kSpiceReadout));
    EXPECT_FALSE(Document().spiceWanted[1]);
}

TEST_F(SpicePages, AFailingSimulatorSaysWhyAndDrawsNothing)
{
    QTemporaryDir folder;
    const QString script = folder.filePath("fails");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho 'Error: no such model' >&2\nexit 1\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ::setenv(qxr::kNgspiceVariable, script.toLocal8Bit().constData(), 1);
    CTabFreqResponse& voltage = Page(ControlLoop::Voltage);
    voltage.Box(kSpiceBox)->click();
    const bool arrived = WaitForSpice(ControlLoop::Voltage);
    ::unsetenv(qxr::kNgspiceVariable);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(voltage.Field(kSpiceReadout)->text(), QStringLiteral("ngspice stopped: Error: no such model"));
    EXPECT_EQ(Points(*voltage.MagnitudeGraph()), 0u);
}

// Started without ngspice, the box says how to install it and cannot be checked.
class SpicePagesWithoutNgspice : public SpicePages {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        path_ = path != nullptr ? path : "";
        ::setenv("PATH", empty_.path().toLocal8Bit().constData(), 1);
        AppFixture::SetUp();
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        ::setenv("PATH", path_.c_str(), 1);
    }

private:
    std::string path_;
    QTemporaryDir empty_;
};

TEST_F(SpicePagesWithoutNgspice, TheBoxIsDisabledWithHowToInstallIt)
{
    for (ControlLoop loop : qxr::kControlLoops) {
        Frame().ReviewView()->TabControl().SelectPage(&Page(loop));
        QCheckBox* box = Page(loop).Box(kSpiceBox);
        EXPECT_TRUE(Shown(loop, kSpiceBox));
        EXPECT_FALSE(box->isEnabled());
        EXPECT_TRUE(box->toolTip().contains(QStringLiteral("Install ngspice"))) << box->toolTip().toStdString();
    }
}

}  // namespace
