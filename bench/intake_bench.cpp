// Speed of taking a camera's photograph into a slot: a 4000 x 3000 JPEG decoded, fitted to a
// 240 x 320 background and written as the BMP the converters take, against ImageMagick's
// "convert -resize 240x320" of the same file in the same run. The ratio is printed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/normalised_bmp.h"
#include "image/picture_decoder.h"
#include "image/picture_fit.h"
#include "image/picture_import.h"
#include "ratio_reporter.h"

namespace {

namespace fs = std::filesystem;

// A photograph-like JPEG, made once per run by ImageMagick.
const std::string& Photo() {
  static const std::string path = [] {
    const fs::path folder =
        fs::temp_directory_path() / ("tvx880-intake-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string file = (folder / "photo.jpg").string();
    const std::string command =
        "convert -size 4000x3000 -seed 7 plasma:fractal -blur 0x2 -quality 90 '" + file + "'";
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "ImageMagick's convert could not make the photograph\n");
      std::exit(1);
    }
    return file;
  }();
  return path;
}

std::string OutputPath() {
  return (fs::path(Photo()).parent_path() / "out.bmp").string();
}

void BM_IntakeJpegToBackground(benchmark::State& state) {
  const tvx::ImportRequest request{tvx::PictureSlot::kBackgroundVertical};
  for (auto _ : state) {
    tvx::Result<tvx::TArgbImage> picture = tvx::ImportPicture(Photo(), request);
    if (!picture || !tvx::WriteNormalisedBmp(*picture, OutputPath())) {
      state.SkipWithError("the photograph was not taken in");
      break;
    }
  }
}

// The same with the whole photograph decoded first: what the fit alone would cost.
void BM_IntakeJpegFullDecode(benchmark::State& state) {
  for (auto _ : state) {
    tvx::Result<tvx::TArgbImage> decoded = tvx::DecodePictureFile(Photo());
    if (!decoded) {
      state.SkipWithError("the photograph was not decoded");
      break;
    }
    const tvx::TArgbImage fitted = tvx::FitPicture(*decoded, 240, 320);
    if (!tvx::WriteNormalisedBmp(fitted, OutputPath())) {
      state.SkipWithError("the picture was not written");
      break;
    }
  }
}

void BM_ImageMagickResize(benchmark::State& state) {
  const std::string command =
      "convert '" + Photo() + "' -resize 240x320 'BMP3:" + OutputPath() + "' 2>/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("ImageMagick's convert failed");
      break;
    }
  }
}

BENCHMARK(BM_IntakeJpegToBackground)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_IntakeJpegFullDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ImageMagickResize)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Ratios (real time) of the runs against their peers.
void printIntakeRatios(const RatioReporter& reporter) {
  const double intake = reporter.time("BM_IntakeJpegToBackground");
  const double full = reporter.time("BM_IntakeJpegFullDecode");
  const double magick = reporter.time("BM_ImageMagickResize");
  std::printf("\nRatios (real time):\n");
  if (intake > 0 && magick > 0) {
    std::printf("  ImageMagick convert -resize / intake: %.1fx faster (aim: at least 5x)\n",
                magick / intake);
  }
  if (full > 0 && magick > 0) {
    std::printf("  ImageMagick convert -resize / intake decoding at full size: %.1fx\n",
                magick / full);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Photo();  // made before anything is timed
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printIntakeRatios(reporter);
  benchmark::Shutdown();
  fs::remove_all(fs::path(Photo()).parent_path());
  return 0;
}
