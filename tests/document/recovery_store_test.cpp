#include "document/recovery_store.h"

#include "board/board.h"
#include "output/png_file.h"

#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using test::ReadAll;
using test::TempFolder;

const std::string Layout = "[Schematic]\r\nVersion=1\r\nName=amp\r\n";

TEST(RecoveryStore, WritesAWholeCopyAndRemovesIt) {
  TempFolder temp;
  const std::string folder = temp / "state/tarnwick/recovery";
  {
    RecoveryStore store(folder);
    EXPECT_FALSE(std::filesystem::exists(folder)) << "nothing is made before the first copy";
    store.Write(Layout, "/home/u/amp.twk");
    store.Write(Layout + "PartCount=0\r\n", "/home/u/amp.twk");
    EXPECT_EQ(ReadAll(store.CopyFile()), Layout + "PartCount=0\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the copies are the user's alone";
    store.Remove();
    EXPECT_FALSE(store.HasCopy());
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder)) << "a clean end leaves nothing behind";
}

TEST(RecoveryStore, AFolderThatCannotBeMadeIsReportedAndLosesNothing) {
  TempFolder temp;
  test::WriteAll(temp / "file", "x");
  RecoveryStore store(temp / "file/recovery");
  EXPECT_THROW(store.Write(Layout, ""), TarnwickError);
  EXPECT_NO_THROW(store.Remove());
  RecoveryStore nowhere("");
  EXPECT_THROW(nowhere.Write(Layout, ""), TarnwickError);
}

// The copies of one editor are offered only once it is gone, and then to one other editor at
// a time, which may restore (adopt), discard or leave each.
TEST(RecoveryStore, OnlyCopiesOfGoneEditorsAreOfferedAndToOneEditorAtATime) {
  TempFolder temp;
  const std::string folder = temp / "recovery";
  auto first = std::make_unique<RecoveryStore>(folder);
  first->Write(Layout, "/home/u/amp.twk");
  RecoveryStore second(folder);
  second.Write("second's own", "");
  EXPECT_TRUE(second.ClaimOrphans().empty()) << "the first editor is still running";
  first.reset(); // ends without a clean exit: its copy stays

  RecoveryStore third(folder);
  const std::vector<RecoveryCopy> offered = second.ClaimOrphans();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].OriginalFile, "/home/u/amp.twk");
  EXPECT_EQ(ReadAll(offered[0].CopyFile), Layout);
  EXPECT_TRUE(third.ClaimOrphans().empty()) << "already being offered by the second editor";
  second.Release(offered[0]);
  const std::vector<RecoveryCopy> again = third.ClaimOrphans();
  ASSERT_EQ(again.size(), 1u) << "a copy left alone is offered again";

  third.Adopt(again[0]);
  EXPECT_EQ(ReadAll(third.CopyFile()), Layout);
  EXPECT_TRUE(second.ClaimOrphans().empty()) << "adopted: the third editor's own now";
  third.Write("changed", "");
  third.Remove();
  EXPECT_EQ(second.ClaimOrphans().size(), 0u);
  EXPECT_EQ(ReadAll(second.CopyFile()), "second's own") << "never taken by another editor";
}

TEST(RecoveryStore, AFolderNamedLikeACopyIsNotOffered) {
  TempFolder temp;
  const std::string folder = temp / "recovery";
  std::filesystem::create_directories(folder + "/1234-abcdef01.twk");
  std::filesystem::create_directories(folder + "/99-folder.lock");
  RecoveryStore store(folder);
  EXPECT_TRUE(store.ClaimOrphans().empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/1234-abcdef01.twk"));
}

TEST(RecoveryStore, DiscardDeletesNewestFirstAndLeftoversAreCleaned) {
  TempFolder temp;
  const std::string folder = temp / "recovery";
  std::string olderCopy, newerCopy;
  {
    RecoveryStore older(folder), newer(folder);
    older.Write("older", "");
    newer.Write("newer", "/b.twk");
    olderCopy = older.CopyFile();
    newerCopy = newer.CopyFile();
    const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(olderCopy, past);
  }
  // A gone editor that crashed before it wrote a copy leaves its lock file.
  test::WriteAll(folder + "/1-deadbeef.lock", "");
  // A lock file removed by hand does not hide its copy.
  std::filesystem::remove(olderCopy.substr(0, olderCopy.size() - 4) + ".lock");
  RecoveryStore store(folder);
  const std::vector<RecoveryCopy> offered = store.ClaimOrphans();
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0].CopyFile, newerCopy);
  EXPECT_EQ(offered[0].OriginalFile, "/b.twk");
  EXPECT_EQ(offered[1].CopyFile, olderCopy);
  EXPECT_EQ(offered[1].OriginalFile, "");
  for (const RecoveryCopy &c : offered)
    store.Discard(c);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// A real editor process that dies by SIGKILL: its lock goes with it.
TEST(RecoveryStore, AKilledEditorsCopyIsOfferedAfterItDies) {
  TempFolder temp;
  const std::string folder = temp / "recovery";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecoveryStore store(folder);
    store.Write(Layout, "/home/u/amp.twk");
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char x;
  ASSERT_EQ(::read(ready[0], &x, 1), 1);
  RecoveryStore store(folder);
  EXPECT_TRUE(store.ClaimOrphans().empty()) << "the editor still runs";
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  const std::vector<RecoveryCopy> offered = store.ClaimOrphans();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(ReadAll(offered[0].CopyFile), Layout);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(RecoveryStore, StateFolderFollowsXdg) {
  EXPECT_EQ(RecoveryFolder("/s", "/h"), "/s/tarnwick/recovery");
  EXPECT_EQ(RecoveryFolder(nullptr, "/h"), "/h/.local/state/tarnwick/recovery");
  EXPECT_EQ(RecoveryFolder("relative", "/h"), "/h/.local/state/tarnwick/recovery");
  EXPECT_EQ(RecoveryFolder("", nullptr), "");
}

TEST(RecoverySchedule, CopiesFollowAPauseAtMostEveryTwoSeconds) {
  RecoverySchedule s;
  EXPECT_FALSE(s.DueAt());
  s.Changed(0);
  EXPECT_EQ(s.DueAt(), 1000) << "one second of quiet after the change";
  s.Changed(600);
  EXPECT_EQ(s.DueAt(), 1600) << "a further change restarts the pause";
  s.Written(1600);
  EXPECT_FALSE(s.DueAt());
  s.Changed(1700);
  EXPECT_EQ(s.DueAt(), 3600) << "at least two seconds after the previous copy";
  s.Cleared();
  EXPECT_FALSE(s.DueAt()) << "saved or discarded: no copy due";
  // Changes that never pause still get a copy at most two seconds after the first change not
  // yet in one, every time.
  RecoverySchedule busy;
  std::optional<std::int64_t> firstUnwritten;
  int copies = 0;
  for (std::int64_t t = 0; t < 30000; t += 100) {
    if (busy.DueAt() && *busy.DueAt() <= t) {
      busy.Written(t);
      ++copies;
      firstUnwritten.reset();
    }
    busy.Changed(t);
    if (!firstUnwritten)
      firstUnwritten = t;
    ASSERT_LE(*busy.DueAt(), *firstUnwritten + 2000) << "at " << t;
  }
  EXPECT_GE(copies, 14);
}

} // namespace
} // namespace tarnwick
