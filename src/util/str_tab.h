#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace YVclUtil {

class TYStrTab;

// Geometry of the pool. Links are 8 bytes wide on 64-bit, so a slot is 64 bytes and a block of
// 256 slots is 16 KiB; the counts the document code relies on stay: 27 text bytes per cell,
// 255 cells per block, slot 0 of each block is its header.
inline constexpr std::size_t kStrTabSlotSize = 64;
inline constexpr std::size_t kStrTabSlotsPerBlock = 256;
inline constexpr std::size_t kStrTabBlockSize = kStrTabSlotSize * kStrTabSlotsPerBlock;
inline constexpr std::uint32_t kStrTabCellsPerBlock = kStrTabSlotsPerBlock - 1;
inline constexpr std::size_t kStrTabCellTextSize = 27;

// One cell: a piece of a string of up to 27 bytes, chained to the next piece. A free cell has
// Length 0 and Next links the block's free cells.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the library's own record name
struct _YSTRTABCELL {
  _YSTRTABCELL* Next;
  std::uint8_t Length;
  char Text[kStrTabCellTextSize];
  // Only used by raw allocations (TYStrTab::malloc), which start at Length.
  unsigned char Spare[kStrTabSlotSize - sizeof(void*) - 1 - kStrTabCellTextSize];
};
static_assert(sizeof(_YSTRTABCELL) == kStrTabSlotSize);

// Bytes of raw memory TYStrTab::malloc hands out: from a cell's Length field to the slot's end.
inline constexpr std::size_t kStrTabRawSize = kStrTabSlotSize - sizeof(void*);

// Slot 0 of a block.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the library's own record name
struct _YSTRTABMEMBLOCK {
  TYStrTab* Owner;
  _YSTRTABMEMBLOCK* PrevBlock;
  _YSTRTABMEMBLOCK* NextBlock;
  _YSTRTABMEMBLOCK* PrevFreeBlock;
  _YSTRTABMEMBLOCK* NextFreeBlock;
  std::uint32_t FreeCells;
  _YSTRTABCELL* FreeList;
};
static_assert(sizeof(_YSTRTABMEMBLOCK) <= kStrTabSlotSize);

// A pool of byte strings kept as chains of fixed-size cells in page-allocated blocks aligned on
// their own size. Strings cost no heap call each, a block is released as soon as it is entirely
// free, and the whole pool is released block by block. Released blocks wait in a process-wide
// cache of up to 32 MiB for the next pool before they go back to the system. A pool is used by
// one thread at a time.
class TYStrTab {
 public:
  TYStrTab() = default;
  ~TYStrTab();
  TYStrTab(const TYStrTab&) = delete;
  TYStrTab& operator=(const TYStrTab&) = delete;

  // Stores a zero-terminated text, or length bytes; the string's first cell, or null for a null
  // or empty text. Raises EYGeneral when no block can be obtained (the pool is then unchanged).
  _YSTRTABCELL* Add(const char* text);
  _YSTRTABCELL* Add(const char* text, std::size_t length);
  _YSTRTABCELL* Add(std::string_view text) { return Add(text.data(), text.size()); }

  // Copies the string and a zero byte into buffer. With limit not 0 the copy fails as soon as
  // the running length reaches limit (at most limit - 1 bytes and the zero fit). Fails also for
  // an empty pool, a null cell or buffer, or a cell of another pool.
  bool Get(const _YSTRTABCELL* cell, char* buffer, std::uint32_t limit = 0) const;
  bool Get(const _YSTRTABCELL* cell, char* buffer, std::uint32_t* length,
           std::uint32_t limit) const;
  // The same into a text (no zero byte appended); the text is emptied on failure.
  bool Get(const _YSTRTABCELL* cell, std::string& text, std::size_t limit = 0) const;

  // The stored string equals text; false also under the conditions that make Get fail.
  bool Compare(const _YSTRTABCELL* cell, const char* text) const;
  bool Compare(const _YSTRTABCELL* cell, std::string_view text) const;

  // Releases the whole chain starting at cell; false under the conditions that make Get fail.
  bool Delete(_YSTRTABCELL* cell);
  // Returns every block to the system and resets all counters.
  void DeleteAll();

  // 1 to kStrTabRawSize bytes of raw memory inside one cell (a stored one-byte string "?"
  // whose memory from its Length field on is handed out), 8-byte aligned; null for any other
  // size. free releases it.
  void* malloc(std::size_t size);
  bool free(void* memory);

  // Obtains one block and puts it on both lists; raises EYGeneral on failure.
  _YSTRTABMEMBLOCK* AllocateMemBlock();
  // Returns an entirely free block of this pool to the system; false for anything else.
  bool FreeMemBlock(_YSTRTABMEMBLOCK* block);

  std::uint32_t pr_BlockCount() const { return BlockCount; }
  std::uint32_t pr_StringCount() const { return StringCount; }
  std::uint32_t pr_FreeBlockCount() const { return FreeBlockCount; }
  std::uint32_t pr_FreeCellCount() const { return FreeCellCount; }
  // Heads of the all-blocks list (newest first) and of the free-space list.
  const _YSTRTABMEMBLOCK* pr_Blocks() const { return Blocks; }
  const _YSTRTABMEMBLOCK* pr_FreeBlocks() const { return FreeBlocks; }

  // The block a cell lies in.
  static _YSTRTABMEMBLOCK* BlockOf(const void* cell);

 private:
  bool isOwnCell(const _YSTRTABCELL* cell) const;
  _YSTRTABCELL* takeFreeCell();
  void unlinkFromFreeList(_YSTRTABMEMBLOCK* block);

  std::uint32_t BlockCount = 0;
  _YSTRTABMEMBLOCK* Blocks = nullptr;
  std::uint32_t StringCount = 0;
  _YSTRTABMEMBLOCK* FreeBlocks = nullptr;
  std::uint32_t FreeBlockCount = 0;
  std::uint32_t FreeCellCount = 0;
  // Tail of the free-space list, where new blocks are appended.
  _YSTRTABMEMBLOCK* FreeBlocksTail = nullptr;
};

}  // namespace YVclUtil
