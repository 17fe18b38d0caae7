// The byte stream the virtual indicator receives: any bytes, cut into reads of any size.
#include <cstddef>
#include <cstdint>

#include "upload/upload_header.h"
#include "upload/upload_stream_checker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= tvx::kUploadHeaderBytes) {
    (void)tvx::ParseUploadHeader(
        std::span<const std::uint8_t, tvx::kUploadHeaderBytes>(data, tvx::kUploadHeaderBytes));
  }
  if (size == 0) {
    return 0;
  }
  // The first byte picks the size of the reads.
  const std::size_t piece = 1 + data[0] * 37u;
  ++data;
  --size;
  tvx::UploadStreamChecker checker([](const std::string&) {});
  for (std::size_t at = 0; at < size; at += piece) {
    checker.feed(data + at, size - at < piece ? size - at : piece);
  }
  const tvx::UploadTransferSummary summary = checker.finish();
  if (summary.bytesReceived != size) {
    __builtin_trap();
  }
  (void)summary.describe();
  return 0;
}
