// bench_json: Parse, Generate and GenerateIndented of wb_json against the same
// work done by nlohmann::json and RapidJSON, on the entries file of 10 000
// entries and on a 1 MB server reply. Parse includes freeing the tree, since
// the tool frees every document it reads.
#include <benchmark/benchmark.h>

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <nlohmann/json.hpp>

#include "bench_json_inputs.h"
#include "json/wbjson.h"

namespace {

const std::string& Input(int which) {
  static const std::string entries = wb::bench::EntriesFileText(10000);
  static const std::string reply = wb::bench::ServerReplyText(1000000);
  return which == 0 ? entries : reply;
}

void Label(benchmark::State& state) {
  state.SetLabel(state.range(0) == 0 ? "entries 10000" : "server reply 1 MB");
  const auto bytes = static_cast<int64_t>(Input(static_cast<int>(state.range(0))).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

// ---- Parse ------------------------------------------------------------------

void Parse_wbjson(benchmark::State& state) {
  const std::string& text = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto tree = wb::TWBJSONText::Parse(text);
    benchmark::DoNotOptimize(tree.get());
  }
  Label(state);
}

void Parse_nlohmann(benchmark::State& state) {
  const std::string& text = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto tree = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(tree);
  }
  Label(state);
}

void Parse_rapidjson(benchmark::State& state) {
  const std::string& text = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    rapidjson::Document tree;
    tree.Parse(text.data(), text.size());
    benchmark::DoNotOptimize(tree.HasParseError());
  }
  Label(state);
}

// ---- Generate and GenerateIndented ------------------------------------------

void Generate_wbjson(benchmark::State& state) {
  const auto tree = wb::TWBJSONText::Parse(Input(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(wb::TWBJSONText::Generate(tree.get()));
  Label(state);
}

void Generate_nlohmann(benchmark::State& state) {
  const auto tree = nlohmann::json::parse(Input(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(tree.dump());
  Label(state);
}

template <typename Writer>
void WriteRapid(benchmark::State& state) {
  rapidjson::Document tree;
  tree.Parse(Input(static_cast<int>(state.range(0))).c_str());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    if constexpr (std::is_same_v<Writer, rapidjson::PrettyWriter<rapidjson::StringBuffer>>) writer.SetIndent(' ', 2);
    tree.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
  }
  Label(state);
}

void Generate_rapidjson(benchmark::State& state) { WriteRapid<rapidjson::Writer<rapidjson::StringBuffer>>(state); }

void GenerateIndented_wbjson(benchmark::State& state) {
  const auto tree = wb::TWBJSONText::Parse(Input(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(wb::GenerateIndented(tree.get()));
  Label(state);
}

void GenerateIndented_nlohmann(benchmark::State& state) {
  const auto tree = nlohmann::json::parse(Input(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(tree.dump(2));
  Label(state);
}

void GenerateIndented_rapidjson(benchmark::State& state) {
  WriteRapid<rapidjson::PrettyWriter<rapidjson::StringBuffer>>(state);
}

}  // namespace

#define WB_JSON_BENCH(function) BENCHMARK(function)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)

WB_JSON_BENCH(Parse_wbjson);
WB_JSON_BENCH(Parse_nlohmann);
WB_JSON_BENCH(Parse_rapidjson);
WB_JSON_BENCH(Generate_wbjson);
WB_JSON_BENCH(Generate_nlohmann);
WB_JSON_BENCH(Generate_rapidjson);
WB_JSON_BENCH(GenerateIndented_wbjson);
WB_JSON_BENCH(GenerateIndented_nlohmann);
WB_JSON_BENCH(GenerateIndented_rapidjson);

BENCHMARK_MAIN();
