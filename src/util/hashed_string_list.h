#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "util/str_tab.h"

namespace YVclUtil {

class TYHashedStringList;

// The 64-bit key of a text; never 0 for a non-empty text. The bucket is KeyLo & 127.
struct TYHashKey {
  std::uint32_t KeyLo = 0;
  std::uint32_t KeyHi = 0;
  bool operator==(const TYHashKey&) const = default;
};

// One entry, taken from the list's pool with TYStrTab::malloc.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the library's own record name
struct _YHASHEDSTRINGLISTCELL {
  _YHASHEDSTRINGLISTCELL* Prev;
  _YHASHEDSTRINGLISTCELL* Next;
  std::uint32_t KeyLo;
  std::uint32_t KeyHi;
  _YSTRTABCELL* Str;
  void* Object;
  std::int32_t Index;
};
static_assert(sizeof(_YHASHEDSTRINGLISTCELL) <= kStrTabRawSize);

// A notification bound to its owner (a closure); an event counts as assigned when set.
using TYHashedStringListNotify = std::function<void(TYHashedStringList* Sender, int Index)>;

// An ordered list of unique byte strings of 1 to 256 bytes, each with one object pointer,
// found through a 64-bit hash key in 128 buckets (bucket KeyLo & 127); a list of more than 256
// entries doubles its buckets whenever it passes two entries per bucket, so that long lists
// are searched as fast as short ones. Strings and entries live in a pool that the
// creator supplies and that must outlive the list; several lists may share one pool.
class TYHashedStringList {
 public:
  static constexpr int kBucketCount = 128;  // at first
  static constexpr int kListTabStep = 1024;
  static constexpr std::size_t kMaxTextLength = 256;

  // A null pool, or no memory for the buckets, shows an error box; the list then refuses
  // every Add and finds nothing.
  explicit TYHashedStringList(TYStrTab* strTab);
  // Calls DeleteAll (so OnDelete runs for every entry).
  ~TYHashedStringList();
  TYHashedStringList(const TYHashedStringList&) = delete;
  TYHashedStringList& operator=(const TYHashedStringList&) = delete;

  // Index of the new entry, or of the existing one with that text (OnReplace runs first, then
  // the object is replaced and the stored text kept); -1 for a null, empty or over-long text or
  // when the index table cannot grow. Pool failures raise EYGeneral.
  int Add(const char* text, void* object = nullptr);
  int Add(std::string_view text, void* object = nullptr);
  int IndexOf(const char* text) const;
  int IndexOf(std::string_view text) const;
  // The entry of text (its Index and Object), or null: a search without a second step through
  // the index table. Valid until the list changes.
  const _YHASHEDSTRINGLISTCELL* Find(std::string_view text) const;
  // Calls OnDelete while the entry is complete, then removes it; false for a bad index.
  bool Delete(int index);
  void DeleteAll();

  int pr_Count() const { return Count; }
  int pr_Capacity() const { return Capacity; }
  int pr_BucketCount() const { return HashTab != nullptr ? static_cast<int>(BucketMask) + 1 : 0; }
  TYStrTab* pr_StrTab() const { return StrTab; }

  // Strings[index]: read only. A bad index raises EYGeneral; so does every write.
  std::string pr_Strings(int index) const;
  [[noreturn]] void pw_Strings(int index, const std::string& text);
  // Objects[index]; a bad index raises EYGeneral.
  void* pr_Objects(int index) const;
  void pw_Objects(int index, void* object);
  // The first pool cell of the text at index (null for a bad index), for callers that compare
  // or copy through the pool without a temporary text.
  const _YSTRTABCELL* pr_StrCell(int index) const;

  const TYHashedStringListNotify& pr_OnReplace() const { return OnReplace; }
  void pw_OnReplace(TYHashedStringListNotify handler) { OnReplace = std::move(handler); }
  const TYHashedStringListNotify& pr_OnDelete() const { return OnDelete; }
  void pw_OnDelete(TYHashedStringListNotify handler) { OnDelete = std::move(handler); }

  static TYHashKey StrToHashKey(std::string_view text, std::uint32_t& length);
  static TYHashKey StrToHashKey(const char* text, std::uint32_t& length);

 private:
  _YHASHEDSTRINGLISTCELL* find(TYHashKey key, std::string_view text) const;
  bool GrowupListTab();
  void ShrinkListTab();
  _YHASHEDSTRINGLISTCELL* AllocateCell();
  void ReleaseCell(_YHASHEDSTRINGLISTCELL* cell);
  void unlinkFromBucket(_YHASHEDSTRINGLISTCELL* cell);
  void growBuckets();
  void checkObjectsIndex(int index) const;

  TYStrTab* StrTab;
  _YHASHEDSTRINGLISTCELL** HashTab = nullptr;
  std::uint32_t BucketMask = kBucketCount - 1;
  _YHASHEDSTRINGLISTCELL** ListTab = nullptr;
  std::int32_t Capacity = 0;
  std::int32_t Count = 0;
  TYHashedStringListNotify OnReplace;
  TYHashedStringListNotify OnDelete;
};

}  // namespace YVclUtil
