#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "FileSizeLimit.h"
#include "analysis/BodeCsv.h"
#include "app/TabViews.h"
#include "pages/FreqResponsePages.h"
#include "plot/GraphScatter.h"

namespace {

class GraphExport : public AppFixture {
protected:
    CTabFreqResponse& Page(std::size_t i) { return *static_cast<CTabFreqResponse*>(Frame().ReviewView()->Pages()[i]); }
    QString Path(const QString& name) const { return folder_.filePath(name); }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder_;
};

// The loop curve's colour on the screen, and in SVG.
const QColor kLoopGreen(0, 0x80, 0);

TEST_F(GraphExport, SvgIsAValidVectorPictureOfTheSameCurves)
{
    for (std::size_t i : {0u, 1u}) {
        CGraphScatter& graph = *Page(i).MagnitudeGraph();
        ASSERT_TRUE(Page(i).SaveGraphImage(graph, Path("graph.svg")));
        const QByteArray svg = Read(Path("graph.svg"));
        QSvgRenderer renderer(svg);
        EXPECT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBox().size(), graph.size());
        // Each curve is one polyline in its screen colour, not an embedded bitmap.
        EXPECT_TRUE(svg.contains("stroke=\"#008000\"")) << "the loop";
        EXPECT_TRUE(svg.contains("stroke=\"#0000ff\"")) << "the plant";
        EXPECT_FALSE(svg.contains("stroke=\"#ff0000\"")) << "the compensator, unchecked on the page";
        EXPECT_TRUE(svg.contains("<polyline"));
        EXPECT_FALSE(svg.contains("<image"));
    }
}

TEST_F(GraphExport, PngAndClipboardImageShowTheGraph)
{
    CGraphScatter& graph = *Page(0).PhaseGraph();
    ASSERT_TRUE(Page(0).SaveGraphImage(graph, Path("graph.png")));
    QImage png;
    ASSERT_TRUE(png.loadFromData(Read(Path("graph.png")), "PNG"));
    EXPECT_EQ(png.deviceIndependentSize().toSize(), graph.size());
    int loopPixels = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            loopPixels += png.pixelColor(x, y) == kLoopGreen;
    EXPECT_GT(loopPixels, 50) << "the loop curve is drawn";

    std::unique_ptr<QMenu> menu(Page(0).CreateGraphMenu(graph));
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Copy Image", "Save Image As...", "Export Data as CSV..."}));
    QGuiApplication::clipboard()->clear();
    menu->actions()[0]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image(),
              png.convertToFormat(QGuiApplication::clipboard()->image().format()));
}

TEST_F(GraphExport, CsvIsTheCommandLinesBodeData)
{
    ASSERT_TRUE(Page(1).ExportBodeCsv(Path("current.csv")));
    EXPECT_EQ(Read(Path("current.csv")).toStdString(), qxr::FormatBodeCsv(Document().model, qxr::ControlLoop::Current));
}

TEST_F(GraphExport, AFailedWriteSaysSoAndKeepsTheEarlierFile)
{
    QFile earlier(Path("graph.png"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    QString shown;
    AnswerNextMessageBox(shown);
    bool saved = true;
    {
        FileSizeLimit limit(32);
        saved = Page(0).SaveGraphImage(*Page(0).MagnitudeGraph(), Path("graph.png"));
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(Read(Path("graph.png")), "earlier");
    EXPECT_EQ(shown, "Failed to write " + Path("graph.png") + ".");
}

}  // namespace
