// CollectFiles of "*.da1" in a folder of 100 000 files, against the bare
// system's floor: find DIR -maxdepth 1 -iname '*.da1' on the same folder
// (started as a process, its output to /dev/null), in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "client/find_file.h"
#include "strings/string_list.h"

extern char** environ;

namespace {

constexpr int kFiles = 100000;

struct Folder {
  std::string path;
  int matching = 0;
};

// One folder per share of matching names: 1 in 10, or every file.
const Folder& MakeFolder(int everyNth) {
  static std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("bench_findfile_" + std::to_string(::getpid()));
  static Folder folders[2];
  Folder& folder = folders[everyNth == 1 ? 0 : 1];
  if (!folder.path.empty()) return folder;
  const auto path = root / ("jede" + std::to_string(everyNth));
  std::filesystem::create_directories(path);
  static const char* kOther[] = {".pdf", ".txt", ".json", ".da2"};
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "Layout" + std::to_string(i);
    if (i % everyNth == 0) {
      name += i % 2 ? ".DA1" : ".da1";
      ++folder.matching;
    } else {
      name += kOther[i % 4];
    }
    int fd = ::open((path / name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
  }
  folder.path = path.string();
  static bool cleanup = (std::atexit([] { std::filesystem::remove_all(root); }), true);
  (void)cleanup;
  return folder;
}

void BM_CollectFiles(benchmark::State& state) {
  const Folder& folder = MakeFolder(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    wb::TStringList list;
    wb::CollectFiles(folder.path, "*.da1", list, false);
    if (list.Count() != folder.matching) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(list.Count());
  }
  state.counters["files"] = kFiles;
  state.counters["matches"] = folder.matching;
}
BENCHMARK(BM_CollectFiles)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Find(benchmark::State& state) {
  const Folder& folder = MakeFolder(static_cast<int>(state.range(0)));
  double childCpuSeconds = 0;
  for (auto _ : state) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {"find", folder.path.c_str(), "-maxdepth", "1", "-iname", "*.da1", nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "find", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
      state.SkipWithError("find could not be started");
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    childCpuSeconds +=
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    posix_spawn_file_actions_destroy(&actions);
  }
  // The CPU column counts this process only; find's own time is reported here.
  state.counters["find_cpu_ms"] = benchmark::Counter(childCpuSeconds * 1000 / static_cast<double>(state.iterations()));
  state.counters["files"] = kFiles;
  state.counters["matches"] = folder.matching;
}
BENCHMARK(BM_Find)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
