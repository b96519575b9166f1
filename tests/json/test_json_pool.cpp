// The tree's storage: document arenas, blocks that travel between threads, no
// block handed out twice, and (in AddressSanitizer builds) a use of a freed
// pooled block reported instead of read silently.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "json/wbjson_pool.h"
#include "json_test_support.h"
#include "support/sanitizers.h"

namespace wb::test {
namespace {

std::string LargeDocumentText(int entries) {
  std::string text = R"({"Items":[)";
  for (int i = 0; i < entries; ++i) {
    if (i != 0) text += ',';
    text += R"({"Info":"Eintrag )" + std::to_string(i) + R"( mit einem l\u00e4ngeren Namen","Copies":)" +
            std::to_string(i % 3 + 1) + R"(,"Forbidden":false,"Filter.POT":"rechnung"})";
  }
  return text + "]}";
}

// A large text is read into an arena of its own; the tree must behave like any
// other while it is changed, copied and freed, also on another thread.
TEST(JsonPool, LargeDocumentsLiveInAnArenaUntilTheirLastNodeGoes) {
  const std::string text = LargeDocumentText(400);
  ASSERT_GE(text.size(), json_pool::kArenaTextThreshold);
  for (int round = 0; round < 3; ++round) {
    auto document = ParseObject(text);
    ASSERT_NE(document, nullptr);
    auto* items = JSONAs<TWBSONList>(document->MemberByName("Items"));
    ASSERT_EQ(items->ChildCount(), 400);
    for (int i = 0; i < items->ChildCount(); i += 3) {
      TWBCustomJSON* entry = items->ChildAt(i);
      entry->SetStringByName("Info", std::string(100, 'x'));                    // replaces a string of the arena
      entry->SetStringByName("UID", "{0F6A2C4E-1B3D-4E5F-8A9B-0C1D2E3F4A5B}");  // a member from the pool
      entry->SetIntegerByName("Copies", 7);
    }
    items->RemoveChildAt(1);
    items->ReplaceChildAt(2, std::make_unique<TWBJSON>());
    static_cast<TWBJSON*>(items->ChildAt(0))->RemoveChildAt(0);
    auto copy = TWBCustomJSON::Clone(document.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(TWBJSONText::Generate(copy.get()), TWBJSONText::Generate(document.get()));
    EXPECT_EQ(items->ChildAt(3)->StringByName("Info"), std::string(100, 'x'));
    EXPECT_EQ(items->ChildAt(4)->IntegerByName("Copies"), 2);
    EXPECT_EQ(items->ChildAt(0)->StringByName("Info"), "");
    EXPECT_EQ(items->ChildAt(0)->IntegerByName("Copies"), 7);
    std::thread([tree = std::move(document)]() mutable { tree.reset(); }).join();
    copy.reset();
  }
  // A large text that fails halfway leaves nothing behind.
  EXPECT_EQ(ParseText(text.substr(0, text.size() - 1)), nullptr);
}

TEST(JsonPool, TreesMadeOnOneThreadAreReadAndFreedOnAnother) {
  const std::string text = R"({"a":[1,2,{"b":"long enough to leave the inline buffer"}]})";
  for (int round = 0; round < 20; ++round) {
    std::vector<std::unique_ptr<TWBCustomJSON>> made(50);
    std::thread maker([&] {
      for (auto& tree : made) tree = ParseText(text);
    });
    maker.join();
    std::atomic<int> intact{0};
    std::thread freer([&] {
      for (auto& tree : made) intact += tree && TWBJSONText::Generate(tree.get()) == text;
      made.clear();
    });
    freer.join();
    ASSERT_EQ(intact.load(), 50) << "round " << round;
  }
}

// Every size up to the largest pooled one gets a block of its own, aligned for
// any value the tree stores, and writing it whole leaves its neighbour alone.
TEST(JsonPool, BlocksOfEverySizeAreAlignedAndApart) {
  for (std::size_t size = 1; size <= json_pool::kMaxPooledBlock + 1; size += 7) {
    void* first = json_pool::Allocate(size);
    void* second = json_pool::Allocate(size);
    ASSERT_NE(first, second) << size;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % alignof(std::max_align_t), 0u) << size;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(second) % alignof(std::max_align_t), 0u) << size;
    std::memset(second, 0x5A, size);
    std::memset(first, 0xA5, size);
    const auto* bytes = static_cast<const unsigned char*>(second);
    EXPECT_TRUE(std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0x5A; })) << size;
    json_pool::Release(first, size);
    json_pool::Release(second, size);
  }
}

// A thread that only frees blocks made elsewhere (a connection thread freeing a
// request, a worker freeing a job's tree) hands them on when it ends: the next
// thread that needs blocks of that size gets exactly those back, instead of the
// blocks being lost with the thread.
TEST(JsonPool, BlocksFreedOnAThreadThatEndsAreHandedOutAgain) {
  constexpr int kBlocks = 64;
  for (std::size_t size : {24u, 48u, 136u}) {
    std::vector<void*> made(kBlocks);
    std::thread([&] {
      for (void*& block : made) block = json_pool::Allocate(size);
    }).join();
    std::thread([&] {
      for (void* block : made) json_pool::Release(block, size);
    }).join();
    std::vector<void*> reused(kBlocks);
    std::thread([&] {
      for (void*& block : reused) block = json_pool::Allocate(size);
    }).join();

    const std::set<void*> freed(made.begin(), made.end());
    const auto handedBack =
        std::count_if(reused.begin(), reused.end(), [&](void* block) { return freed.count(block); });
    EXPECT_EQ(handedBack, kBlocks) << "size " << size;
    EXPECT_EQ(std::set<void*>(reused.begin(), reused.end()).size(), std::size_t{kBlocks}) << "size " << size;
    std::thread([&] {
      for (void* block : reused) json_pool::Release(block, size);
    }).join();
  }
}

// Threads allocate, stamp and free blocks of all sizes and free each other's
// blocks while they do. A block handed out twice, or handed out while it is
// still in use, shows as an address already live or as a stamp overwritten.
TEST(JsonPool, NoBlockIsHandedOutTwiceWhileThreadsTradeBlocks) {
  constexpr int kThreads = 4;
  constexpr int kRounds = StressCount(20000);
  struct Block {
    unsigned char* Memory;
    std::size_t Size;
    unsigned char Stamp;
  };
  std::mutex mutex;  // guards live and mailbox
  std::set<void*> live;
  std::vector<Block> mailbox;  // blocks left for another thread to free
  std::atomic<int> handedOutTwice{0};
  std::atomic<int> overwritten{0};

  auto release = [&](const Block& block) {
    if (!std::all_of(block.Memory, block.Memory + block.Size, [&](unsigned char b) { return b == block.Stamp; })) {
      ++overwritten;
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      live.erase(block.Memory);
    }
    json_pool::Release(block.Memory, block.Size);
  };

  auto work = [&](int thread) {
    std::mt19937 random(static_cast<unsigned>(thread) + 1);
    std::vector<Block> mine;
    for (int round = 0; round < kRounds; ++round) {
      const std::size_t size = 1 + random() % (json_pool::kMaxPooledBlock + 16);
      Block block{static_cast<unsigned char*>(json_pool::Allocate(size)), size,
                  static_cast<unsigned char>(thread * 64 + round % 64)};
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (!live.insert(block.Memory).second) ++handedOutTwice;
      }
      std::memset(block.Memory, block.Stamp, size);
      mine.push_back(block);
      if (random() % 3 == 0) {  // give one away, take one given
        std::optional<Block> taken;
        {
          std::lock_guard<std::mutex> lock(mutex);
          mailbox.push_back(mine.back());
          if (mailbox.size() > 1) {
            taken = mailbox.front();
            mailbox.erase(mailbox.begin());
          }
        }
        mine.pop_back();
        if (taken) release(*taken);
      }
      if (mine.size() > 32) {
        release(mine.front());
        mine.erase(mine.begin());
      }
    }
    for (const Block& block : mine) release(block);
  };

  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) threads.emplace_back(work, thread);
  for (std::thread& thread : threads) thread.join();
  for (const Block& block : mailbox) release(block);

  EXPECT_EQ(handedOutTwice.load(), 0);
  EXPECT_EQ(overwritten.load(), 0);
  EXPECT_TRUE(live.empty());
}

// AddressSanitizer builds keep the pool and poison what it holds free: a stale
// pointer into a freed tree is reported, from the free lists and from an arena.
TEST(JsonPoolDeathTest, UseOfAFreedPooledBlockIsReported) {
  if (!json_pool::kPoisonsFreeBlocks) GTEST_SKIP() << "only AddressSanitizer builds poison free blocks";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string large = LargeDocumentText(400);
  const struct {
    const char* What;
    std::function<void()> UseAfterFree;
  } cases[] = {
      {"a node",
       [] {
         auto object = ParseObject(R"({"Info":"Eintrag","Copies":2})");
         auto* stale = JSONAs<TWBJSONstring>(object->MemberByName("Info"));
         object.reset();
         volatile char16_t first = stale->Value()[0];
         (void)first;
       }},
      {"a string value",
       [] {
         auto object = ParseObject(R"({"Info":"ein Name, der nicht in den Knoten passt"})");
         const char16_t* stale = JSONAs<TWBJSONstring>(object->MemberByName("Info"))->Value().data();
         object.reset();
         volatile char16_t first = stale[0];
         (void)first;
       }},
      {"a node of a document arena",
       [&large] {
         auto document = ParseObject(large);
         TWBCustomJSON* stale = JSONAs<TWBSONList>(document->MemberByName("Items"))->ChildAt(7);
         document.reset();
         volatile int32_t copies = stale->IntegerByName("Copies");
         (void)copies;
       }},
  };
  for (const auto& c : cases) {
    EXPECT_DEATH(c.UseAfterFree(), "use-after-poison") << c.What;
  }
}

}  // namespace
}  // namespace wb::test
