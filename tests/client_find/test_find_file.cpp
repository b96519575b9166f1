// The folder walk: what CollectFiles and TFindFile report from a real folder
// tree, with depth limits, filters, attributes and the search's events.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "client/find_file.h"
#include "strings/string_list.h"
#include "support/files.h"
#include "support/temp_env.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

class FindFileTest : public ::testing::Test {
 protected:
  // A file (with its folders) below the test root, name relative with '/'.
  void Touch(const std::string& relative, const std::string& content = "") {
    const fs::path path = env_.Root() / "tree" / relative;
    ASSERT_TRUE(test::WriteBytes(path.string(), content)) << path;
  }
  std::string Tree() { return (env_.Root() / "tree").string(); }

  static std::vector<std::string> Sorted(const TStringList& list) {
    std::vector<std::string> lines;
    for (const auto& item : list.Items()) lines.push_back(item.Text);
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  // Paths of the files found, relative to the tree, sorted.
  std::vector<std::string> Found(TFindFile& finder) {
    std::vector<std::string> found;
    finder.OnFileMatch = [&](TFindFile&, const TFileDetails& details) {
      found.push_back(details.FullPath().substr(Tree().size() + 1));
    };
    finder.Search();
    std::sort(found.begin(), found.end());
    return found;
  }

  test::TempEnv env_;
};

using Paths = std::vector<std::string>;

TEST_F(FindFileTest, CollectFilesFindsLayoutsDirectlyInTheFolderOnly) {
  Touch("X.DA1");
  Touch("y.da1");
  Touch("z.da2");
  Touch(".versteckt.da1");
  Touch("x.da1/inner.txt");  // a folder with the mask's name
  Touch("unter/a.da1");
  TStringList list;
  list.Add("schon da");
  CollectFiles(Tree(), "*.da1", list, false);
  EXPECT_EQ(Sorted(list), (Paths{Tree() + "/X.DA1", Tree() + "/y.da1", "schon da"}));
}

TEST_F(FindFileTest, CollectFilesWithSubfoldersAndLocationForms) {
  Touch("a.da1");
  Touch("unter/b.da1");
  Touch("unter/tief/c.DA1");
  Touch(".versteckt/d.da1");  // a hidden folder is not entered
  TStringList list;
  CollectFiles(Tree() + "/", "*.da1", list, true);
  EXPECT_EQ(Sorted(list), (Paths{Tree() + "/a.da1", Tree() + "/unter/b.da1", Tree() + "/unter/tief/c.DA1"}));

  list.Clear();
  CollectFiles("", "*.da1", list, true);
  EXPECT_EQ(list.Count(), 0);

  // The same folder twice, and a relative path: one target, every file once.
  list.Clear();
  const fs::path saved = fs::current_path();
  fs::current_path(env_.Root());
  CollectFiles(Tree() + ";tree/./unter/..;" + Tree() + "/", "*.da1;*.DA1; ;*.da1", list, false);
  fs::current_path(saved);
  EXPECT_EQ(Sorted(list), (Paths{Tree() + "/a.da1"}));
}

TEST_F(FindFileTest, LevelPrefixesLimitTheDepth) {
  Touch("1.txt");
  Touch("a/2.txt");
  Touch("a/b/3.txt");
  Touch("a/b/c/4.txt");
  struct Case {
    std::string prefix;
    Paths found;
  };
  const std::vector<Case> cases = {
      {"", {"1.txt", "a/2.txt", "a/b/3.txt", "a/b/c/4.txt"}},
      {">", {"1.txt", "a/2.txt", "a/b/3.txt", "a/b/c/4.txt"}},
      {"1>", {"1.txt"}},
      {"2>", {"1.txt", "a/2.txt"}},
      {"2-3>", {"a/2.txt", "a/b/3.txt"}},
      {" 3 - >", {"a/b/3.txt", "a/b/c/4.txt"}},
      {"<", {"1.txt"}},
  };
  for (const Case& c : cases) {
    TFindFile finder;
    finder.Criteria.Files.SetFileName("*.txt");
    finder.Criteria.Files.SetLocation(c.prefix + Tree());
    EXPECT_EQ(Found(finder), c.found) << "prefix '" << c.prefix << "'";
  }
}

TEST_F(FindFileTest, PathsAddTargetsWithTheirOwnMask) {
  Touch("a.txt");
  Touch("b.log");
  Touch("u/c.log");
  TFindFile finder;
  finder.Criteria.Files.SetSubfolders(false);
  finder.Criteria.Files.Paths().Add(Tree() + "/*.log");
  finder.Criteria.Files.Paths().Add("  ");
  EXPECT_EQ(Found(finder), (Paths{"b.log"}));
  finder.Criteria.Files.Paths().Add(">" + Tree() + "/*.txt");  // the list changes: targets are rebuilt
  EXPECT_EQ(Found(finder), (Paths{"a.txt", "b.log", "u/c.log"}));
}

TEST_F(FindFileTest, FiltersAcceptAndRejectByFullPath) {
  Touch("a.bak");
  Touch("a.txt");
  Touch("b.doc");
  Touch("ohne");
  Touch("ohne2");
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  finder.Criteria.Files.Filters().Add("<*.bak");
  finder.Criteria.Files.Filters().Add(">*.txt");
  finder.Criteria.Files.Filters().Add("*2.");  // a name without extension is tested as name + "."
  EXPECT_EQ(Found(finder), (Paths{"a.txt", "b.doc", "ohne"}));
  finder.Criteria.Files.Filters().Clear();
  finder.Criteria.Files.Filters().Add(">*/A.TXT");  // accepts, but does not reject the rest
  EXPECT_EQ(Found(finder).size(), 5u);
}

TEST_F(FindFileTest, AttributeSizeAndContentCriteria) {
  Touch("leer.txt");
  Touch("klein.txt", "abc");
  Touch("gross.txt", std::string(5000, 'x') + "Nadel");
  Touch(".hidden.txt", "Nadel");
  fs::create_symlink(env_.Root() / "tree" / "klein.txt", env_.Root() / "tree" / "link.txt");
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  finder.Criteria.Size.Min = 1;
  EXPECT_EQ(Found(finder), (Paths{"gross.txt", "klein.txt", "link.txt"}));
  finder.Criteria.Size.Max = 10;
  EXPECT_EQ(Found(finder), (Paths{"klein.txt", "link.txt"}));
  finder.Criteria.Size.Clear();

  finder.Criteria.Attributes.Set(TFileAttribute::ReparsePoint, TFileAttributeStatus::fsSet);
  EXPECT_EQ(Found(finder), (Paths{"link.txt"}));
  finder.Criteria.Attributes.Clear();
  finder.Criteria.Attributes.Set(TFileAttribute::Hidden, TFileAttributeStatus::fsSet);
  EXPECT_EQ(Found(finder), (Paths{".hidden.txt"}));
  finder.Criteria.Attributes.Set(TFileAttribute::Hidden, TFileAttributeStatus::fsIgnore);

  finder.Criteria.Content.Phrase = "NADEL";
  EXPECT_EQ(Found(finder), (Paths{".hidden.txt", "gross.txt"}));
  finder.Criteria.Content.Options = csoNegate;
  EXPECT_EQ(Found(finder), (Paths{"klein.txt", "leer.txt", "link.txt"}));
}

TEST_F(FindFileTest, ReadOnlyComesFromTheOwnersWritePermission) {
  Touch("rw.txt");
  Touch("ro.txt");
  fs::permissions(env_.Root() / "tree" / "ro.txt", fs::perms::owner_read | fs::perms::group_read);
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  finder.Criteria.Attributes.Set(TFileAttribute::Readonly, TFileAttributeStatus::fsSet);
  EXPECT_EQ(Found(finder), (Paths{"ro.txt"}));
  finder.Criteria.Attributes.Set(TFileAttribute::Readonly, TFileAttributeStatus::fsUnset);
  EXPECT_EQ(Found(finder), (Paths{"rw.txt"}));
}

TEST_F(FindFileTest, FileDetailsAreFetchedWhenAskedFor) {
  Touch("d.txt", "12345");
  const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(env_.Root() / "tree" / "d.txt", stamp);
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  std::vector<TFileDetails> seen;
  finder.OnFileMatch = [&](TFindFile&, const TFileDetails& details) { seen.push_back(details); };
  finder.Search();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Folder, Tree() + "/");
  EXPECT_EQ(seen[0].Size(), 5u);
  EXPECT_EQ(seen[0].Attributes() & 0x10u, 0u);
  const double now =
      platform::FileTimeToLocalDateTime(static_cast<uint64_t>((std::time(nullptr) + 11644473600LL) * 10000000LL));
  EXPECT_NEAR(now - seen[0].LastWriteTime(), 2.0, 0.01);

  // Modified within the last day: the two-day-old file is not reported.
  finder.Criteria.TimeStamp.ModifiedAfter = now - 1;
  EXPECT_TRUE(Found(finder).empty());
  finder.Criteria.TimeStamp.ModifiedAfter = 0;
  finder.Criteria.TimeStamp.ModifiedBefore = std::floor(now) - 1;  // a date without time: up to yesterday
  EXPECT_EQ(Found(finder), (Paths{"d.txt"}));
}

TEST_F(FindFileTest, EventsFolderAnswersAndStop) {
  Touch("a.txt");
  Touch("u/b.txt");
  Touch("u/v/c.txt");
  Touch("w/d.txt");
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  std::vector<std::string> log;
  finder.OnSearchBegin = [&](TFindFile& sender) { log.push_back(sender.Busy() ? "begin" : "begin?"); };
  finder.OnSearchFinish = [&](TFindFile& sender) { log.push_back(sender.Busy() ? "finish?" : "finish"); };
  finder.OnFolderChange = [&](TFindFile& sender, const std::string& folder, TFolderIgnore& ignore) {
    const std::string name = folder.substr(Tree().size());
    log.push_back(std::to_string(sender.Level()) + name);
    if (name == "/u/") ignore = IgnoreFiles;
    if (name == "/w/") ignore = IgnoreAll;
  };
  EXPECT_EQ(Found(finder), (Paths{"a.txt", "u/v/c.txt"}));
  std::vector<std::string> folders(log.begin() + 1, log.end() - 1);
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(log.front(), "begin");
  EXPECT_EQ(log.back(), "finish");
  EXPECT_EQ(folders, (Paths{"1/", "2/u/", "2/w/", "3/u/v/"}));

  // A stop from a handler ends the search after the current file.
  int reported = 0;
  finder.OnFolderChange = nullptr;
  finder.OnFileMatch = [&](TFindFile& sender, const TFileDetails&) {
    ++reported;
    sender.StopSearch();
  };
  finder.Search();
  EXPECT_EQ(reported, 1);
  EXPECT_FALSE(finder.Busy());
}

TEST_F(FindFileTest, HandlerErrorsPassAfterTheEndSteps) {
  Touch("a.txt");
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  bool finished = false;
  finder.OnSearchFinish = [&](TFindFile&) { finished = true; };
  finder.OnFileMatch = [](TFindFile&, const TFileDetails&) { throw std::runtime_error("Handler"); };
  EXPECT_THROW(finder.Search(), std::runtime_error);
  EXPECT_TRUE(finished);
  EXPECT_FALSE(finder.Busy());
  // A search inside a running one returns at once.
  int inner = 0;
  finder.OnFileMatch = [&](TFindFile& sender, const TFileDetails&) {
    ++inner;
    sender.Search();
  };
  finder.Search();
  EXPECT_EQ(inner, 1);
}

TEST_F(FindFileTest, LinkedFoldersThatLeadBackAreSearchedOnce) {
  Touch("a/x.txt");
  fs::create_directory_symlink(env_.Root() / "tree", env_.Root() / "tree" / "a" / "zurueck");
  fs::create_directory_symlink(env_.Root() / "tree" / "a", env_.Root() / "tree" / "a" / "selbst");
  TFindFile finder;
  finder.Criteria.Files.SetLocation(Tree());
  EXPECT_EQ(Found(finder), (Paths{"a/x.txt"}));
}

TEST_F(FindFileTest, AMissingFolderYieldsNothingAndTheSearchGoesOn) {
  Touch("a.txt");
  TStringList list;
  CollectFiles(Tree() + "/fehlt;" + Tree(), "*.txt", list, true);
  EXPECT_EQ(Sorted(list), (Paths{Tree() + "/a.txt"}));
}

TEST_F(FindFileTest, CriteriaCopiesAndDefaults) {
  TSearchCriteria criteria;
  EXPECT_EQ(criteria.Attributes.MustBeUnset(), 0x16u);
  EXPECT_EQ(criteria.Attributes.Get(TFileAttribute::Hidden), TFileAttributeStatus::fsUnset);
  criteria.Attributes.Set(TFileAttribute::Hidden, TFileAttributeStatus::fsAnySet);
  EXPECT_EQ(criteria.Attributes.MustBeUnset(), 0x14u);
  EXPECT_EQ(criteria.Attributes.AnySet(), 0x2u);
  criteria.Files.SetLocation("/a;/b");
  criteria.Files.Filters().Add("*.x");
  criteria.Files.TargetPaths();
  TSearchCriteria copy = criteria;
  EXPECT_EQ(&copy.Files.TargetPaths() == &criteria.Files.TargetPaths(), true);  // built once, shared
  copy.Files.SetLocation("/c");
  EXPECT_EQ(copy.Files.TargetPaths().size(), 1u);
  EXPECT_EQ(criteria.Files.TargetPaths().size(), 2u);
  EXPECT_EQ(copy.Files.Filters().Count(), 1);
  copy.Clear();
  EXPECT_TRUE(copy.Files.Location().empty());
  EXPECT_EQ(copy.Files.Filters().Count(), 0);
  EXPECT_EQ(copy.Attributes.MustBeUnset(), 0x16u);
  EXPECT_TRUE(copy.Files.Subfolders());
}

TEST(AttributesCriteriaTest, EveryStatusTestsItsMask) {
  struct Case {
    TFileAttributeStatus status;
    uint32_t attributes;
    bool matches;
  };
  const Case cases[] = {
      {TFileAttributeStatus::fsSet, 0x21, true},      {TFileAttributeStatus::fsSet, 0x20, false},
      {TFileAttributeStatus::fsUnset, 0x20, true},    {TFileAttributeStatus::fsUnset, 0x01, false},
      {TFileAttributeStatus::fsAnySet, 0x04, true},   {TFileAttributeStatus::fsAnySet, 0x20, false},
      {TFileAttributeStatus::fsAnyUnset, 0x01, true}, {TFileAttributeStatus::fsAnyUnset, 0x05, false},
  };
  for (const Case& c : cases) {
    TAttributesCriteria criteria;
    criteria.Set(TFileAttribute::Hidden, TFileAttributeStatus::fsIgnore);
    criteria.Set(TFileAttribute::System, TFileAttributeStatus::fsIgnore);
    criteria.Set(TFileAttribute::Readonly, c.status);
    if (c.status == TFileAttributeStatus::fsAnySet || c.status == TFileAttributeStatus::fsAnyUnset)
      criteria.Set(TFileAttribute::System, c.status);
    EXPECT_EQ(criteria.Matches(c.attributes), c.matches) << static_cast<int>(c.status) << " " << c.attributes;
  }
}

TEST(DateTimeCriteriaTest, BoundsWithoutDateOrTimeCompareOnlyTheirPart) {
  TDateTimeCriteria criteria;
  const double day = 45000, morning = 45000.25, evening = 45000.75;
  criteria.ModifiedBefore = 0.5;  // noon, any day
  EXPECT_TRUE(criteria.Matches(0, morning, 0));
  EXPECT_FALSE(criteria.Matches(0, evening, 0));
  criteria.ModifiedBefore = day;  // up to and including that date
  EXPECT_TRUE(criteria.Matches(0, evening, 0));
  EXPECT_FALSE(criteria.Matches(0, day + 1.1, 0));
  criteria.ModifiedBefore = 0;
  criteria.CreatedAfter = day + 0.5;  // an exact moment
  EXPECT_FALSE(criteria.Matches(morning, 0, 0));
  EXPECT_TRUE(criteria.Matches(evening, 0, 0));
}

}  // namespace
}  // namespace wb
