#include "util/str_tab.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <vector>

#include "util/ey_general.h"
#include "util/messages.h"
#include "util/virtual_mem.h"

namespace YVclUtil {
namespace {

_YSTRTABCELL* cellAt(_YSTRTABMEMBLOCK* block, std::size_t slot) {
  return reinterpret_cast<_YSTRTABCELL*>(block) + slot;
}

// Empty blocks kept for the next pool, process-wide. Mapping, faulting in and unmapping every
// block anew made loading a large file several times slower than strings on the C heap, whose
// memory is reused the same way. Beyond the limit (32 MiB) blocks go back to the system.
class BlockCache {
 public:
  static constexpr std::size_t kLimit = 2048;

  void* take() {
    std::lock_guard lock(m_mutex);
    if (m_blocks.empty()) {
      return nullptr;
    }
    void* block = m_blocks.back();
    m_blocks.pop_back();
    return block;
  }
  void give(void* block) {
    {
      std::lock_guard lock(m_mutex);
      if (m_blocks.size() < kLimit) {
        m_blocks.push_back(block);
        return;
      }
    }
    YFreeVirtualMem(block);
  }

 private:
  std::mutex m_mutex;
  std::vector<void*> m_blocks;
};

// Never destroyed: pools in static objects may release blocks during exit.
BlockCache& blockCache() {
  static auto* cache = new BlockCache;
  return *cache;
}

std::size_t cellsFor(std::size_t length) {
  return (length + kStrTabCellTextSize - 1) / kStrTabCellTextSize;
}

}  // namespace

TYStrTab::~TYStrTab() {
  DeleteAll();
}

_YSTRTABMEMBLOCK* TYStrTab::BlockOf(const void* cell) {
  return reinterpret_cast<_YSTRTABMEMBLOCK*>(reinterpret_cast<std::uintptr_t>(cell) &
                                             ~(std::uintptr_t{kStrTabBlockSize} - 1));
}

_YSTRTABMEMBLOCK* TYStrTab::AllocateMemBlock() {
  void* memory = blockCache().take();
  if (memory == nullptr) {
    memory = YAllocVirtualMem(kStrTabBlockSize);
  }
  if (memory == nullptr) {
    ShowErrMsgBox_Printf("TYStrTab", "Err: Can not allocate memory for TYStrTab !!!");
    throw EYGeneral("Err: TYStrTab::AllocateMemBlock() !!!");
  }
  if (BlockOf(memory) != memory) {
    ShowErrMsgBox_Printf("TYStrTab", "Err: The memory block %p is not aligned on %zu bytes !!!",
                         memory, kStrTabBlockSize);
    YFreeVirtualMem(memory);
    throw EYGeneral("Err: TYStrTab::AllocateMemBlock() !!!");
  }
  // A reused block holds old bytes: every field and every cell's link and length are set.
  auto* block = static_cast<_YSTRTABMEMBLOCK*>(memory);
  *block = _YSTRTABMEMBLOCK{};
  block->Owner = this;
  block->FreeCells = kStrTabCellsPerBlock;
  block->FreeList = cellAt(block, 1);
  for (std::size_t slot = 1; slot < kStrTabSlotsPerBlock; ++slot) {
    _YSTRTABCELL* cell = cellAt(block, slot);
    cell->Next = slot + 1 < kStrTabSlotsPerBlock ? cellAt(block, slot + 1) : nullptr;
    cell->Length = 0;
  }

  block->NextBlock = Blocks;
  if (Blocks != nullptr) {
    Blocks->PrevBlock = block;
  }
  Blocks = block;

  block->PrevFreeBlock = FreeBlocksTail;
  if (FreeBlocksTail != nullptr) {
    FreeBlocksTail->NextFreeBlock = block;
  } else {
    FreeBlocks = block;
  }
  FreeBlocksTail = block;

  ++BlockCount;
  ++FreeBlockCount;
  FreeCellCount += kStrTabCellsPerBlock;
  return block;
}

void TYStrTab::unlinkFromFreeList(_YSTRTABMEMBLOCK* block) {
  if (block->PrevFreeBlock != nullptr) {
    block->PrevFreeBlock->NextFreeBlock = block->NextFreeBlock;
  } else {
    FreeBlocks = block->NextFreeBlock;
  }
  if (block->NextFreeBlock != nullptr) {
    block->NextFreeBlock->PrevFreeBlock = block->PrevFreeBlock;
  } else {
    FreeBlocksTail = block->PrevFreeBlock;
  }
  block->PrevFreeBlock = nullptr;
  block->NextFreeBlock = nullptr;
  --FreeBlockCount;
}

bool TYStrTab::FreeMemBlock(_YSTRTABMEMBLOCK* block) {
  if (block == nullptr || block->Owner != this || block->FreeCells != kStrTabCellsPerBlock) {
    return false;
  }
  if (block->PrevBlock != nullptr) {
    block->PrevBlock->NextBlock = block->NextBlock;
  } else {
    Blocks = block->NextBlock;
  }
  if (block->NextBlock != nullptr) {
    block->NextBlock->PrevBlock = block->PrevBlock;
  }
  unlinkFromFreeList(block);
  --BlockCount;
  FreeCellCount -= kStrTabCellsPerBlock;
  block->Owner = nullptr;
  blockCache().give(block);
  return true;
}

_YSTRTABCELL* TYStrTab::takeFreeCell() {
  _YSTRTABMEMBLOCK* block = FreeBlocks;
  _YSTRTABCELL* cell = block->FreeList;
  block->FreeList = cell->Next;
  --block->FreeCells;
  --FreeCellCount;
  if (block->FreeCells == 0) {
    unlinkFromFreeList(block);
  }
  return cell;
}

_YSTRTABCELL* TYStrTab::Add(const char* text) {
  return text == nullptr ? nullptr : Add(text, std::strlen(text));
}

_YSTRTABCELL* TYStrTab::Add(const char* text, std::size_t length) {
  if (text == nullptr || length == 0) {
    return nullptr;
  }
  // A long string may need several new blocks; obtain them all before placing a byte, and give
  // them back if the system refuses one, so a failure leaves the pool as it was.
  const std::size_t need = cellsFor(length);
  _YSTRTABMEMBLOCK* firstNew = nullptr;
  try {
    while (FreeCellCount < need) {
      _YSTRTABMEMBLOCK* block = AllocateMemBlock();
      if (firstNew == nullptr) {
        firstNew = block;
      }
    }
  } catch (...) {
    while (firstNew != nullptr && Blocks != nullptr) {
      _YSTRTABMEMBLOCK* newest = Blocks;
      FreeMemBlock(newest);
      if (newest == firstNew) {
        break;
      }
    }
    throw;
  }

  ++StringCount;
  _YSTRTABCELL* first = nullptr;
  _YSTRTABCELL* previous = nullptr;
  std::size_t placed = 0;
  while (placed < length) {
    _YSTRTABCELL* cell = takeFreeCell();
    const std::size_t piece = std::min(kStrTabCellTextSize, length - placed);
    std::memcpy(cell->Text, text + placed, piece);
    cell->Length = static_cast<std::uint8_t>(piece);
    cell->Next = nullptr;
    if (previous != nullptr) {
      previous->Next = cell;
    } else {
      first = cell;
    }
    previous = cell;
    placed += piece;
  }
  return first;
}

bool TYStrTab::isOwnCell(const _YSTRTABCELL* cell) const {
  if (StringCount == 0 || cell == nullptr) {
    return false;
  }
  const auto offset = reinterpret_cast<std::uintptr_t>(cell) & (kStrTabBlockSize - 1);
  if (offset == 0 || offset % kStrTabSlotSize != 0) {
    return false;
  }
  return BlockOf(cell)->Owner == this;
}

bool TYStrTab::Get(const _YSTRTABCELL* cell, char* buffer, std::uint32_t limit) const {
  std::uint32_t length = 0;
  return Get(cell, buffer, &length, limit);
}

bool TYStrTab::Get(const _YSTRTABCELL* cell, char* buffer, std::uint32_t* length,
                   std::uint32_t limit) const {
  if (buffer == nullptr || !isOwnCell(cell)) {
    return false;
  }
  std::uint32_t total = 0;
  for (; cell != nullptr; cell = cell->Next) {
    if (limit != 0 && total + cell->Length >= limit) {
      buffer[total] = '\0';
      if (length != nullptr) {
        *length = total;
      }
      return false;
    }
    std::memcpy(buffer + total, cell->Text, cell->Length);
    total += cell->Length;
  }
  buffer[total] = '\0';
  if (length != nullptr) {
    *length = total;
  }
  return true;
}

bool TYStrTab::Get(const _YSTRTABCELL* cell, std::string& text, std::size_t limit) const {
  text.clear();
  if (!isOwnCell(cell)) {
    return false;
  }
  std::size_t total = 0;
  for (const _YSTRTABCELL* piece = cell; piece != nullptr; piece = piece->Next) {
    total += piece->Length;
    if (limit != 0 && total >= limit) {
      return false;
    }
  }
  text.resize(total);
  std::size_t at = 0;
  for (const _YSTRTABCELL* piece = cell; piece != nullptr; piece = piece->Next) {
    std::memcpy(text.data() + at, piece->Text, piece->Length);
    at += piece->Length;
  }
  return true;
}

bool TYStrTab::Compare(const _YSTRTABCELL* cell, const char* text) const {
  return text != nullptr && Compare(cell, std::string_view(text));
}

bool TYStrTab::Compare(const _YSTRTABCELL* cell, std::string_view text) const {
  if (!isOwnCell(cell)) {
    return false;
  }
  std::size_t at = 0;
  for (; cell != nullptr; cell = cell->Next) {
    if (text.size() - at < cell->Length ||
        std::memcmp(text.data() + at, cell->Text, cell->Length) != 0) {
      return false;
    }
    at += cell->Length;
  }
  return at == text.size();
}

bool TYStrTab::Delete(_YSTRTABCELL* cell) {
  if (!isOwnCell(cell)) {
    return false;
  }
  while (cell != nullptr) {
    _YSTRTABCELL* next = cell->Next;
    _YSTRTABMEMBLOCK* block = BlockOf(cell);
    cell->Length = 0;
    cell->Next = block->FreeList;
    block->FreeList = cell;
    ++block->FreeCells;
    ++FreeCellCount;
    if (block->FreeCells == 1) {
      block->PrevFreeBlock = nullptr;
      block->NextFreeBlock = FreeBlocks;
      if (FreeBlocks != nullptr) {
        FreeBlocks->PrevFreeBlock = block;
      } else {
        FreeBlocksTail = block;
      }
      FreeBlocks = block;
      ++FreeBlockCount;
    } else if (block->FreeCells == kStrTabCellsPerBlock) {
      FreeMemBlock(block);
    }
    cell = next;
  }
  --StringCount;
  return true;
}

void TYStrTab::DeleteAll() {
  _YSTRTABMEMBLOCK* block = Blocks;
  while (block != nullptr) {
    _YSTRTABMEMBLOCK* next = block->NextBlock;
    block->Owner = nullptr;
    blockCache().give(block);
    block = next;
  }
  BlockCount = 0;
  Blocks = nullptr;
  StringCount = 0;
  FreeBlocks = nullptr;
  FreeBlocksTail = nullptr;
  FreeBlockCount = 0;
  FreeCellCount = 0;
}

void* TYStrTab::malloc(std::size_t size) {
  if (size == 0 || size > kStrTabRawSize) {
    return nullptr;
  }
  _YSTRTABCELL* cell = Add("?", 1);
  return &cell->Length;
}

bool TYStrTab::free(void* memory) {
  if (memory == nullptr) {
    return false;
  }
  auto* cell = reinterpret_cast<_YSTRTABCELL*>(static_cast<unsigned char*>(memory) -
                                               offsetof(_YSTRTABCELL, Length));
  return Delete(cell);
}

}  // namespace YVclUtil
