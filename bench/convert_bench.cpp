// Speed of the two RGB565 converters on the indicator's screen sizes, and of the whole
// file-to-file conversion beside ImageMagick's Floyd-Steinberg remap to a 5-6-5 palette,
// measured in the same run and printed as ratios at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "image/argb_image.h"
#include "image/error_diffusion.h"
#include "image/little_endian.h"
#include "image/truncate_converter.h"
#include "ratio_reporter.h"

namespace {

// A photograph-like test picture: smooth gradients with a little noise.
std::uint32_t ColourAt(int x, int y, int width, int height, std::mt19937& noise) {
  const int n = static_cast<int>(noise() % 9) - 4;
  const auto clamp = [](int v) {
    return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  };
  return clamp(x * 255 / width + n) << 16 | clamp(y * 255 / height - n) << 8 |
         clamp((x + y) * 127 / (width + height) + 64 + n);
}

tvx::TArgbImage MakePicture(int width, int height) {
  tvx::TArgbImage image(width, height);
  std::mt19937 noise(7);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.SetPixel(x, y, 0xFF000000U | ColourAt(x, y, width, height, noise));
    }
  }
  return image;
}

// The same picture as a plain 24-bit BMP, as paint programs save backgrounds.
std::vector<std::uint8_t> MakeBmp24(int width, int height) {
  tvx::TArgbImage image = MakePicture(width, height);
  const int stride = (width * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride) * height, 0);
  std::uint8_t* p = file.data();
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
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = p + 54 + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t argb = image.Pixel(x, y);
      row[x * 3] = static_cast<std::uint8_t>(argb);
      row[x * 3 + 1] = static_cast<std::uint8_t>(argb >> 8);
      row[x * 3 + 2] = static_cast<std::uint8_t>(argb >> 16);
    }
  }
  return file;
}

const std::filesystem::path& WorkDir() {
  static const std::filesystem::path dir = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("tvx880-convert-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return dir;
}

std::string SourceFile(int width, int height) {
  const auto path =
      WorkDir() / ("source-" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
  if (!std::filesystem::exists(path)) {
    const std::vector<std::uint8_t> bytes = MakeBmp24(width, height);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  return path.string();
}

// Every 5-6-5 colour once, as the palette ImageMagick remaps to.
std::string PaletteFile() {
  const auto path = WorkDir() / "rgb565-palette.ppm";
  if (!std::filesystem::exists(path)) {
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

void SetPixelRate(benchmark::State& state, int width, int height) {
  state.counters["Mpx/s"] =
      benchmark::Counter(width * height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ErrorDiffusionCore(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  tvx::TArgbImage image = MakePicture(width, height);
  std::vector<tvx::Rgb565Pixel> out(static_cast<std::size_t>(width) * height);
  for (auto _ : state) {
    tvx::ErrorDiffuseToRgb565(image.Lock(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  SetPixelRate(state, width, height);
}

void BM_TruncationCore(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::vector<std::uint8_t> source = MakeBmp24(width, height);
  for (auto _ : state) {
    auto out = tvx::TranslateBmpBytesRgb888ToRgb565(source);
    benchmark::DoNotOptimize(out);
  }
  SetPixelRate(state, width, height);
}

void BM_FileToFile_Diffuse(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::string source = SourceFile(width, height);
  const std::string target = (WorkDir() / "diffused.bmp").string();
  for (auto _ : state) {
    tvx::BmpRGB888ToRGB565_ErrorDiffuse_FS(source, target);
  }
  SetPixelRate(state, width, height);
}

void BM_FileToFile_Truncate(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::string source = SourceFile(width, height);
  const std::string target = (WorkDir() / "truncated.bmp").string();
  for (auto _ : state) {
    if (!tvx::Sub2_TranslateRgb888ToRgb565(source, target)) {
      state.SkipWithError("the truncating converter refused the picture");
      break;
    }
  }
  SetPixelRate(state, width, height);
}

void BM_FileToFile_ImageMagickRemap(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::string command =
      "convert '" + SourceFile(width, height) + "' -dither FloydSteinberg -remap '" +
      PaletteFile() + "' -define bmp:subtype=RGB565 'BMP:" + (WorkDir() / "magick.bmp").string() +
      "' 2>/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("ImageMagick's convert is not available");
      break;
    }
  }
  SetPixelRate(state, width, height);
}

#define TVX_SCREEN_SIZES \
  ->Args({240, 320})->Args({320, 240})->Unit(benchmark::kMicrosecond)->UseRealTime()

BENCHMARK(BM_ErrorDiffusionCore) TVX_SCREEN_SIZES;
BENCHMARK(BM_TruncationCore) TVX_SCREEN_SIZES;
BENCHMARK(BM_FileToFile_Diffuse) TVX_SCREEN_SIZES;
BENCHMARK(BM_FileToFile_Truncate) TVX_SCREEN_SIZES;
BENCHMARK(BM_FileToFile_ImageMagickRemap) TVX_SCREEN_SIZES->Iterations(5);

void printRatios(const RatioReporter& reporter) {
  std::printf("\nImageMagick Floyd-Steinberg remap time / tvx880 time (file to file):\n");
  for (const std::string size : {"240/320", "320/240"}) {
    const double magick = reporter.time("BM_FileToFile_ImageMagickRemap/" + size);
    const double diffuse = reporter.time("BM_FileToFile_Diffuse/" + size);
    const double truncate = reporter.time("BM_FileToFile_Truncate/" + size);
    if (magick == 0 || diffuse == 0 || truncate == 0) {
      std::printf("  %s: not measured\n", size.c_str());
      continue;
    }
    std::printf("  %s: error diffusion %.1fx faster, truncation %.1fx faster\n", size.c_str(),
                magick / diffuse, magick / truncate);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printRatios(reporter);
  std::error_code ignored;
  std::filesystem::remove_all(WorkDir(), ignored);
  benchmark::Shutdown();
  return 0;
}
