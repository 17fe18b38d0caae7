#include "app/build_driver.h"

#include "app/build_summary.h"
#include "check/check_project.h"
#include "project/choices.h"
#include "project/paths.h"
#include "project/project_file.h"
#include "rom/build_texts.h"
#include "rom/config_block.h"
#include "rom/glb_builder.h"
#include "rom/resource_list.h"
#include "rom/resource_plan.h"
#include "rom/rom_image.h"
#include "rom/scratch_folder.h"
#include "util/printf_format.h"
#include "util/text_encoding.h"

namespace tvx {

namespace {

bool hasFloorCodes(const Project& project) {
  for (const std::string& text : project.FloorTable) {
    if (!IsBlank(text)) {
      return true;
    }
  }
  return false;
}

constexpr BilingualText kCheckCounts{"建置前檢查: 錯誤 %d 個, 警告 %d 個",
                                     "Pre-flight check: errors: %d, warnings: %d"};
constexpr BilingualText kBuildAnyway{"; 使用者選擇仍然建置", "; the user chose to build anyway"};
constexpr BilingualText kBuildCancelled{"; 已取消建置, 未儲存也未建置任何檔案",
                                        "; build cancelled, nothing saved or built"};

constexpr BilingualText kBuiltWithChanges{"本次建置套用 %s; 專案檔不儲存也不變更",
                                          "Built with %s; the project file is neither saved nor "
                                          "changed"};

BuildResult stopped(BuildOutcome outcome) {
  BuildResult result;
  result.outcome = outcome;
  return result;
}

// Hourglass for as long as it lives.
class BusyCursor {
 public:
  explicit BusyCursor(BuildHost& host) : m_host(host) { m_host.setBusy(true); }
  ~BusyCursor() { m_host.setBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  BuildHost& m_host;
};

}  // namespace

std::string RomImagePathForProject(const std::string& projectPath) {
  return ChangeFileExt(projectPath, ".BIN");
}

BuildDriver::BuildDriver(Studio& studio, BuildHost& host)
    : m_studio(studio), m_host(host), m_clock(SystemBuildClock()) {}

BuildResult BuildDriver::BuildAndUpload() {
  m_studio.log().clear();
  m_host.repaint();
  if (m_host.uploadOnlyChecked()) {
    m_host.runUploadOnly();
    return stopped(BuildOutcome::kUploadOnly);
  }
  Result<BuildResult> built = buildCatching();
  if (!built) {
    BuildResult failed = stopped(BuildOutcome::kFailed);
    failed.error = std::move(built).error();
    m_studio.host().showMessage(kProjectMessageCaption,
                                ErrorText(*failed.error, m_studio.language()));
    return failed;
  }
  BuildResult result = std::move(built).value();
  if (result.outcome == BuildOutcome::kBuilt) {
    m_host.trace("+Do upload function");
    m_host.startUpload(result.romImagePath);
  }
  return result;
}

Result<BuildResult> BuildDriver::buildCatching() {
  try {
    return build();
  } catch (const std::exception& error) {
    return Error::Invalid({}, error.what());
  }
}

Result<BuildResult> BuildDriver::build() {
  const BuildReporter reporter(
      m_studio.language(), [this](const std::string& line) { m_studio.log().add(line); },
      [this](const std::string& text) { m_host.trace(text); });
  Project& project = m_studio.project();
  const ProgramState& state = m_studio.state();

  if (!hasFloorCodes(project)) {
    reporter.log(build_text::kUndefinedFloorCode);
    return stopped(BuildOutcome::kNoFloorCodes);
  }
  CheckOptions checkOptions;
  checkOptions.userTextToUtf8 = [this](std::string_view text) { return m_host.quotedText(text); };
  CheckReport check = CheckProject(project, state, checkOptions);
  if (check.errors() + check.warnings() > 0) {
    const bool anyway = m_host.buildDespite(check);
    reporter.log(YVclUtil::FormatPrintf(reporter.pick(kCheckCounts).c_str(), check.errors(),
                                        check.warnings()) +
                 reporter.pick(anyway ? kBuildAnyway : kBuildCancelled));
    if (!anyway) {
      return stopped(BuildOutcome::kCheckRefused);
    }
  }
  // Planned before the build clears the cells that name no picture.
  const ResourcePlan plan = PlanResources(project, state);
  reporter.log(build_text::kMake);
  if (m_unsavedChanges) {
    reporter.log(FillIn(reporter.pick(kBuiltWithChanges), {*m_unsavedChanges}));
    RecomputeForSave(project, state);
  } else {
    reporter.log(build_text::kForceSave);
    const std::optional<std::string> projectPath = m_studio.chooseProjectToSave();
    if (!projectPath || !m_studio.SaveProject(*projectPath)) {
      reporter.log(build_text::kNoProjectSaved);
      return stopped(BuildOutcome::kNotSaved);
    }
    m_host.repaint();
  }
  const std::string romImagePath =
      m_romImagePath.value_or(RomImagePathForProject(project.ProjectPath));

  Result<ScratchFolder> scratchFolder = ScratchFolder::Create(m_scratchParent);
  if (!scratchFolder) {
    return std::move(scratchFolder).error();
  }
  const ScratchFolder& scratch = *scratchFolder;
  const std::string listPath = scratch.file(kResourceListFileName);
  Result<ResourceListResult> written =
      WriteResourceList(listPath, scratch.file(kGlbTempFileName), project, state, reporter);
  if (!written) {
    return std::move(written).error();
  }
  ResourceListResult& list = *written;
  if (!list.written) {
    return stopped(BuildOutcome::kMissingArrow);
  }
  if (project.AUTOSLIDESHOW == kSlideshowFixedPicture0) {
    list.tables.backgrounds.fill(0);
  }

  reporter.trace("+Do MakeGLB()");
  GlbOptions options;
  options.library = state.LibraryImage;
  options.workFolder = scratch.path();
  options.sizeLimit = state.settings.romImageSize() - kConfigBlockSize;
  Result<GlbResult> assembled = [&] {
    const BusyCursor busy(m_host);
    return MakeGLB(listPath, options, reporter);
  }();
  if (!assembled) {
    return std::move(assembled).error();
  }
  const GlbResult& glb = *assembled;
  m_checks = glb.checks;
  if (!glb.written) {
    reporter.log(build_text::kOutOfMemory);
    return stopped(BuildOutcome::kOutOfMemory);
  }

  reporter.trace("+Make CFB file");
  const Result<BuildTime> now = m_clock();
  if (!now) {
    return now.error();
  }
  const ConfigBlock block = MakeConfigBlock(
      project, {state.settings, list.tables, list.backgroundSequence, m_checks, *now});

  reporter.trace("+Create ROM image file");
  const Result<RomImageResult> image =
      MakeRomImage(glb.glbPath, block, state.settings, romImagePath, reporter);
  if (!image) {
    return image.error();
  }
  BuildResult result;
  result.memoryUsed = image->memoryUsed;
  if (!image->written) {
    result.outcome = BuildOutcome::kOutOfMemory;
    return result;
  }
  const BuildSummary summary = SummariseBuild(plan, m_checks, check, state);
  reporter.log(BuildSummaryLine(summary, reporter.lang()));
  result.outcome = BuildOutcome::kBuilt;
  result.romImagePath = romImagePath;
  result.resourcesStored = summary.stored;
  result.slotsLeftEmpty = static_cast<int>(summary.empty.size());
  return result;
}

}  // namespace tvx
