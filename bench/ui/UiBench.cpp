// Drawing cost of the graph renderer and of a virtual grid, each against a small case in the same
// run: the large case must cost about as much as the small one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTableView>
#include <cmath>
#include <memory>

#include "watcher/graph/render/OGrGraphRenderer.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/QtPlatform.h"
#include "watcher/ui/testing/CountingGridSource.h"

using namespace corvana;
using namespace corvana::ui;

namespace {

std::unique_ptr<OGrGraph> NoisyStepGraph(int points) {
  auto graph = std::make_unique<OGrGraph>();
  graph->SetTitleText("Best value\nall trials");
  std::vector<double> x(static_cast<std::size_t>(points)), y(x.size());
  double best = 1000;
  for (int i = 0; i < points; ++i) {
    x[static_cast<std::size_t>(i)] = i;
    if (i % 97 == 0) best -= std::fabs(std::sin(i * 0.37));
    y[static_cast<std::size_t>(i)] = best + (i % 7919 == 0 ? 50 : 0);  // rare spikes
  }
  graph->SetData(x, y);
  return graph;
}

void BM_DrawCurve(benchmark::State& state) {
  auto graph = NoisyStepGraph(static_cast<int>(state.range(0)));
  QImage image(800, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    OGrGraphRenderer::Render(*graph, painter, image.rect());
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["points"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_DrawCurve)->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The same after every change of the points, as on a tick that found a new progress step: the
// new points are handed over untimed, their first drawing is timed.
void BM_DrawChangedCurve(benchmark::State& state) {
  auto graph = NoisyStepGraph(static_cast<int>(state.range(0)));
  OGrData data = graph->Curves()[0].Data();
  QImage image(800, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    state.PauseTiming();
    data.Y.back() -= 0.001;
    graph->SetData(data);
    state.ResumeTiming();
    QPainter painter(&image);
    OGrGraphRenderer::Render(*graph, painter, image.rect());
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["points"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_DrawChangedCurve)->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Binds a grid to a source, shows it and scrolls to its last rows, drawing what is in view.
void BM_VirtualGridScrollToEnd(benchmark::State& state) {
  QtPlatform platform;
  CountingGridSource source(static_cast<std::int32_t>(state.range(0)));
  std::int64_t calls = 0;
  std::int64_t rounds = 0;
  for (auto _ : state) {
    Form form(platform, "FormBench");
    form.Move(0, 0, 9000, 6000);
    auto& grid = form.Add<Grid>("SGGridLog");
    grid.Move(0, 0, 8500, 5000);
    for (const char* caption : {"Trial", "Value", "Text", "Group"}) grid.AddColumn(caption, 1500);
    source.ForgetCalls();
    grid.SetDataSource(&source);
    form.Show();
    grid.ScrollToLastRows();
    platform.Binder(form)->WidgetFor("SGGridLog")->grab();
    calls += source.Calls();
    ++rounds;
    grid.SetDataSource(nullptr);
  }
  state.counters["rows"] = static_cast<double>(state.range(0));
  state.counters["GetRowData calls"] = static_cast<double>(calls) / static_cast<double>(rounds);
}
BENCHMARK(BM_VirtualGridScrollToEnd)->Arg(1'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
