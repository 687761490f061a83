#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "tests/support/PixelCount.h"
#include "tests/support/QtTestSupport.h"
#include "watcher/graph/render/OGrGraphRenderer.h"

using namespace corvana;

namespace {

// Rows (from the top) that hold any dark text pixel in the band above the plot.
int TitleLineCount(const QImage& image, int bandHeight) {
  int lines = 0;
  bool inLine = false;
  for (int y = 0; y < bandHeight; ++y) {
    bool dark = false;
    for (int x = 0; x < image.width() && !dark; ++x) dark = qGray(image.pixel(x, y)) < 100;
    if (dark && !inLine) ++lines;
    inLine = dark;
  }
  return lines;
}

std::shared_ptr<OGrGraph> ProgressGraph() {
  auto graph = std::make_shared<OGrGraph>();
  graph->Initialize(kOGrGraphXY, "");
  graph->SetLegendVisible(false);
  graph->SetTitleText("Best value so far\r\nall trials");
  graph->SetAxisTitleText(0, "Trials");
  graph->SetAxisDateScaling(1, true);
  graph->SetAxisNumberFormat(1, "m/d/yyyy");
  graph->DefineCustomAutoscaling(0, 0, 400, true, 0);
  graph->SetAxisScalingFlags(0, true, false);
  // Best date found so far, improving in steps.
  graph->SetData({1, 40, 90, 200, 310}, {45200, 45120, 45060, 45010, 45010});
  graph->SetCurveColor(graph->Curves()[0].ID(), OGrColor{0, 0, 255});
  return graph;
}

}  // namespace

class GraphRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { corvana::test::StartApplication<QGuiApplication>("graph_render_tests"); }
};

TEST_F(GraphRender, StepCurveDateAxisAndTwoLineTitleExportAtTheGivenSize) {
  auto graph = ProgressGraph();
  QTemporaryDir dir;
  const char* keep = std::getenv("CORVANA_SCREENSHOT_DIR");
  QString path = keep ? QString(keep) + "/graph-export.png" : dir.filePath("progress.png");
  ASSERT_TRUE(OGrGraphRenderer::SavePng(*graph, path, 640, 360));
  QImage image(path);
  ASSERT_EQ(image.size(), QSize(640, 360));

  // The blue step curve is there, and drawn as steps: long horizontal runs of one row.
  EXPECT_GT(test::CountPixelsNear(image, image.rect(), qRgb(0, 0, 255)), 300);
  int longestRun = 0;
  for (int y = 0; y < image.height(); ++y) {
    int run = 0;
    for (int x = 0; x < image.width(); ++x) {
      run = test::CountPixelsNear(image, QRect(x, y, 1, 1), qRgb(0, 0, 255)) ? run + 1 : 0;
      longestRun = std::max(longestRun, run);
    }
  }
  EXPECT_GT(longestRun, 100);
  EXPECT_EQ(TitleLineCount(image, 45), 2);
  // Not blank: text and frame are drawn in black too.
  EXPECT_GT(test::CountPixelsNear(image, image.rect(), qRgb(0, 0, 0), 60), 500);
}

TEST_F(GraphRender, BadInputDrawsWhatItCanAndNeverCrashes) {
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* Name;
    std::vector<double> X, Y;
    bool Dates;
    const char* Format;
  };
  std::vector<Case> cases{
      {"empty", {}, {}, false, "0"},
      {"nan and infinities", {1, 2, 3, 4, 5}, {nan, inf, -inf, 3, 4}, false, "0.00"},
      {"min equals max", {1, 1, 1}, {5, 5, 5}, false, "#,##0"},
      {"negative dates", {1, 2, 3}, {-800, -750, -700}, true, "m/d/yyyy"},
      {"malformed format", {1, 2}, {3, 4}, false, "0.00E+\"oops"},
      {"huge", {0, 1}, {-1e308, 1e308}, false, "0.0%"},
  };
  for (const auto& c : cases) {
    OGrGraph graph;
    graph.SetTitleText(c.Name);
    graph.SetAxisDateScaling(1, c.Dates);
    graph.SetAxisNumberFormat(1, c.Format);
    graph.SetData(c.X, c.Y);
    QImage image = OGrGraphRenderer::RenderImage(graph, 320, 200);
    ASSERT_EQ(image.size(), QSize(320, 200)) << c.Name;
    EXPECT_GT(test::CountPixelsNear(image, image.rect(), qRgb(0, 0, 0), 60), 50)
        << c.Name;  // frame and labels still drawn
  }
  OGrGraph tiny;
  EXPECT_EQ(OGrGraphRenderer::RenderImage(tiny, 0, -5).size(), QSize(1, 1));
  EXPECT_FALSE(OGrGraphRenderer::SavePng(tiny, "/nonexistent-dir/x.png", 100, 100));
}

// A run without a picture path asks for no picture: nothing is written and nothing is said about it
// on the terminal.
TEST_F(GraphRender, NoPathWritesNoPictureAndWarnsNothing) {
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
  OGrGraph graph;
  graph.SetData({0, 1}, {1, 2});
  EXPECT_FALSE(OGrGraphRenderer::SavePng(graph, QString(), 100, 100));
  qInstallMessageHandler(previous);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

// The frontier's first and last points sit on the ends of its fixed axis: their markers are drawn
// whole, as large as one in the middle, and a point off the axis is not marked in the margin.
TEST_F(GraphRender, MarkersOnThePlotsEdgeAreWholeAndOnesOutsideAreNotDrawn) {
  const auto markerPixels = [](double x) {
    OGrGraph graph;
    graph.DefineCustomAutoscaling(0, 0, 10, true, 0);
    graph.DefineCustomAutoscaling(1, 0, 10, true, 0);
    graph.SetData({x}, {5});
    const int id = graph.Curves()[0].ID();
    graph.SetCurveColor(id, OGrColor{0, 0, 255});
    graph.SetCurveDisplayValues(id, 0, 4);
    const QImage image = OGrGraphRenderer::RenderImage(graph, 400, 300);
    return test::CountPixelsNear(image, image.rect(), qRgb(0, 0, 255));
  };
  const int middle = markerPixels(5);
  ASSERT_GT(middle, 30);
  EXPECT_GE(markerPixels(10), middle * 9 / 10);
  EXPECT_GE(markerPixels(0), middle * 9 / 10);
  EXPECT_EQ(markerPixels(12), 0);
}

TEST_F(GraphRender, TickLabelsNeverRepeat) {
  // A range far finer than the axis format: ticks that would read alike are thinned out.
  OGrGraph graph;
  graph.SetAxisNumberFormat(1, "0.00%");
  graph.SetData({0, 100}, {0.04938, 0.04941});
  QImage coarse = OGrGraphRenderer::RenderImage(graph, 600, 300);
  graph.SetAxisNumberFormat(1, "0.00000%");
  QImage fine = OGrGraphRenderer::RenderImage(graph, 600, 300);
  // Grid lines show where ticks are: the coarse format shows more decimals rather than fewer ticks.
  auto gridRows = [](const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) rows += image.pixel(image.width() / 2, y) == qRgb(225, 225, 225);
    return rows;
  };
  EXPECT_GE(gridRows(coarse), 1);  // a tick inside the frame: three at least with its two ends
  EXPECT_EQ(gridRows(coarse), gridRows(fine));
}

TEST_F(GraphRender, LastAxisLabelIsWholeInsideThePicture) {
  OGrGraph graph;
  graph.SetAxisNumberFormat(0, "#,##0");
  graph.DefineCustomAutoscaling(0, 0, 1000000, true, 0);
  graph.SetData({0, 1000000}, {1, 2});
  for (int width : {260, 300, 420}) {
    QImage image = OGrGraphRenderer::RenderImage(graph, width, 200);
    // Text pixels in the label band at the right: the label is drawn, but clear of the edge.
    const QRect band(width * 3 / 4, 150, width / 4, 50);
    EXPECT_GT(test::CountPixelsNear(image, band, qRgb(0, 0, 0), 200), 10) << width;
    EXPECT_EQ(test::CountPixelsNear(image, QRect(width - 2, 0, 2, 200), qRgb(0, 0, 0), 200), 0) << width;
  }
}

TEST_F(GraphRender, MillionPointSpikeSurvivesDecimation) {
  OGrGraph graph;
  std::vector<double> x(1'000'000), y(1'000'000, 1.0);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i);
  y[654321] = 100;  // one trial far above the rest
  graph.SetData(x, y);
  graph.SetCurveColor(graph.Curves()[0].ID(), OGrColor{255, 0, 0});
  QImage image = OGrGraphRenderer::RenderImage(graph, 800, 600);
  // The spike reaches the top half of the picture.
  EXPECT_GT(test::CountPixelsNear(image, QRect(0, 0, 800, 300), qRgb(255, 0, 0)), 20);
}
