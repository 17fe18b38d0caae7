#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/studio.h"
#include "check/check_report.h"
#include "rom/build_clock.h"
#include "rom/rom_layout.h"
#include "util/result.h"
#include "util/text_encoding.h"

// "Build and upload": the project becomes a ROM image ".BIN" beside the project file, which is
// then handed to the upload. Runs on the user-interface thread, one step after the other; the
// build log shows progress in the chosen language.
namespace tvx {

// What the build needs from the window (or the command line) beyond the studio, whose log,
// project, settings, library and dialogs it uses.
class BuildHost {
 public:
  virtual ~BuildHost() = default;
  // The upload-only box ("僅連線上傳"): when ticked the build is left out.
  virtual bool uploadOnlyChecked() const { return false; }
  // The upload-only branch: pick an existing ".BIN", check it and upload it.
  virtual void runUploadOnly() {}
  // The hand-over: upload the ROM image just written.
  virtual void startUpload(const std::string& romImagePath) = 0;
  // The build's trace texts; dropped unless a host wants them.
  virtual void trace(const std::string& /*text*/) {}
  // Redraw the window now (after the log is emptied and after the project is saved).
  virtual void repaint() {}
  // The hourglass cursor while pictures are converted.
  virtual void setBusy(bool /*busy*/) {}
  // The pre-flight check found errors or warnings, before anything was saved or built: true
  // builds anyway (the indicator then gets what the build can make), false stops. Without an
  // answer the build goes on.
  virtual bool buildDespite(const CheckReport& /*report*/) { return true; }
  // How the check's findings quote the project's texts: in UTF-8 for the window.
  virtual std::string quotedText(std::string_view text) const { return TextAsUtf8(text); }
};

enum class BuildOutcome {
  kUploadOnly,    // the upload-only branch ran instead
  kNoFloorCodes,  // "Undefine floor code!!"
  kCheckRefused,  // the pre-flight check found something and the host chose not to build
  kNotSaved,      // the save question was cancelled or the project could not be saved
  kMissingArrow,  // a direction arrow picture is missing
  kOutOfMemory,   // the resources do not fit the indicator's memory
  kFailed,        // an error ended the build; it was shown
  kBuilt,         // the image was written and handed to the upload
};

struct BuildResult {
  BuildOutcome outcome = BuildOutcome::kFailed;
  std::string romImagePath;    // kBuilt: the image written
  std::optional<Error> error;  // kFailed: what ended the build (its text was shown)
  std::uint64_t memoryUsed = 0;
  // kBuilt: resources stored and slots left empty.
  int resourcesStored = 0;
  int slotsLeftEmpty = 0;
};

class BuildDriver {
 public:
  // Both must outlive the driver.
  BuildDriver(Studio& studio, BuildHost& host);

  // The date and time stamped into the image (SystemBuildClock() unless replaced).
  void setClock(BuildClock clock) { m_clock = std::move(clock); }
  // Where the image goes instead of beside the project file (nothing: beside it).
  void setRomImagePath(std::optional<std::string> path) { m_romImagePath = std::move(path); }
  // Builds the project as it is in memory and leaves its file alone: the save is left out and
  // the log names the changes (the settings a script applied to the loaded project) instead.
  void setUnsavedChanges(std::string changes) { m_unsavedChanges = std::move(changes); }
  // Where the build's private temporary folder is made (empty: the system's temporary folder).
  void setScratchParent(std::string folder) { m_scratchParent = std::move(folder); }

  // The build page's action: empties the log, refuses an empty floor code table, runs the
  // pre-flight check (and asks the host when it finds something), asks where to save the project
  // and saves it, writes the resource list, assembles the GLB, makes the configuration block
  // and the ROM image, logs the summary, and hands the image to the upload. Each stop is logged
  // (or, for errors, shown) and leaves nothing behind but the saved project.
  BuildResult BuildAndUpload();

  // CRC and size of every resource of the last assembled GLB.
  const ResourceChecks& resourceChecks() const { return m_checks; }

 private:
  // The build's steps; an error ends it. The libraries' own exceptions (the INI store's, for
  // one) end it too, with their text.
  Result<BuildResult> buildCatching();
  Result<BuildResult> build();

  Studio& m_studio;
  BuildHost& m_host;
  BuildClock m_clock;
  std::optional<std::string> m_romImagePath;
  std::optional<std::string> m_unsavedChanges;
  std::string m_scratchParent;
  ResourceChecks m_checks{};
};

// The ROM image path of a project file: its extension replaced by ".BIN".
std::string RomImagePathForProject(const std::string& projectPath);

}  // namespace tvx
