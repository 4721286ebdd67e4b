// Building the main window with all 26 page views, offscreen; and the peak
// memory of the process once every page has been built.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QTabWidget>

#include "app/application.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "pages/registry.h"

namespace {

void build_window(benchmark::State& state) {
  rosgen::app::StderrDesktop desktop;
  for (auto _ : state) {
    rosgen::app::MainWindow window(desktop, {}, rosgen::pages());
    for (int i = 0; i < window.page_count(); ++i) benchmark::DoNotOptimize(window.view(i));
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(build_window)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  rosgen::app::Application app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
