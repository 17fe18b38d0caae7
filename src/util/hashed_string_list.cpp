#include "util/hashed_string_list.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "util/ey_general.h"
#include "util/messages.h"

namespace YVclUtil {
namespace {

bool sameKey(const _YHASHEDSTRINGLISTCELL* cell, TYHashKey key) {
  return cell->KeyLo == key.KeyLo && cell->KeyHi == key.KeyHi;
}

}  // namespace

TYHashedStringList::TYHashedStringList(TYStrTab* strTab) : StrTab(strTab) {
  if (strTab == nullptr) {
    ShowErrMsgBox_Printf("TYHashedStringList", "Err: The user specified TYStrTab* is NULL !!!");
    return;
  }
  HashTab = new (std::nothrow) _YHASHEDSTRINGLISTCELL* [kBucketCount] {};
  if (HashTab == nullptr) {
    ShowErrMsgBox_Printf("TYHashedStringList", "Err: Can not allocate memory for HashTab[ ]");
  }
}

TYHashedStringList::~TYHashedStringList() {
  DeleteAll();
  delete[] HashTab;
}

TYHashKey TYHashedStringList::StrToHashKey(const char* text, std::uint32_t& length) {
  if (text == nullptr) {
    length = 0;
    return {};
  }
  return StrToHashKey(std::string_view(text), length);
}

TYHashKey TYHashedStringList::StrToHashKey(std::string_view text, std::uint32_t& length) {
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  std::uint32_t i = 0;
  for (const char byte : text) {
    // Bytes count as signed: 0x80 to 0xFF are -128 to -1.
    const auto c =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(byte)));
    ++i;
    b += (i ^ a) + c;
    b = std::rotr(b, 5);
    a -= b + c;
    a = std::rotl(a, 3);
  }
  length = i;
  if (i == 0) {
    return {};
  }
  return TYHashKey{a, b | 1U};
}

// Walks the bucket chain by the lookup rule: an entry with the searched key is the match unless
// the next entry has the same key too, when the text decides.
_YHASHEDSTRINGLISTCELL* TYHashedStringList::find(TYHashKey key, std::string_view text) const {
  if (HashTab == nullptr) {
    return nullptr;
  }
  for (_YHASHEDSTRINGLISTCELL* cell = HashTab[key.KeyLo & BucketMask]; cell != nullptr;
       cell = cell->Next) {
    if (!sameKey(cell, key)) {
      continue;
    }
    if (cell->Next == nullptr || !sameKey(cell->Next, key) || StrTab->Compare(cell->Str, text)) {
      return cell;
    }
  }
  return nullptr;
}

int TYHashedStringList::IndexOf(const char* text) const {
  return text == nullptr ? -1 : IndexOf(std::string_view(text));
}

int TYHashedStringList::IndexOf(std::string_view text) const {
  const _YHASHEDSTRINGLISTCELL* cell = Find(text);
  return cell != nullptr ? cell->Index : -1;
}

const _YHASHEDSTRINGLISTCELL* TYHashedStringList::Find(std::string_view text) const {
  std::uint32_t length = 0;
  const TYHashKey key = StrToHashKey(text, length);
  return length == 0 ? nullptr : find(key, text);
}

int TYHashedStringList::Add(const char* text, void* object) {
  return text == nullptr ? -1 : Add(std::string_view(text), object);
}

int TYHashedStringList::Add(std::string_view text, void* object) {
  std::uint32_t length = 0;
  const TYHashKey key = StrToHashKey(text, length);
  if (length == 0 || length > kMaxTextLength || HashTab == nullptr) {
    return -1;
  }
  if (_YHASHEDSTRINGLISTCELL* existing = find(key, text)) {
    const int index = existing->Index;
    if (OnReplace) {
      OnReplace(this, index);
    }
    existing->Object = object;
    return index;
  }
  if (!GrowupListTab()) {
    return -1;
  }
  _YSTRTABCELL* str = StrTab->Add(text);
  if (str == nullptr) {
    return -1;
  }
  _YHASHEDSTRINGLISTCELL* cell = nullptr;
  try {
    cell = AllocateCell();
  } catch (...) {
    StrTab->Delete(str);
    throw;
  }
  if (cell == nullptr) {
    StrTab->Delete(str);
    return -1;
  }
  cell->KeyLo = key.KeyLo;
  cell->KeyHi = key.KeyHi;
  cell->Str = str;
  cell->Object = object;
  cell->Index = Count;

  _YHASHEDSTRINGLISTCELL*& head = HashTab[key.KeyLo & BucketMask];
  if (head == nullptr) {
    head = cell;
  } else {
    _YHASHEDSTRINGLISTCELL* tail = head;
    while (tail->Next != nullptr) {
      tail = tail->Next;
    }
    tail->Next = cell;
    cell->Prev = tail;
  }
  ListTab[Count] = cell;
  const int index = Count++;
  if (static_cast<std::uint32_t>(Count) > 2 * (BucketMask + 1)) {
    growBuckets();
  }
  return index;
}

// Doubles the buckets and links every entry anew, in index order, which is the order in which
// the entries were added. Without memory for it the list simply stays as it is.
void TYHashedStringList::growBuckets() {
  const std::size_t buckets = 2 * (std::size_t{BucketMask} + 1);
  std::unique_ptr<_YHASHEDSTRINGLISTCELL*[]> heads(new (std::nothrow)
                                                       _YHASHEDSTRINGLISTCELL* [buckets] {});
  std::unique_ptr<_YHASHEDSTRINGLISTCELL*[]> tails(new (std::nothrow)
                                                       _YHASHEDSTRINGLISTCELL* [buckets] {});
  if (!heads || !tails) {
    return;
  }
  const auto mask = static_cast<std::uint32_t>(buckets - 1);
  for (int i = 0; i < Count; ++i) {
    _YHASHEDSTRINGLISTCELL* cell = ListTab[i];
    _YHASHEDSTRINGLISTCELL*& tail = tails[cell->KeyLo & mask];
    cell->Prev = tail;
    cell->Next = nullptr;
    if (tail != nullptr) {
      tail->Next = cell;
    } else {
      heads[cell->KeyLo & mask] = cell;
    }
    tail = cell;
  }
  delete[] HashTab;
  HashTab = heads.release();
  BucketMask = mask;
}

void TYHashedStringList::unlinkFromBucket(_YHASHEDSTRINGLISTCELL* cell) {
  if (cell->Prev != nullptr) {
    cell->Prev->Next = cell->Next;
  } else {
    HashTab[cell->KeyLo & BucketMask] = cell->Next;
  }
  if (cell->Next != nullptr) {
    cell->Next->Prev = cell->Prev;
  }
}

bool TYHashedStringList::Delete(int index) {
  if (index < 0 || index >= Count) {
    return false;
  }
  if (OnDelete) {
    OnDelete(this, index);
  }
  _YHASHEDSTRINGLISTCELL* cell = ListTab[index];
  StrTab->Delete(cell->Str);
  unlinkFromBucket(cell);
  ReleaseCell(cell);
  for (int i = index + 1; i < Count; ++i) {
    ListTab[i - 1] = ListTab[i];
    ListTab[i - 1]->Index = i - 1;
  }
  --Count;
  ShrinkListTab();
  return true;
}

void TYHashedStringList::DeleteAll() {
  for (int index = 0; index < Count; ++index) {
    if (OnDelete) {
      OnDelete(this, index);
    }
    StrTab->Delete(ListTab[index]->Str);
    ReleaseCell(ListTab[index]);
  }
  Count = 0;
  std::free(ListTab);
  ListTab = nullptr;
  Capacity = 0;
  if (HashTab != nullptr) {
    std::fill_n(HashTab, BucketMask + 1, nullptr);
  }
}

bool TYHashedStringList::GrowupListTab() {
  if (Count < Capacity) {
    return true;
  }
  const std::size_t slots = static_cast<std::size_t>(Capacity) + kListTabStep;
  void* grown = std::realloc(ListTab, slots * sizeof(_YHASHEDSTRINGLISTCELL*));
  if (grown == nullptr) {
    return false;
  }
  ListTab = static_cast<_YHASHEDSTRINGLISTCELL**>(grown);
  Capacity = static_cast<std::int32_t>(slots);
  return true;
}

void TYHashedStringList::ShrinkListTab() {
  if (Capacity <= kListTabStep || Count > Capacity - kListTabStep) {
    return;
  }
  const std::size_t slots = static_cast<std::size_t>(Capacity) - kListTabStep;
  void* shrunk = std::realloc(ListTab, slots * sizeof(_YHASHEDSTRINGLISTCELL*));
  if (shrunk == nullptr) {
    return;
  }
  ListTab = static_cast<_YHASHEDSTRINGLISTCELL**>(shrunk);
  Capacity = static_cast<std::int32_t>(slots);
}

_YHASHEDSTRINGLISTCELL* TYHashedStringList::AllocateCell() {
  void* memory = StrTab->malloc(sizeof(_YHASHEDSTRINGLISTCELL));
  if (memory == nullptr) {
    return nullptr;
  }
  std::memset(memory, 0, sizeof(_YHASHEDSTRINGLISTCELL));
  return static_cast<_YHASHEDSTRINGLISTCELL*>(memory);
}

void TYHashedStringList::ReleaseCell(_YHASHEDSTRINGLISTCELL* cell) {
  StrTab->free(cell);
}

std::string TYHashedStringList::pr_Strings(int index) const {
  if (index < 0 || index >= Count) {
    throw EYGeneral("TYHashedStringList: Invalid Index for Strings[%d]", index);
  }
  char buffer[264];
  std::uint32_t length = 0;
  StrTab->Get(ListTab[index]->Str, buffer, &length, sizeof(buffer));
  return std::string(buffer, length);
}

void TYHashedStringList::pw_Strings(int /*index*/, const std::string& /*text*/) {
  throw EYGeneral("TYHashedStringList: Strings[ ] is read only");
}

void TYHashedStringList::checkObjectsIndex(int index) const {
  if (index < 0 || index >= Count) {
    throw EYGeneral("TYHashedStringList: Invalid Index for Objects[%d]", index);
  }
}

void* TYHashedStringList::pr_Objects(int index) const {
  checkObjectsIndex(index);
  return ListTab[index]->Object;
}

void TYHashedStringList::pw_Objects(int index, void* object) {
  checkObjectsIndex(index);
  ListTab[index]->Object = object;
}

const _YSTRTABCELL* TYHashedStringList::pr_StrCell(int index) const {
  return index >= 0 && index < Count ? ListTab[index]->Str : nullptr;
}

}  // namespace YVclUtil
