// Main-window benchmarks (run with QT_QPA_PLATFORM=offscreen or on a display):
//  - StartToPainted: mehrfachausgabe from process start to its first painted
//    main window (and its end right after), against wbk-localserver, next to
//    the floor: a bare Qt window of the same size, also with one line of text.
//  - WaitCpu: CPU time of the program's own process while a PDF run waits the
//    full ten seconds for a spool file that never comes (percent of one core).
//  - LosToCreatePdf: from clicking "Los!" to the server having received CREATEPDF.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/server_link.h"
#include "app_fakes.h"
#include "client/file_helpers.h"
#include "gui/qt/main_window.h"
#include "gui/qt/qt_ui_hooks.h"
#include "ipc/server_calls.h"
#include "platform/processes.h"
#include "platform/ui_hooks.h"
#include "server/server_process.h"
#include "support/temp_env.h"

using namespace wb;
using Clock = std::chrono::steady_clock;

namespace {

std::string BinDir() { return platform::GetModuleDir(); }

struct Demo {
  test::TempEnv env;
  std::string database = env.Dir("db"), application = env.Dir("app"), order = env.Dir("o") + "order.json";
  Demo() {
    std::filesystem::create_directories(database + "Sonderdruck.V1");
    std::ofstream(database + "Sonderdruck.V1/sdr.json")
        << "{\"Items\":[{\"Info\":\"Angebot\",\"Destination\":\"pdf\",\"UID\":\"U1\"},"
           "{\"Info\":\"Druck <b>fett</b>\",\"Destination\":\"print\",\"UID\":\"U2\"}]}";
    std::ofstream(order) << "{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}";
  }
};

double RunToExit(const std::string& program, const std::vector<std::string>& arguments) {
  auto start = Clock::now();
  auto child = platform::StartProcess(program, arguments);
  int code = 0;
  if (!child || !child->Wait(30000, code) || code != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The program and the two floors are started in turn, one of each per
// iteration, so that the machine's load drifts over all three alike; the
// figures are medians, which a single disturbed start does not move.
void BM_StartToPainted(benchmark::State& state) {
  Demo demo;
  demo.env.Set("WB_QUIT_WHEN_SHOWN", "1");
  test::ServerProcess server("WBK-BENCH-START", {"--database", demo.database, "--appdir", demo.application, "--order",
                                                 demo.order, "--no-cups"});
  if (!server.Running()) {
    state.SkipWithError("wbk-localserver did not start");
    return;
  }
  const std::string program = BinDir() + "mehrfachausgabe";
  const std::string bare = BinDir() + "bare_qt_window";
  std::vector<double> programTimes, bareTimes, bareTextTimes;
  for (auto _ : state) {
    const double programSeconds = RunToExit(program, {});
    const double bareSeconds = RunToExit(bare, {});
    const double bareTextSeconds = RunToExit(bare, {"--label"});
    if (programSeconds < 0 || bareSeconds < 0 || bareTextSeconds < 0) {
      state.SkipWithError("a program failed");
      return;
    }
    programTimes.push_back(programSeconds * 1000);
    bareTimes.push_back(bareSeconds * 1000);
    bareTextTimes.push_back(bareTextSeconds * 1000);
    state.SetIterationTime(programSeconds);
  }
  const double programMs = Median(programTimes), bareMs = Median(bareTimes);
  state.counters["program_ms"] = programMs;
  state.counters["bare_window_ms"] = bareMs;
  state.counters["bare_with_text_ms"] = Median(bareTextTimes);
  state.counters["program_per_bare"] = bareMs > 0 ? programMs / bareMs : 0;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The window in this process, with Qt's ui hooks, as the program has it.
struct WindowUnderTest {
  gui::QtUiHooks hooks;
  std::unique_ptr<gui::MainWindow> window;
  WindowUnderTest(IServerLink& server, IFileOpener& opener) {
    platform::SetUiHooks(&hooks);
    window = std::make_unique<gui::MainWindow>(server, opener, std::vector<std::string>{});
    window->Create();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) std::fprintf(stderr, "window not exposed\n");
    window->SelectIndex(1);  // the PDF entry (print entries are listed first)
  }
  ~WindowUnderTest() {
    window.reset();
    platform::SetUiHooks(nullptr);
  }
};

void BM_WaitCpu(benchmark::State& state) {
  Demo demo;
  test::ScriptedServer server;  // acknowledges CREATEPDF but never writes the spool file
  server.Answer("DBPATH", {demo.database});
  server.Answer("APPPATH", {demo.application});
  server.Answer("SIMPLEGETJSON", {"{\"Order\":[{\"PrintName\":\"Angebot\",\"PrintUID\":\"1\"}]}"});
  test::RecordingOpener opener;
  WindowUnderTest ui(server, opener);
  for (auto _ : state) {
    double cpuBefore = ProcessCpuSeconds();
    auto start = Clock::now();
    QTest::mouseClick(ui.window->RunButton(), Qt::LeftButton);
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = ProcessCpuSeconds() - cpuBefore;
    state.SetIterationTime(wall);
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
    state.counters["wait_seconds"] = wall;
  }
}

// Times the write of CREATEPDF: the server has received it when the write returns.
class TimingLink : public IServerLink {
 public:
  explicit TimingLink(IServerLink& inner) : inner_(inner) {}
  void Detect() override { inner_.Detect(); }
  std::string Read(const std::string& command) override { return inner_.Read(command); }
  void Write(const std::string& command, const std::string& data) override {
    inner_.Write(command, data);
    if (command == "CREATEPDF") received = Clock::now();
  }
  Clock::time_point received;

 private:
  IServerLink& inner_;
};

void BM_LosToCreatePdf(benchmark::State& state) {
  Demo demo;
  test::ServerProcess server(
      "WBK-BENCH-LOS", {"--database", demo.database, "--appdir", demo.application, "--order", demo.order, "--no-cups"});
  if (!server.Running()) {
    state.SkipWithError("wbk-localserver did not start");
    return;
  }
  SetCurrentServerName("");
  PipeServerLink pipe;
  TimingLink link(pipe);
  test::RecordingOpener opener;
  WindowUnderTest ui(link, opener);
  ui.window->EntryList();
  for (auto _ : state) {
    auto pressed = Clock::now();
    QTest::mouseClick(ui.window->RunButton(), Qt::LeftButton);  // returns after the whole run
    state.SetIterationTime(std::chrono::duration<double>(link.received - pressed).count());
  }
}

}  // namespace

BENCHMARK(BM_StartToPainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_WaitCpu)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_LosToCreatePdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  SetRetryPauseMsForTesting(0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
