#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The console report, keeping the real time per iteration of every run by its name and
// arguments ("BM_X" or "BM_X/240/320", without "/iterations:..." and "/real_time"), so that a
// benchmark can print ratios against its peers.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
        const std::string& args = run.run_name.args;
        m_seconds[run.run_name.function_name + (args.empty() ? "" : "/" + args)] =
            run.GetAdjustedRealTime();
      }
    }
  }

  // The real time of a run, 0 when it did not run or failed.
  double time(const std::string& name) const {
    const auto found = m_seconds.find(name);
    return found == m_seconds.end() ? 0.0 : found->second;
  }

 private:
  std::map<std::string, double> m_seconds;
};
