// End-to-end speed of "Build and upload" up to the written ROM image: the largest project that
// fits a 64 Mb indicator (every floor character, all messages and date pictures, code-table
// pictures and as many 240 x 320 and 320 x 240 backgrounds as the 8 MiB budget takes), and the
// same project with twice the backgrounds, which the pre-flight check must refuse from the
// pictures' headers, before anything is converted. Measured in the same run: the
// I/O floor (reading every input picture and writing an image of the same size) and ImageMagick
// converting the same pictures with one process per picture. Ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/build_driver.h"
#include "app/program_home.h"
#include "app/studio.h"
#include "image/little_endian.h"
#include "project/catalogue.h"
#include "ratio_reporter.h"
#include "util/file_replace.h"

namespace {

namespace fs = std::filesystem;
using tvx::BuildOutcome;

constexpr int kCodeTablePictures = 8;

// A photograph-like 24-bit BMP: gradients with a little noise.
std::string MakeBmp24(int width, int height, unsigned seed) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string file(54 + static_cast<std::size_t>(stride) * height, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(file.data());
  p[0] = 'B';
  p[1] = 'M';
  tvx::PutU32(p + 2, static_cast<std::uint32_t>(file.size()));
  tvx::PutU32(p + 10, 54);
  tvx::PutU32(p + 14, 40);
  tvx::PutU32(p + 18, static_cast<std::uint32_t>(width));
  tvx::PutU32(p + 22, static_cast<std::uint32_t>(height));
  tvx::PutU16(p + 26, 1);
  tvx::PutU16(p + 28, 24);
  tvx::PutU32(p + 34, static_cast<std::uint32_t>(stride * height));
  std::mt19937 noise(seed);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = p + 54 + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      const int n = static_cast<int>(noise() % 9) - 4;
      const auto clamp = [](int v) {
        return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      };
      row[x * 3] = clamp(x * 255 / width + n + static_cast<int>(seed % 32));
      row[x * 3 + 1] = clamp(y * 255 / height - n);
      row[x * 3 + 2] = clamp((x + y) * 127 / (width + height) + 64 + n);
    }
  }
  return file;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A program home with every picture the largest build uses, and the pictures' list.
class BenchHome {
 public:
  BenchHome() {
    m_root = fs::temp_directory_path() / ("tvx880-build-bench-" + std::to_string(::getpid()));
    m_dir = m_root.string() + "/home/";
    const tvx::Result<std::string> shipped = tvx::FindProgramDir(std::nullopt);
    WriteFile(m_dir + "DPW880.INI",
              "[Option]\r\nLANG=0\r\nMEM=64\r\nOEM=STEP\r\n\r\n[LiftMsg]\r\nUsed=0\r\n\r\n");
    if (shipped) {
      fs::copy_file(*shipped + "T880_PCGLB.GLB", m_dir + "T880_PCGLB.GLB");
    }
    unsigned seed = 1;
    const std::string catalogue = m_dir + "DefaultImageR1/";
    for (const char* kind : {"UP0", "UP1", "DN0", "DN1"}) {
      picture(catalogue + "UserDefine/DIR/Style0/DIR_" + kind + "_104x128.bmp", 104, 128, seed++);
    }
    char name[32];
    for (int code = 0x21; code <= 0x7E; ++code) {
      std::snprintf(name, sizeof name, "0x%02X.bmp", static_cast<unsigned>(code));
      picture(catalogue + "UserDefine/Floor/Style0/" + name, 48, 64, seed++);
    }
    for (int i = 1; i <= kCodeTablePictures; ++i) {
      std::snprintf(name, sizeof name, "PIC%02d.bmp", i);
      picture(catalogue + "UserDefine/Floor/Style0/" + name, 160, 80, seed++);
    }
    for (int row = 0; row < tvx::kLiftStateRowCount; ++row) {
      for (int column = 0; column < tvx::kLiftStateColumnCount; ++column) {
        picture(catalogue + "LiftState/" + tvx::DefaultLiftStateFileName(row, column), 240, 48,
                seed++);
      }
    }
    for (const char* day : {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN", "JAN", "FEB", "MAR",
                            "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"}) {
      picture(catalogue + "UserDefine/DateTime/EN/" + day + "_EN_80x40.bmp", 80, 40, seed++);
    }
    for (int i = 0; i < 128; ++i) {
      m_backgrounds.push_back(catalogue + "Background/" + (i % 2 == 0 ? "V/bg" : "H/bg") +
                              std::to_string(i) + ".bmp");
      WriteFile(m_backgrounds.back(),
                i % 2 == 0 ? MakeBmp24(240, 320, seed) : MakeBmp24(320, 240, seed));
      ++seed;
    }
  }
  ~BenchHome() {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
  }

  const std::string& dir() const { return m_dir; }
  fs::path work() const { return m_root / "work"; }
  // Pictures other than backgrounds, and the first n backgrounds.
  const std::vector<std::string>& pictures() const { return m_pictures; }
  std::vector<std::string> backgrounds(std::size_t n) const {
    return {m_backgrounds.begin(), m_backgrounds.begin() + static_cast<std::ptrdiff_t>(n)};
  }

 private:
  void picture(const std::string& path, int width, int height, unsigned seed) {
    WriteFile(path, MakeBmp24(width, height, seed));
    m_pictures.push_back(path);
  }

  fs::path m_root;
  std::string m_dir;
  std::vector<std::string> m_pictures;
  std::vector<std::string> m_backgrounds;
};

// The command line's strict build: anything the pre-flight check finds stops it.
class NoUpload : public tvx::BuildHost {
 public:
  void startUpload(const std::string&) override {}
  bool buildDespite(const tvx::CheckReport&) override { return false; }
};

// One build of the design with the first n backgrounds (vertical and horizontal in turn).
tvx::BuildResult Build(const BenchHome& home, std::size_t backgrounds) {
  tvx::StderrHost quiet;
  tvx::Studio studio(home.dir(), &quiet);
  studio.StartUp();
  tvx::Project& project = studio.project();
  project.FloorTable.fill("");
  int code = 0;
  for (int c = 0x21; c + 1 <= 0x7E; c += 2) {
    project.FloorTable[code++] = std::string{static_cast<char>(c), static_cast<char>(c + 1)};
  }
  char name[16];
  for (int i = 1; i <= kCodeTablePictures; ++i) {
    std::snprintf(name, sizeof name, "PIC%02d", i);
    project.FloorTable[code++] = name;
  }
  project.USE_BACKGROUNDBMP = 1;
  const std::vector<std::string> pictures = home.backgrounds(backgrounds);
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    (i % 2 == 0 ? project.UserBkGndImage : project.UserBkGndImage2)[i / 2] = pictures[i];
  }
  tvx::ScriptedHost dialogs;
  dialogs.answerSaveFile((home.work() / "bench.ql3").string());
  studio.setHost(&dialogs);
  NoUpload upload;
  tvx::BuildDriver driver(studio, upload);
  driver.setClock([] { return tvx::BuildTime{2013, 3, 6, 14, 5, 9}; });
  return driver.BuildAndUpload();
}

BenchHome& Home() {
  static BenchHome home;
  fs::create_directories(home.work());
  return home;
}

// As many backgrounds as the 8 MiB image takes beside everything else.
std::size_t FittingBackgrounds() {
  static const std::size_t count = [] {
    const tvx::BuildResult bare = Build(Home(), 0);
    const std::size_t perBackground = 66 + 240 * 320 * 2;
    return std::min<std::size_t>(128, (8388608 - bare.memoryUsed) / perBackground);
  }();
  return count;
}

void BM_LargestBuild(benchmark::State& state) {
  const std::size_t backgrounds = FittingBackgrounds();
  for (auto _ : state) {
    const tvx::BuildResult result = Build(Home(), backgrounds);
    if (result.outcome != BuildOutcome::kBuilt) {
      state.SkipWithError("the largest build did not fit");
      break;
    }
    state.counters["MiB used"] = static_cast<double>(result.memoryUsed) / 1048576.0;
  }
  state.counters["backgrounds"] = static_cast<double>(backgrounds);
  state.counters["pictures"] = static_cast<double>(Home().pictures().size() + backgrounds);
}

void BM_OverflowingBuild(benchmark::State& state) {
  const std::size_t backgrounds = std::min<std::size_t>(128, FittingBackgrounds() * 2);
  for (auto _ : state) {
    if (Build(Home(), backgrounds).outcome != BuildOutcome::kCheckRefused) {
      state.SkipWithError("the overflowing build was not refused by the check");
      break;
    }
  }
  state.counters["backgrounds"] = static_cast<double>(backgrounds);
}

// Reads every input picture of the largest build and writes an 8 MiB image: plainly, or the
// way the build replaces an image (temporary file flushed to the disk, then renamed).
void IoFloor(benchmark::State& state, bool durable) {
  std::vector<std::string> files = Home().pictures();
  const std::vector<std::string> backgrounds = Home().backgrounds(FittingBackgrounds());
  files.insert(files.end(), backgrounds.begin(), backgrounds.end());
  const fs::path image = Home().work() / "floor.BIN";
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const std::string& file : files) {
      bytes += ReadFile(file).size();
    }
    const std::string out(8388608, static_cast<char>(bytes));
    if (durable) {
      if (!YVclUtil::ReplaceFileContents(image.string(), out)) {
        state.SkipWithError("the image could not be written");
        break;
      }
    } else {
      std::FILE* f = std::fopen(image.c_str(), "wb");
      std::fwrite(out.data(), 1, out.size(), f);
      std::fclose(f);
    }
  }
}

void BM_IoFloorPlainWrite(benchmark::State& state) {
  IoFloor(state, false);
}

void BM_IoFloorDurableWrite(benchmark::State& state) {
  IoFloor(state, true);
}

// Every 5-6-5 colour once, as the palette ImageMagick remaps backgrounds to.
std::string PaletteFile() {
  const fs::path path = Home().work() / "rgb565-palette.ppm";
  if (!fs::exists(path)) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n256 256\n255\n";
    for (unsigned v = 0; v < 65536; ++v) {
      const char rgb[3] = {static_cast<char>((v >> 11) << 3),
                           static_cast<char>(((v >> 5) & 0x3F) << 2),
                           static_cast<char>((v & 0x1F) << 3)};
      out.write(rgb, 3);
    }
  }
  return path.string();
}

// ImageMagick, one process per picture: backgrounds with Floyd-Steinberg onto the 5-6-5
// palette, everything else straight to 5-6-5.
void BM_ImageMagickPerPicture(benchmark::State& state) {
  const std::string out = (Home().work() / "magick.bmp").string();
  const std::string palette = PaletteFile();
  std::vector<std::string> commands;
  for (const std::string& picture : Home().pictures()) {
    commands.push_back("convert '" + picture + "' -define bmp:subtype=RGB565 'BMP:" + out +
                       "' 2>/dev/null");
  }
  for (const std::string& picture : Home().backgrounds(FittingBackgrounds())) {
    commands.push_back("convert '" + picture + "' -dither FloydSteinberg -remap '" + palette +
                       "' -define bmp:subtype=RGB565 'BMP:" + out + "' 2>/dev/null");
  }
  for (auto _ : state) {
    for (const std::string& command : commands) {
      if (std::system(command.c_str()) != 0) {
        state.SkipWithError("ImageMagick's convert is not available");
        return;
      }
    }
  }
  state.counters["processes"] = static_cast<double>(commands.size());
}

BENCHMARK(BM_LargestBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_OverflowingBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_IoFloorPlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_IoFloorDurableWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_ImageMagickPerPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Ratios (real time) of the runs against their peers.
void printBuildRatios(const RatioReporter& reporter) {
  const double build = reporter.time("BM_LargestBuild");
  const double overflow = reporter.time("BM_OverflowingBuild");
  const double plain = reporter.time("BM_IoFloorPlainWrite");
  const double durable = reporter.time("BM_IoFloorDurableWrite");
  const double magick = reporter.time("BM_ImageMagickPerPicture");
  std::printf("\nRatios (real time):\n");
  if (build > 0 && plain > 0 && durable > 0) {
    std::printf("  largest build / I/O floor (plain write):   %.2fx\n", build / plain);
    std::printf("  largest build / I/O floor (durable write): %.2fx\n", build / durable);
  }
  if (overflow > 0 && build > 0) {
    std::printf("  overflowing build (refused by the check) / largest build: %.3fx (aim < 0.2x)\n",
                overflow / build);
  }
  if (magick > 0 && build > 0) {
    std::printf("  ImageMagick one process per picture / largest build: %.1fx\n", magick / build);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printBuildRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
