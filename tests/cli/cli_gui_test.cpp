#include "cli/cli.h"
#include "cli_harness.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarnwick::cli {
namespace {

namespace fs = std::filesystem;
using TempDir = test::CliTempDir;
using Outcome = test::CliOutcome;

Outcome Cli(const std::vector<std::string> &args) { return test::RunInProcess(args); }

std::string Data(const char *name) { return std::string(TARNWICK_TEST_DATA "/") + name; }

TEST(DocsCli, InfoPrintsWhatTheEditorShowsAfterOpening) {
  const Outcome amp = Cli({"info", Data("amp.twk")});
  EXPECT_EQ(amp.status, ExitOk);
  EXPECT_EQ(amp.out, "name: Test board\ntraces: 4\npins: 12\ncomponents: 3\ndropped: 0\n");
  EXPECT_EQ(amp.err, "");

  // Pins as the board has them (50 stored, 40 at most), the entry without a position dropped.
  const Outcome hand = Cli({"info", Data("handmade.twk")});
  EXPECT_EQ(hand.status, ExitOk);
  EXPECT_EQ(hand.out, "name: Verst\xC3\xA4rker\ntraces: 3\npins: 40\ncomponents: 1\ndropped: 1\n");

  TempDir dir;
  const std::string notes = dir.File("notes.txt");
  test::WriteBytes(notes, "Name=shopping\nTraceCount=3\n");
  const std::vector<std::pair<std::string, std::string>> bad = {
      {dir.File("missing.twk"), "Unable to read " + dir.File("missing.twk")},
      {dir.path.string(), "Unable to open " + dir.path.string() + ": it is not a regular file"},
      {"/dev/zero", "Unable to open /dev/zero: it is not a regular file"},
      {notes, notes + " is not a Tarnwick layout: it has no [Schematic] section"},
  };
  for (const auto &[file, message] : bad) {
    const Outcome r = Cli({"info", file});
    EXPECT_EQ(r.status, ExitError);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarnwick-cli: " + message + "\n");
  }
  // The batch program reads more parts than the editor opens.
  const std::string many = dir.File("many.twk");
  test::WriteBytes(many, "[Schematic]\r\nPartCount=100001\r\n");
  EXPECT_EQ(Cli({"info", many}).out,
            "name: \ntraces: 40\npins: 20\ncomponents: 0\ndropped: 100001\n");
  const Outcome big = Cli({"info", Data("too_many_traces.twk")});
  EXPECT_EQ(big.status, ExitError);
  EXPECT_EQ(big.err, "tarnwick-cli: Unable to open " + Data("too_many_traces.twk") +
                         ": TraceCount 20000 is above the limit of 10000\n");
}

TEST(DocsCli, ResaveWritesOnlyOnSuccess) {
  TempDir dir;
  // A layout the editor wrote comes back byte for byte.
  const std::string out = dir.File("copy.twk");
  EXPECT_EQ(Cli({"resave", Data("amp.twk"), out}).status, ExitOk);
  EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(Data("amp.twk")));
  // A hand-kept file comes back in the editor's own form, its 8-bit text kept as 8-bit text.
  EXPECT_EQ(Cli({"resave", Data("handmade.twk"), out}).status, ExitOk);
  EXPECT_EQ(test::ReadBytes(out), "[Schematic]\r\nVersion=1\r\nPartCount=1\r\nTraceCount=3\r\n"
                                  "PinCount=40\r\nName=Verst\xE4rker\r\nTrace1.Name=+9V\r\n"
                                  "Trace2.Name=\r\nTrace3.Name=\r\nKomp1.Name=C1\r\n"
                                  "Komp1.StartTrace=1\r\nKomp1.EndTrace=2\r\nKomp1.StartPin=4\r\n"
                                  "Komp1.KompTyp=7\r\nKomp1.CapWidth=1\r\n");
  const std::string before = test::ReadBytes(out);

  // An input that cannot be opened writes nothing, not even over an existing output.
  for (const std::string &input : {dir.File("none.twk"), Data("too_many_traces.twk")}) {
    const Outcome r = Cli({"resave", input, out});
    EXPECT_EQ(r.status, ExitError);
    EXPECT_EQ(r.err.rfind("tarnwick-cli: ", 0), 0u) << r.err;
    EXPECT_EQ(test::ReadBytes(out), before);
  }
  const Outcome fresh = Cli({"resave", dir.File("none.twk"), dir.File("new.twk")});
  EXPECT_EQ(fresh.status, ExitError);
  EXPECT_FALSE(fs::exists(dir.File("new.twk")));

  // An output that cannot be written: the editor's message, nothing left behind.
  fs::create_directory(dir.path / "folder.twk");
  for (const std::string &target : {dir.File("no/such/dir.twk"), dir.File("folder.twk")}) {
    const Outcome r = Cli({"resave", Data("amp.twk"), target});
    EXPECT_EQ(r.status, ExitError);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarnwick-cli: Unable to write to " + target + "\n");
  }
  EXPECT_EQ(dir.Entries().size(), 2u); // copy.twk and folder.twk
  EXPECT_TRUE(fs::is_empty(dir.path / "folder.twk"));
}

TEST(DocsCli, BadArgumentsAreUsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate", "a.twk"},
      {"info"},
      {"info", "a.twk", "b.twk"},
      {"resave", "a.twk"},
      {"info", "--flow", "a.twk"},
      {"--help", "info"},
  };
  for (const auto &args : bad) {
    const Outcome r = Cli(args);
    EXPECT_EQ(r.status, ExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("tarnwick-cli: ", 0), 0u);
    EXPECT_NE(r.err.find(Usage()), std::string::npos);
  }
  const Outcome help = Cli({"--help"});
  EXPECT_EQ(help.status, ExitOk);
  EXPECT_EQ(help.out, Usage());
  EXPECT_EQ(help.err, "");
  for (const char *command : {"info LAYOUT", "resave LAYOUT OUT", "--help"})
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  // "--" ends the options, so a file whose name starts with "-" can still be named.
  EXPECT_EQ(Cli({"info", "--", "-no-such.twk"}).err, "tarnwick-cli: Unable to read -no-such.twk\n");
}

// The real program: statuses, the two output streams, and no display needed.
TEST(DocsCli, TheProgramRunsWithoutADisplay) {
  const auto run = [](const QStringList &args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TARNWICK_CLI_PROGRAM), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return Outcome{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                   p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
  };
  const Outcome info = run({QStringLiteral("info"), QString::fromStdString(Data("amp.twk"))});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out, "name: Test board\ntraces: 4\npins: 12\ncomponents: 3\ndropped: 0\n");
  const Outcome help = run({QStringLiteral("--help")});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, Usage());
  const Outcome usage = run({QStringLiteral("info")});
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.out, "");
  EXPECT_NE(usage.err.find(Usage()), std::string::npos);
  const Outcome missing = run({QStringLiteral("info"), QStringLiteral("/nonexistent/x.twk")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "tarnwick-cli: Unable to read /nonexistent/x.twk\n");
}

} // namespace
} // namespace tarnwick::cli
