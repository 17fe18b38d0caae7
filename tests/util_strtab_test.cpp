#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "util/diagnostic_sink.h"
#include "util/ey_general.h"
#include "util/hashed_string_list.h"
#include "util/str_tab.h"

using namespace YVclUtil;

namespace {

std::string stored(const TYStrTab& pool, const _YSTRTABCELL* cell) {
  std::string text;
  EXPECT_TRUE(pool.Get(cell, text));
  return text;
}

int chainLength(const _YSTRTABCELL* cell) {
  int cells = 0;
  for (; cell != nullptr; cell = cell->Next) {
    ++cells;
  }
  return cells;
}

std::string floorCodeName(int code) {
  char name[8];
  std::snprintf(name, sizeof(name), "0x%02X", code);
  return name;
}

}  // namespace

TEST(HashKeyTest, MatchesTheKnownKeys) {
  std::uint32_t length = 99;
  TYHashKey key = TYHashedStringList::StrToHashKey("abc", length);
  EXPECT_EQ(key.KeyHi, 0x3D83FF29U);
  EXPECT_EQ(key.KeyLo, 0xF3DF2A68U);
  EXPECT_EQ(key.KeyLo & 127U, 104U);
  EXPECT_EQ(length, 3U);

  // Big5 bytes count as negative.
  key = TYHashedStringList::StrToHashKey(std::string_view("\xA4\xA4"), length);
  EXPECT_EQ(key.KeyHi, 0xED800015U);
  EXPECT_EQ(key.KeyLo, 0x94001A34U);
  EXPECT_EQ(key.KeyLo & 127U, 52U);
  EXPECT_EQ(length, 2U);

  EXPECT_EQ(TYHashedStringList::StrToHashKey("", length), TYHashKey{});
  EXPECT_EQ(length, 0U);
  EXPECT_EQ(TYHashedStringList::StrToHashKey(static_cast<const char*>(nullptr), length),
            TYHashKey{});
}

TEST(HashKeyTest, FloorCodeNamesHaveDistinctNonZeroKeys) {
  std::set<std::uint64_t> keys;
  for (int code = 0; code < 256; ++code) {
    std::uint32_t length = 0;
    const TYHashKey key = TYHashedStringList::StrToHashKey(floorCodeName(code), length);
    EXPECT_EQ(key.KeyHi & 1U, 1U);
    keys.insert(std::uint64_t{key.KeyHi} << 32 | key.KeyLo);
  }
  EXPECT_EQ(keys.size(), 256U);
}

TEST(StrTabTest, StringsTakeOneCellPer27Bytes) {
  TYStrTab pool;
  EXPECT_EQ(chainLength(pool.Add(std::string(27, 'a'))), 1);
  EXPECT_EQ(chainLength(pool.Add(std::string(28, 'b'))), 2);
  EXPECT_EQ(chainLength(pool.Add(std::string(54, 'c'))), 2);
  EXPECT_EQ(chainLength(pool.Add(std::string(55, 'd'))), 3);
  EXPECT_EQ(pool.pr_StringCount(), 4U);
  EXPECT_EQ(pool.pr_BlockCount(), 1U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 255U - 8U);

  EXPECT_EQ(pool.Add(""), nullptr);
  EXPECT_EQ(pool.Add(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(pool.Add("abc", 0), nullptr);
  EXPECT_EQ(pool.pr_StringCount(), 4U);
}

TEST(StrTabTest, FirstAddObtainsOneAlignedBlock) {
  TYStrTab pool;
  EXPECT_EQ(pool.pr_BlockCount(), 0U);
  _YSTRTABCELL* cell = pool.Add("Version");
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(pool.pr_BlockCount(), 1U);
  EXPECT_EQ(pool.pr_FreeBlockCount(), 1U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 254U);
  const auto* block = TYStrTab::BlockOf(cell);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kStrTabBlockSize, 0U);
  EXPECT_EQ(block, pool.pr_Blocks());
  EXPECT_EQ(block->Owner, &pool);
  EXPECT_EQ(block->FreeCells, 254U);
  EXPECT_EQ(stored(pool, cell), "Version");
}

TEST(StrTabTest, BytesRoundTripIncludingZeroAndBig5) {
  TYStrTab pool;
  const std::string bytes("\xA4\xA4\x00\xB0\x5D=\r\n", 8);
  _YSTRTABCELL* cell = pool.Add(bytes);
  EXPECT_EQ(stored(pool, cell), bytes);
  EXPECT_TRUE(pool.Compare(cell, bytes));
  EXPECT_FALSE(pool.Compare(cell, bytes.substr(0, 7)));
  EXPECT_FALSE(pool.Compare(cell, bytes + "x"));

  char buffer[16];
  std::uint32_t length = 0;
  ASSERT_TRUE(pool.Get(cell, buffer, &length, 0));
  EXPECT_EQ(length, 8U);
  EXPECT_EQ(std::string(buffer, length), bytes);
  EXPECT_EQ(buffer[8], '\0');
}

TEST(StrTabTest, GetLimitCountsTheTerminatingZero) {
  TYStrTab pool;
  std::vector<char> buffer(400);
  EXPECT_TRUE(pool.Get(pool.Add(std::string(263, 'x')), buffer.data(), 264));
  EXPECT_EQ(std::string(buffer.data()), std::string(263, 'x'));
  EXPECT_FALSE(pool.Get(pool.Add(std::string(264, 'y')), buffer.data(), 264));
  std::string text;
  EXPECT_FALSE(pool.Get(pool.Add(std::string(264, 'z')), text, 264));
  EXPECT_TRUE(text.empty());
}

TEST(StrTabTest, RefusesCellsItDoesNotOwn) {
  TYStrTab empty;
  TYStrTab pool;
  TYStrTab other;
  _YSTRTABCELL* foreign = other.Add("foreign");
  char buffer[32];
  EXPECT_FALSE(empty.Get(foreign, buffer));
  pool.Add("mine");
  EXPECT_FALSE(pool.Get(foreign, buffer));
  EXPECT_FALSE(pool.Get(nullptr, buffer));
  EXPECT_FALSE(pool.Get(pool.Add("x"), static_cast<char*>(nullptr)));
  EXPECT_FALSE(pool.Compare(foreign, "foreign"));
  EXPECT_FALSE(pool.Delete(foreign));
  EXPECT_EQ(other.pr_StringCount(), 1U);
  EXPECT_TRUE(other.Compare(foreign, "foreign"));
}

TEST(StrTabTest, EmptyBlocksGoBackToTheSystemAtOnce) {
  TYStrTab pool;
  std::vector<_YSTRTABCELL*> cells;
  for (int i = 0; i < 255; ++i) {
    cells.push_back(pool.Add("one cell"));
  }
  EXPECT_EQ(pool.pr_BlockCount(), 1U);
  EXPECT_EQ(pool.pr_FreeBlockCount(), 0U);
  EXPECT_EQ(pool.pr_FreeBlocks(), nullptr);

  _YSTRTABCELL* second = pool.Add("second block");
  EXPECT_EQ(pool.pr_BlockCount(), 2U);
  const _YSTRTABMEMBLOCK* full = TYStrTab::BlockOf(cells[0]);
  EXPECT_EQ(pool.pr_FreeBlocks(), TYStrTab::BlockOf(second));

  // A full block that gets a free cell goes to the head of the free-space list.
  ASSERT_TRUE(pool.Delete(cells[10]));
  EXPECT_EQ(pool.pr_FreeBlocks(), full);
  EXPECT_EQ(pool.pr_FreeBlockCount(), 2U);
  // The freed cell is the next one used.
  EXPECT_EQ(pool.Add("again"), cells[10]);

  ASSERT_TRUE(pool.Delete(second));
  EXPECT_EQ(pool.pr_BlockCount(), 1U);
  EXPECT_EQ(pool.pr_FreeBlockCount(), 0U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 0U);

  for (_YSTRTABCELL* cell : cells) {
    ASSERT_TRUE(pool.Delete(cell));
  }
  EXPECT_EQ(pool.pr_BlockCount(), 0U);
  EXPECT_EQ(pool.pr_StringCount(), 0U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 0U);
  EXPECT_EQ(pool.pr_Blocks(), nullptr);
}

TEST(StrTabTest, LongStringsObtainEnoughBlocksFirst) {
  TYStrTab pool;
  std::string value(8190, '\0');
  for (std::size_t i = 0; i < value.size(); ++i) {
    value[i] = static_cast<char>('A' + i % 26);
  }
  _YSTRTABCELL* cell = pool.Add(value);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(chainLength(cell), 304);  // 8190 / 27 rounded up
  EXPECT_EQ(pool.pr_BlockCount(), 2U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 510U - 304U);
  EXPECT_EQ(stored(pool, cell), value);

  // Much longer than any block, with some cells already in use.
  const std::string huge(100000, 'h');
  _YSTRTABCELL* hugeCell = pool.Add(huge);
  EXPECT_EQ(stored(pool, hugeCell), huge);
  EXPECT_TRUE(pool.Compare(cell, value));

  ASSERT_TRUE(pool.Delete(hugeCell));
  ASSERT_TRUE(pool.Delete(cell));
  EXPECT_EQ(pool.pr_BlockCount(), 0U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 0U);
}

TEST(StrTabTest, RawAllocationsLiveInOneCell) {
  TYStrTab pool;
  EXPECT_EQ(pool.malloc(0), nullptr);
  EXPECT_EQ(pool.malloc(kStrTabRawSize + 1), nullptr);
  void* one = pool.malloc(1);
  void* whole = pool.malloc(kStrTabRawSize);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(whole) % alignof(void*), 0U);
  std::memset(whole, 0xFF, kStrTabRawSize);  // the whole room is usable
  EXPECT_EQ(pool.pr_StringCount(), 2U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 253U);
  EXPECT_TRUE(pool.free(whole));
  EXPECT_TRUE(pool.free(one));
  EXPECT_FALSE(pool.free(nullptr));
  EXPECT_EQ(pool.pr_BlockCount(), 0U);
}

TEST(StrTabTest, FreeMemBlockRefusesBlocksInUseOrForeign) {
  TYStrTab pool;
  TYStrTab other;
  _YSTRTABCELL* cell = pool.Add("busy");
  _YSTRTABMEMBLOCK* block = TYStrTab::BlockOf(cell);
  EXPECT_FALSE(pool.FreeMemBlock(nullptr));
  EXPECT_FALSE(pool.FreeMemBlock(block));
  EXPECT_FALSE(other.FreeMemBlock(block));
  _YSTRTABMEMBLOCK* spare = pool.AllocateMemBlock();
  EXPECT_EQ(pool.pr_BlockCount(), 2U);
  EXPECT_TRUE(pool.FreeMemBlock(spare));
  EXPECT_EQ(pool.pr_BlockCount(), 1U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 254U);
  EXPECT_EQ(stored(pool, cell), "busy");
}

TEST(StrTabTest, DeleteAllReleasesEverything) {
  TYStrTab pool;
  for (int i = 0; i < 1000; ++i) {
    pool.Add(std::string(40, 'k'));
  }
  EXPECT_GT(pool.pr_BlockCount(), 7U);
  pool.DeleteAll();
  EXPECT_EQ(pool.pr_BlockCount(), 0U);
  EXPECT_EQ(pool.pr_StringCount(), 0U);
  EXPECT_EQ(pool.pr_FreeBlockCount(), 0U);
  EXPECT_EQ(pool.pr_FreeCellCount(), 0U);
  EXPECT_EQ(pool.pr_Blocks(), nullptr);
  EXPECT_EQ(pool.pr_FreeBlocks(), nullptr);
  EXPECT_NE(pool.Add("usable again"), nullptr);
}

// ---------------------------------------------------------------------------------------------

namespace {

struct Notification {
  std::string event;
  int index;
  std::string text;
  void* object;
};

// Records notifications with what the list showed at that moment.
class Recorder {
 public:
  void bind(TYHashedStringList& list) {
    list.pw_OnReplace(
        [this](TYHashedStringList* sender, int index) { record("replace", sender, index); });
    list.pw_OnDelete(
        [this](TYHashedStringList* sender, int index) { record("delete", sender, index); });
  }
  std::vector<Notification> events;

 private:
  void record(const char* event, TYHashedStringList* sender, int index) {
    events.push_back({event, index, sender->pr_Strings(index), sender->pr_Objects(index)});
  }
};

}  // namespace

TEST(HashedStringListTest, AddsFindsAndKeepsOrder) {
  TYStrTab pool;
  TYHashedStringList list(&pool);
  int objects[3];
  EXPECT_EQ(list.Add("Head", &objects[0]), 0);
  EXPECT_EQ(list.Add("Mode", &objects[1]), 1);
  EXPECT_EQ(list.Add("\xA4\xA4", &objects[2]), 2);
  EXPECT_EQ(list.pr_Count(), 3);
  EXPECT_EQ(list.pr_Capacity(), 1024);
  EXPECT_EQ(list.IndexOf("Mode"), 1);
  EXPECT_EQ(list.IndexOf("\xA4\xA4"), 2);
  EXPECT_EQ(list.IndexOf("HEAD"), -1);
  EXPECT_EQ(list.IndexOf(""), -1);
  EXPECT_EQ(list.IndexOf(static_cast<const char*>(nullptr)), -1);
  EXPECT_EQ(list.pr_Strings(0), "Head");
  EXPECT_EQ(list.pr_Objects(1), &objects[1]);
  list.pw_Objects(1, nullptr);
  EXPECT_EQ(list.pr_Objects(1), nullptr);
  // Each entry costs its text and one raw cell for the entry record.
  EXPECT_EQ(pool.pr_StringCount(), 6U);
}

TEST(HashedStringListTest, RefusesEmptyAndOverlongTexts) {
  TYStrTab pool;
  TYHashedStringList list(&pool);
  EXPECT_EQ(list.Add(""), -1);
  EXPECT_EQ(list.Add(static_cast<const char*>(nullptr)), -1);
  EXPECT_EQ(list.Add(std::string(257, 'n')), -1);
  EXPECT_EQ(list.pr_Count(), 0);
  EXPECT_EQ(pool.pr_StringCount(), 0U);
  EXPECT_EQ(list.Add(std::string(256, 'n')), 0);
  EXPECT_EQ(list.pr_Strings(0), std::string(256, 'n'));
}

TEST(HashedStringListTest, AddingAnExistingTextReplacesOnlyTheObject) {
  TYStrTab pool;
  Recorder recorder;  // outlives the list, whose destructor notifies too
  TYHashedStringList list(&pool);
  recorder.bind(list);
  int first = 1;
  int second = 2;
  list.Add("Key", &first);
  list.Add("Other");
  EXPECT_EQ(list.Add("Key", &second), 0);
  EXPECT_EQ(list.pr_Count(), 2);
  EXPECT_EQ(list.pr_Objects(0), &second);
  ASSERT_EQ(recorder.events.size(), 1U);
  EXPECT_EQ(recorder.events[0].event, "replace");
  EXPECT_EQ(recorder.events[0].index, 0);
  EXPECT_EQ(recorder.events[0].object, &first);  // still the old object when notified
  EXPECT_EQ(pool.pr_StringCount(), 4U);
}

TEST(HashedStringListTest, DeleteNotifiesFirstAndRenumbers) {
  TYStrTab pool;
  Recorder recorder;  // outlives the list, whose destructor notifies too
  TYHashedStringList list(&pool);
  recorder.bind(list);
  int objects[3];
  list.Add("a", &objects[0]);
  list.Add("b", &objects[1]);
  list.Add("c", &objects[2]);
  ASSERT_TRUE(list.Delete(0));
  ASSERT_EQ(recorder.events.size(), 1U);
  EXPECT_EQ(recorder.events[0].event, "delete");
  EXPECT_EQ(recorder.events[0].index, 0);
  EXPECT_EQ(recorder.events[0].text, "a");
  EXPECT_EQ(recorder.events[0].object, &objects[0]);
  EXPECT_EQ(list.pr_Count(), 2);
  EXPECT_EQ(list.IndexOf("b"), 0);
  EXPECT_EQ(list.IndexOf("c"), 1);
  EXPECT_EQ(list.IndexOf("a"), -1);
  EXPECT_EQ(list.pr_Objects(1), &objects[2]);

  EXPECT_FALSE(list.Delete(2));
  EXPECT_FALSE(list.Delete(-1));
  EXPECT_EQ(recorder.events.size(), 1U);
  EXPECT_EQ(pool.pr_StringCount(), 4U);
}

TEST(HashedStringListTest, DeleteAllAndDestructionNotifyEveryEntry) {
  TYStrTab pool;
  Recorder recorder;
  {
    TYHashedStringList list(&pool);
    recorder.bind(list);
    list.Add("x");
    list.Add("y");
    list.DeleteAll();
    EXPECT_EQ(list.pr_Count(), 0);
    EXPECT_EQ(list.pr_Capacity(), 0);
    EXPECT_EQ(list.IndexOf("x"), -1);
    EXPECT_EQ(list.Add("z"), 0);
  }
  ASSERT_EQ(recorder.events.size(), 3U);
  EXPECT_EQ(recorder.events[0].text, "x");
  EXPECT_EQ(recorder.events[1].text, "y");
  EXPECT_EQ(recorder.events[2].text, "z");
  EXPECT_EQ(pool.pr_StringCount(), 0U);
  EXPECT_EQ(pool.pr_BlockCount(), 0U);
}

TEST(HashedStringListTest, IndexTableGrowsAndShrinksBy1024) {
  TYStrTab pool;
  TYHashedStringList list(&pool);
  for (int i = 0; i < 1024; ++i) {
    ASSERT_EQ(list.Add("k" + std::to_string(i)), i);
  }
  EXPECT_EQ(list.pr_Capacity(), 1024);
  list.Add("k1024");
  EXPECT_EQ(list.pr_Capacity(), 2048);
  ASSERT_TRUE(list.Delete(1024));
  EXPECT_EQ(list.pr_Capacity(), 1024);
  for (int i = 0; i < 1024; ++i) {
    ASSERT_TRUE(list.Delete(0));
  }
  EXPECT_EQ(list.pr_Capacity(), 1024);  // keeps its first step until DeleteAll
  EXPECT_EQ(pool.pr_StringCount(), 0U);
}

TEST(HashedStringListTest, ManyEntriesInSharedPoolStayConsistent) {
  TYStrTab pool;
  TYHashedStringList sections(&pool);
  TYHashedStringList keys(&pool);
  for (int i = 0; i < 5000; ++i) {
    sections.Add("Section" + std::to_string(i));
    keys.Add(floorCodeName(i % 256) + "_" + std::to_string(i));
    if (i == 255) {
      EXPECT_EQ(sections.pr_BucketCount(), 128);  // a floor code table keeps 128 buckets
    }
  }
  EXPECT_EQ(sections.pr_BucketCount(), 4096);  // doubled past two entries per bucket
  for (int i = 4999; i >= 0; i -= 3) {
    ASSERT_TRUE(keys.Delete(i));
  }
  for (int i = 0; i < keys.pr_Count(); ++i) {
    ASSERT_EQ(keys.IndexOf(keys.pr_Strings(i)), i);
  }
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(sections.IndexOf("Section" + std::to_string(i)), i);
  }
}

TEST(HashedStringListTest, BadIndexesAndWritesToStringsRaise) {
  TYStrTab pool;
  TYHashedStringList list(&pool);
  list.Add("only");
  try {
    list.pr_Strings(1);
    FAIL();
  } catch (const EYGeneral& error) {
    EXPECT_STREQ(error.what(), "TYHashedStringList: Invalid Index for Strings[1]");
  }
  try {
    list.pw_Strings(0, "x");
  } catch (const EYGeneral& error) {
    EXPECT_STREQ(error.what(), "TYHashedStringList: Strings[ ] is read only");
  }
  try {
    list.pr_Objects(-1);
    FAIL();
  } catch (const EYGeneral& error) {
    EXPECT_STREQ(error.what(), "TYHashedStringList: Invalid Index for Objects[-1]");
  }
  EXPECT_THROW(list.pw_Objects(5, nullptr), EYGeneral);
}

TEST(HashedStringListTest, NullPoolIsReportedAndTheListRefusesWork) {
  RecordingDiagnosticSink sink;
  ScopedDiagnosticSink guard(sink);
  TYHashedStringList list(nullptr);
  ASSERT_EQ(sink.boxes().size(), 1U);
  EXPECT_EQ(sink.boxes()[0].caption, "TYHashedStringList");
  EXPECT_EQ(sink.boxes()[0].text, "Err: The user specified TYStrTab* is NULL !!!");
  EXPECT_EQ(list.Add("x"), -1);
  EXPECT_EQ(list.IndexOf("x"), -1);
}
