#pragma once

#include <string>
#include <vector>

#include "app/build_driver.h"

namespace tvx::test {

// A build host that records what the build asked of the window.
class RecordingBuildHost : public BuildHost {
 public:
  bool uploadOnlyChecked() const override { return uploadOnly; }
  void runUploadOnly() override { ++uploadOnlyRuns; }
  void startUpload(const std::string& romImagePath) override { uploads.push_back(romImagePath); }
  void trace(const std::string& text) override { traces.push_back(text); }
  void repaint() override { ++repaints; }
  void setBusy(bool busy) override { busyChanges.push_back(busy); }

  bool uploadOnly = false;
  int uploadOnlyRuns = 0;
  int repaints = 0;
  std::vector<std::string> uploads;
  std::vector<std::string> traces;
  std::vector<bool> busyChanges;
};

}  // namespace tvx::test
