// Loading a settings file of 200 000 lines in 1 000 sections and reading 10 000
// keys from it: TFastIniFile against inih parsing into a hash map, the same
// file and the same keys in the same run.
#include <benchmark/benchmark.h>
#include <ini.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "client/fast_ini_file.h"

namespace {

constexpr int kSections = 1000;
constexpr int kLines = 200000;
constexpr int kReads = 10000;

struct Input {
  std::string path;
  std::vector<std::pair<std::string, std::string>> queries;  // section, key
  size_t bytes = 0;
};

// Each section: a header, keys of mixed length, now and then a comment and a
// blank line, as a settings file grown by hand looks.
const Input& TheInput() {
  static const Input input = [] {
    Input made;
    made.path =
        (std::filesystem::temp_directory_path() / ("bench_ini_" + std::to_string(::getpid()) + ".txt")).string();
    std::string text;
    const int linesPerSection = kLines / kSections;
    std::vector<int> keysIn(kSections);
    for (int s = 0; s < kSections; ++s) {
      text += "[Bereich" + std::to_string(s) + "]\r\n";
      int written = 1, key = 0;
      while (written < linesPerSection) {
        if (key % 40 == 39 && written + 2 <= linesPerSection) {
          text += "; Gruppe " + std::to_string(key / 40) + "\r\n\r\n";
          written += 2;
        } else {
          text += "Eintrag" + std::to_string(key) + " = Wert " + std::to_string(s * 1000 + key) + "\r\n";
          ++written;
        }
        ++key;
      }
      keysIn[s] = key;
    }
    std::ofstream(made.path, std::ios::binary) << text;
    made.bytes = text.size();
    std::mt19937 random(42);
    for (int i = 0; i < kReads; ++i) {
      const int s = static_cast<int>(random() % kSections);
      int k = static_cast<int>(random() % keysIn[s]);
      if (k % 40 == 39) --k;  // comment positions hold no key
      made.queries.emplace_back("Bereich" + std::to_string(s), "Eintrag" + std::to_string(k));
    }
    std::atexit([] { std::remove(TheInput().path.c_str()); });
    return made;
  }();
  return input;
}

void BM_FastIniFile(benchmark::State& state) {
  const Input& input = TheInput();
  size_t found = 0;
  for (auto _ : state) {
    wb::TFastIniFile ini(input.path);
    for (const auto& [section, key] : input.queries) found += !ini.ReadSetting(section, key, "").empty();
    benchmark::DoNotOptimize(found);
  }
  if (found != static_cast<size_t>(kReads) * state.iterations()) state.SkipWithError("a key was not found");
  state.SetBytesProcessed(static_cast<int64_t>(input.bytes) * state.iterations());
}
BENCHMARK(BM_FastIniFile)->Unit(benchmark::kMillisecond);

// inih hands every key to a callback; the usual way to use it is a hash map of
// "section=name" with both lower-cased (names ignore case, as in TFastIniFile).
std::string LowerKey(const char* section, const char* name) {
  std::string key;
  for (const char* p = section; *p; ++p) key += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  key += '=';
  for (const char* p = name; *p; ++p) key += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return key;
}

int Collect(void* user, const char* section, const char* name, const char* value) {
  auto& map = *static_cast<std::unordered_map<std::string, std::string>*>(user);
  map.emplace(LowerKey(section, name), value);
  return 1;
}

void BM_Inih(benchmark::State& state) {
  const Input& input = TheInput();
  size_t found = 0;
  for (auto _ : state) {
    std::unordered_map<std::string, std::string> map;
    if (ini_parse(input.path.c_str(), Collect, &map) != 0) state.SkipWithError("inih failed");
    for (const auto& [section, key] : input.queries) {
      auto it = map.find(LowerKey(section.c_str(), key.c_str()));
      found += it != map.end() && !it->second.empty();
    }
    benchmark::DoNotOptimize(found);
  }
  if (found != static_cast<size_t>(kReads) * state.iterations()) state.SkipWithError("a key was not found");
  state.SetBytesProcessed(static_cast<int64_t>(input.bytes) * state.iterations());
}
BENCHMARK(BM_Inih)->Unit(benchmark::kMillisecond);

// Only the load (no reads): what opening the settings file costs.
void BM_FastIniFileLoadOnly(benchmark::State& state) {
  const Input& input = TheInput();
  for (auto _ : state) {
    wb::TFastIniFile ini(input.path);
    ini.EnsureLoaded();
    benchmark::DoNotOptimize(ini.Items().Count());
  }
}
BENCHMARK(BM_FastIniFileLoadOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
