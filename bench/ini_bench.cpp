// Loading a 2 MB project-like INI file and looking up every key: the settings store beside inih
// storing into hash maps, measured in the same run; ratios at the end (store time / inih time,
// below 1 means the store is faster).
#include <benchmark/benchmark.h>
#include <ini.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "util/ini_file.h"

namespace {

using Lookup = std::pair<std::string, std::string>;

// A file like many projects in one: per section the 256 floor code keys "0x00".."0xFF" with
// short texts, and some option sections of mixed keys.
struct Sample {
  std::string path;
  std::size_t bytes = 0;
  std::vector<Lookup> inFileOrder;
  std::vector<Lookup> shuffled;
};

const Sample& sample() {
  static const Sample made = [] {
    Sample s;
    s.path = (std::filesystem::temp_directory_path() / "tvx880-ini-bench.ini").string();
    std::string text;
    char line[128];
    for (int section = 0; text.size() < 2 * 1024 * 1024; ++section) {
      const std::string name = "FloorCode" + std::to_string(section);
      text += "[" + name + "]\r\n";
      for (int code = 0; code < 256; ++code) {
        char key[8];
        std::snprintf(key, sizeof(key), "0x%02X", code);
        std::snprintf(line, sizeof(line), "%s=%dF,FLOOR_%03d.bmp\r\n", key, code % 100, code);
        text += line;
        s.inFileOrder.emplace_back(name, key);
      }
      const std::string options = "MainOption" + std::to_string(section);
      text += "\r\n[" + options + "]\r\n";
      for (const char* key : {"FL_COLOR", "BK_COLOR", "USE_DATETIME", "NODE_ADDR", "PROTOCOL"}) {
        std::snprintf(line, sizeof(line), "%s=%d\r\n", key, section * 7 % 65536);
        text += line;
        s.inFileOrder.emplace_back(options, key);
      }
      text += "\r\n";
    }
    std::FILE* file = std::fopen(s.path.c_str(), "wb");
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
        std::fclose(file) != 0) {
      std::fprintf(stderr, "cannot write %s\n", s.path.c_str());
      std::exit(1);
    }
    s.bytes = text.size();
    s.shuffled = s.inFileOrder;
    std::shuffle(s.shuffled.begin(), s.shuffled.end(), std::mt19937(880));
    return s;
  }();
  return made;
}

// inih doing the same work: every value kept, found by section and key.
using InihDocument = std::unordered_map<std::string, std::unordered_map<std::string, std::string>>;

int storeInih(void* user, const char* section, const char* name, const char* value) {
  (*static_cast<InihDocument*>(user))[section][name] = value;
  return 1;
}

InihDocument loadInih() {
  InihDocument document;
  if (ini_parse(sample().path.c_str(), storeInih, &document) != 0) {
    std::fprintf(stderr, "inih cannot read %s\n", sample().path.c_str());
    std::exit(1);
  }
  return document;
}

std::string findInih(const InihDocument& document, const Lookup& lookup) {
  const auto section = document.find(lookup.first);
  if (section == document.end()) {
    return {};
  }
  const auto value = section->second.find(lookup.second);
  return value == section->second.end() ? std::string() : value->second;
}

void setLoadCounters(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().bytes));
}

void BM_Load_Store(benchmark::State& state) {
  for (auto _ : state) {
    YVclUtil::TYIniFile ini(sample().path, nullptr, YVclUtil::TYIniAccess::ReadOnly);
    benchmark::DoNotOptimize(&ini);
  }
  setLoadCounters(state);
}

void BM_Load_Inih(benchmark::State& state) {
  for (auto _ : state) {
    InihDocument document = loadInih();
    benchmark::DoNotOptimize(&document);
  }
  setLoadCounters(state);
}

void lookupStore(benchmark::State& state, const std::vector<Lookup>& lookups) {
  const YVclUtil::TYIniFile ini(sample().path, nullptr, YVclUtil::TYIniAccess::ReadOnly);
  std::size_t found = 0;
  for (auto _ : state) {
    for (const Lookup& lookup : lookups) {
      const std::string value = ini.ReadString(lookup.first, lookup.second, std::string());
      found += value.size();
    }
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lookups.size()));
}

void lookupInih(benchmark::State& state, const std::vector<Lookup>& lookups) {
  const InihDocument document = loadInih();
  std::size_t found = 0;
  for (auto _ : state) {
    for (const Lookup& lookup : lookups) {
      found += findInih(document, lookup).size();
    }
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lookups.size()));
}

void BM_LookupInFileOrder_Store(benchmark::State& state) {
  lookupStore(state, sample().inFileOrder);
}
void BM_LookupInFileOrder_Inih(benchmark::State& state) {
  lookupInih(state, sample().inFileOrder);
}
void BM_LookupShuffled_Store(benchmark::State& state) {
  lookupStore(state, sample().shuffled);
}
void BM_LookupShuffled_Inih(benchmark::State& state) {
  lookupInih(state, sample().shuffled);
}

BENCHMARK(BM_Load_Store)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Inih)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupInFileOrder_Store)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupInFileOrder_Inih)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupShuffled_Store)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupShuffled_Inih)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's processor time per iteration (in seconds) for the summary; on a shared
// machine it is steadier than the wall-clock time.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) {
        seconds[run.benchmark_name()] =
            run.cpu_accumulated_time / static_cast<double>(run.iterations);
      }
    }
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const Sample& s = sample();
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::filesystem::remove(s.path);

  const double megabytes = static_cast<double>(s.bytes) / (1024.0 * 1024.0);
  const double lookups = static_cast<double>(s.inFileOrder.size());
  std::printf("\nSample: %.2f MB, %zu keys\n", megabytes, s.inFileOrder.size());
  std::printf("%-24s %14s %14s %8s\n", "", "store", "inih", "ratio");
  const auto line = [&](const char* what, const std::string& name, double scale, const char* unit) {
    const auto store = reporter.seconds.find("BM_" + name + "_Store");
    const auto inih = reporter.seconds.find("BM_" + name + "_Inih");
    if (store == reporter.seconds.end() || inih == reporter.seconds.end()) {
      return;
    }
    std::printf("%-24s %11.3f %-2s %11.3f %-2s %8.2f\n", what, store->second * scale, unit,
                inih->second * scale, unit, store->second / inih->second);
  };
  line("load, per MB", "Load", 1e3 / megabytes, "ms");
  line("lookup, file order", "LookupInFileOrder", 1e9 / lookups, "ns");
  line("lookup, shuffled", "LookupShuffled", 1e9 / lookups, "ns");
  return 0;
}
