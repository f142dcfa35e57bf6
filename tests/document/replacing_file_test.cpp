// Who may replace which file: the rights of the user saving, asked of the system, decide.
#include "document/layout_file.h"
#include "document/replacing_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

std::string Slurp(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A file with the given content, owner and permission bits.
void Make(const fs::path &p, const std::string &bytes, uid_t owner, gid_t group, mode_t mode) {
  std::ofstream(p, std::ios::binary) << bytes;
  ASSERT_EQ(::chown(p.c_str(), owner, group), 0);
  ASSERT_EQ(::chmod(p.c_str(), mode), 0);
}

struct stat Stat(const fs::path &p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return st;
}

std::vector<std::string> Names(const fs::path &dir) {
  std::vector<std::string> names;
  for (const auto &e : fs::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs the steps as the unprivileged user "nobody" in a child process; returns what each step
// reported, one line each ("ok" or the error's message), or nullopt when the child could not
// drop its rights.
std::optional<std::vector<std::string>> AsNobody(const std::vector<std::function<void()>> &steps) {
  int out[2];
  if (::pipe(out) != 0)
    return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(out[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(NoGroup) != 0 || ::setuid(Nobody) != 0)
      ::_exit(3);
    std::string report;
    for (const auto &step : steps) {
      try {
        step();
        report += "ok\n";
      } catch (const std::exception &e) {
        report += std::string(e.what()) + "\n";
      }
    }
    (void)!::write(out[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(out[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return std::nullopt;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

TEST(ReplacingFile, TheUsersRightsDecideWhatIsReplaced) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "needs root, to prepare files of other users and to drop to nobody";
  std::string pattern = (fs::temp_directory_path() / "tarnwick-rights-XXXXXX").string();
  const fs::path dir = ::mkdtemp(pattern.data());
  ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
  const fs::path shared = dir / "shared", locked = dir / "locked", sticky = dir / "sticky";
  fs::create_directory(shared);
  fs::create_directory(locked);
  fs::create_directory(sticky);
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(locked.c_str(), 0755), 0);
  // Like /tmp: anyone may create files, only a file's owner may replace it.
  ASSERT_EQ(::chmod(sticky.c_str(), 01777), 0);
  Make(sticky / "common.twk", "old common", 0, 0, 0666);
  Make(shared / "mine.twk", "old mine", Nobody, NoGroup, 0444);
  Make(shared / "theirs.twk", "old theirs", 0, 0, 0644);
  Make(locked / "open.twk", "old open", 0, 0, 0666);
  Make(locked / "small.twk", "0123456789", 0, 0, 0666);

  Board board;
  board.InitBoard(3, 10);
  const std::string layout = FormatLayout(board, "new");
  const auto save = [&board](const fs::path &p) { WriteLayoutFile(p.string(), board, "new"); };
  const auto report = AsNobody({
      [&] { save(shared / "mine.twk"); },
      [&] { save(shared / "theirs.twk"); },
      [&] { save(locked / "open.twk"); },
      [&] { save(sticky / "common.twk"); },
      [&] {
        // The disk fills up half-way through rewriting the file in place.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ReplaceFileContent((locked / "small.twk").string(), std::string(1000, 'x'));
      },
      [&] { ReplaceFileContent((locked / "new.png").string(), "png"); },
  });
  if (!report) {
    fs::remove_all(dir);
    GTEST_SKIP() << "the test could not run as the user nobody";
  }
  const std::vector<std::string> expected = {
      "Unable to write to " + (shared / "mine.twk").string(),
      "Unable to write to " + (shared / "theirs.twk").string(),
      "ok",
      "ok",
      "Stream write error",
      "Cannot create file \"" + (locked / "new.png").string() + "\". Permission denied",
  };
  EXPECT_EQ(*report, expected);
  // Refused before anything was written, owner and bits unchanged.
  EXPECT_EQ(Slurp(shared / "mine.twk"), "old mine");
  EXPECT_EQ(Stat(shared / "mine.twk").st_mode & 07777, 0444u);
  EXPECT_EQ(Slurp(shared / "theirs.twk"), "old theirs");
  EXPECT_EQ(Stat(shared / "theirs.twk").st_uid, 0u);
  EXPECT_EQ(Names(shared), (std::vector<std::string>{"mine.twk", "theirs.twk"}));
  // Rewritten in place: still root's file; the failed rewrite has its old bytes back.
  EXPECT_EQ(Slurp(locked / "open.twk"), layout);
  EXPECT_EQ(Stat(locked / "open.twk").st_uid, 0u);
  EXPECT_EQ(Stat(locked / "open.twk").st_mode & 07777, 0666u);
  EXPECT_EQ(Slurp(locked / "small.twk"), "0123456789");
  EXPECT_EQ(Names(locked), (std::vector<std::string>{"open.twk", "small.twk"}));
  // The sticky folder refused the rename: the file was rewritten where it is, root's still.
  EXPECT_EQ(Slurp(sticky / "common.twk"), layout);
  EXPECT_EQ(Stat(sticky / "common.twk").st_uid, 0u);
  EXPECT_EQ(Names(sticky), std::vector<std::string>{"common.twk"});

  // Root keeps its rights: a read-only file is replaced, and keeps its owner, group and bits.
  save(shared / "mine.twk");
  EXPECT_EQ(Slurp(shared / "mine.twk"), layout);
  const struct stat mine = Stat(shared / "mine.twk");
  EXPECT_EQ(mine.st_uid, Nobody);
  EXPECT_EQ(mine.st_gid, NoGroup);
  EXPECT_EQ(mine.st_mode & 07777, 0444u);
  fs::remove_all(dir);
}

// A file known under several names (hard links) is one file: saving under one name changes it
// for all of them, and a failed save leaves it whole under all of them.
TEST(ReplacingFile, HardLinkedFilesAreRewrittenWhereTheyAre) {
  std::string pattern = (fs::temp_directory_path() / "tarnwick-links-XXXXXX").string();
  const fs::path dir = ::mkdtemp(pattern.data());
  const fs::path main = dir / "amp.twk", other = dir / "backup.twk";
  std::ofstream(main, std::ios::binary) << "old";
  fs::create_hard_link(main, other);
  const ino_t inode = Stat(main).st_ino;

  ReplaceFileContent(main.string(), "new content");
  EXPECT_EQ(Slurp(other), "new content");
  EXPECT_EQ(Stat(main).st_ino, inode);
  EXPECT_EQ(Stat(main).st_nlink, 2u);
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"amp.twk", "backup.twk"}));

  // A save that stops half-way puts the old bytes back, under both names.
  try {
    ReplacingFile f(other.string());
    f.Write("partial");
    throw TarnwickError("stopped");
  } catch (const TarnwickError &) {
  }
  EXPECT_EQ(Slurp(main), "new content");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"amp.twk", "backup.twk"}));
  fs::remove_all(dir);
}

} // namespace
} // namespace tarnwick
