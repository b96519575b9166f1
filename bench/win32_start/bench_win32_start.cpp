// The Windows program's start, measured from outside: process start to the
// first painted main window (the program ends right there with
// WB_QUIT_WHEN_SHOWN), against a bare window of the same size started the
// same way, alternating, in one run. The program talks to a server of the
// bench's own (discovery, DBPATH, APPPATH) and loads three entries, as a real
// start does.
//   bench_win32_start.exe [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/file_helpers.h"
#include "gui_win32/program_driver.h"
#include "gui_win32/scripted_server.h"
#include "platform/processes.h"

using namespace wb;
using namespace wb::test;

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Start to end of one program; negative when it failed.
double TimeRun(const std::string& program) {
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  auto process = platform::StartProcess(program, {});
  if (!process) return -1;
  int code = 0;
  if (!process->Wait(30000, code)) {
    process->Kill();
    return -1;
  }
  ::QueryPerformanceCounter(&end);
  return code == 0 ? Milliseconds(start, end) : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void WriteFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(sizeof temp, temp);
  const std::string root = std::string(temp) + "wbbench-" + std::to_string(::GetTickCount64()) + "\\";
  ForceDirs(root + "tmp\\");
  ScopedVariable tmp("TMP", root + "tmp");
  ScopedVariable tempVariable("TEMP", root + "tmp");
  ScopedVariable quit("WB_QUIT_WHEN_SHOWN", "1");
  const std::string database = root + "db\\";
  ForceDirs(database + "Sonderdruck.V1\\");
  ForceDirs(root + "app\\");
  WriteFile(database + "Sonderdruck.V1\\sdr.json",
            "{\"LogFileName\":\"<TMP>log.json\",\"Items\":["
            "{\"Info\":\"Rechnung <b>als PDF</b>\",\"Destination\":\"pdf\",\"UID\":\"A\"},"
            "{\"Info\":\"Lieferschein Kunde\",\"Destination\":\"print\",\"UID\":\"B\"},"
            "{\"Info\":\"Etiketten\",\"Destination\":\"print\",\"Forbidden\":true,\"UID\":\"C\"}]}");
  ScriptedServer server("WBK-BENCH-" + std::to_string(::GetCurrentProcessId()), database, root + "app\\");
  if (!server.Running()) return 1;

  const std::string bin = BinFolder();
  const std::string program = bin + "mehrfachausgabe.exe";
  const std::string bare = bin + "bare_win32_window.exe";
  // One start each first: the system's caches warm for both alike.
  TimeRun(bare);
  TimeRun(program);
  std::vector<double> bareTimes, programTimes;
  for (int i = 0; i < runs; ++i) {
    const double floor = TimeRun(bare);
    const double ours = TimeRun(program);
    if (floor < 0 || ours < 0) {
      std::fprintf(stderr, "run %d failed (bare %.1f, program %.1f)\n", i, floor, ours);
      return 1;
    }
    bareTimes.push_back(floor);
    programTimes.push_back(ours);
  }
  const double bareMedian = Median(bareTimes), programMedian = Median(programTimes);
  std::printf("runs: %d (alternating)\n", runs);
  std::printf("| start to first painted window | median | fastest |\n|---|---|---|\n");
  std::printf("| bare Win32 window | %.0f ms | %.0f ms |\n", bareMedian,
              *std::min_element(bareTimes.begin(), bareTimes.end()));
  std::printf("| mehrfachausgabe.exe | %.0f ms | %.0f ms |\n", programMedian,
              *std::min_element(programTimes.begin(), programTimes.end()));
  std::printf("ratio of the medians: %.2f (target at most 1.30)\n", programMedian / bareMedian);
  return 0;
}
