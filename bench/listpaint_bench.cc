// One step of the list on screen: the main window with a 2,000-cell demo
// database on Qt's offscreen platform, moved by one wheel notch (three
// rows) and painted through the event loop as the desktop would, against
// a paint of the whole list page.  CPU time is what counts.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QtGlobal>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <unistd.h>

#include "app/taw.h"
#include "ingest/demodb.h"
#include "platform/qt/qtplatform.h"

namespace {

namespace fs = std::filesystem;

std::unique_ptr<TAW> window;
fs::path scratch;

// The window once per run, in a scratch folder with the demo database.
TAW* listwindow() {
  if (window) return window.get();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "listpaint_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  installqtplatform();
  scratch = fs::temp_directory_path() / ("listpaint_bench_" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  fs::current_path(scratch);
  if (!writedemodatabase(scratch.string(), 2000).ok) std::abort();
  window = std::make_unique<TAW>();
  window->resize(900, 640);
  window->show();
  window->runcommand(51);  // the list view
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  return window.get();
}

// Runs the event loop until the pending paints are done.
void settle() {
  QCoreApplication::sendPostedEvents();
  QApplication::processEvents();
}

void BM_WheelStepOverList(benchmark::State& state) {
  TAW* w = listwindow();
  for (auto _ : state) {
    if (w->firstvisible() > 1900) {
      state.PauseTiming();
      w->scrollbykey(Qt::Key_Home, Qt::NoModifier);
      settle();
      state.ResumeTiming();
    }
    w->scrollbywheel(-120);
    settle();
  }
}
BENCHMARK(BM_WheelStepOverList)->Unit(benchmark::kMicrosecond);

void BM_WholeListPagePaint(benchmark::State& state) {
  TAW* w = listwindow();
  for (auto _ : state) {
    w->invalidate();
    settle();
  }
}
BENCHMARK(BM_WholeListPagePaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // The window goes before the application and its display connection.
  window.reset();
  delete qApp;
  if (!scratch.empty()) {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(scratch, ec);
  }
  return 0;
}
