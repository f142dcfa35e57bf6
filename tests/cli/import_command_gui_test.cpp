// tarnwick-cli import: File > Import Netlist as the first import after start, then Save as.
#include "cli_harness.h"
#include "document/layout_file.h"
#include "netlist/netlist_import.h"
#include "support/scripted_prompts.h"
#include "ui/main_form.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace tarnwick::cli::test {
namespace {

const std::string Examples = TARNWICK_TEST_DATA "/../../examples/";
const std::string WorkedExample = TARNWICK_TEST_DATA "/netlist/worked_example.net";

// What the editor writes when it imports the netlist right after starting and saves the
// result; "" when the import stopped with an error, which goes into *error.
std::string EditorImport(const std::string &netlist, const std::string &saveAs,
                         std::string *error = nullptr) {
  ResetProcessNetlistRandomForTesting();
  ScriptedPrompts prompts;
  TMainForm form(prompts);
  form.CreateDialogs();
  prompts.OpenNames = {QString::fromStdString(netlist)};
  const QString message = RunReportingError([&] { form.ImportNetlist1Click(); });
  if (error)
    *error = message.toStdString();
  if (!message.isEmpty())
    return "";
  EXPECT_EQ(form.Edit3->text(), QString());
  form.SaveLayout(QString::fromStdString(saveAs));
  return ReadBytes(saveAs);
}

TEST(NetlistCli, ImportSavesWhatTheEditorsFirstImportBuilds) {
  CliTempDir dir;
  for (const std::string &netlist :
       {WorkedExample, Examples + "amplifier_stage.net", Examples + "astable_555.net"}) {
    const std::string out = dir.File("cli.twk");
    const CliOutcome r = RunInProcess({"import", netlist, out});
    EXPECT_EQ(r.status, ExitOk) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadBytes(out), EditorImport(netlist, dir.File("editor.twk"))) << netlist;
    // Each run is a first import after start: a second one gives the same layout.
    EXPECT_EQ(RunInProcess({"import", netlist, dir.File("again.twk")}).status, ExitOk);
    EXPECT_EQ(ReadBytes(dir.File("again.twk")), ReadBytes(out)) << netlist;
  }

  // The worked example: pin rows 11, 0, 17, 4 for the wire and the three parts, no name.
  ASSERT_EQ(RunInProcess({"import", WorkedExample, dir.File("w.twk")}).status, ExitOk);
  const LayoutData w = ReadLayoutFile(dir.File("w.twk"));
  EXPECT_EQ(w.Name, "");
  EXPECT_EQ(w.TraceCount, 60);
  EXPECT_EQ(w.PinCount, 30);
  ASSERT_EQ(w.Components.size(), 7u);
  const int pins[] = {10, 10, 10, 11, 0, 17, 4};
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_EQ(w.Components[i].StartPin, pins[i]) << i;

  // The example layout shipped next to the netlist is that import, under a name.
  std::string shipped = ReadBytes(Examples + "amplifier_stage.twk");
  const std::string named = "Name=Common-emitter amplifier (imported)\r\n";
  ASSERT_NE(shipped.find(named), std::string::npos);
  shipped.replace(shipped.find(named), named.size(), "Name=\r\n");
  ASSERT_EQ(RunInProcess({"import", Examples + "amplifier_stage.net", dir.File("a.twk")}).status,
            ExitOk);
  EXPECT_EQ(ReadBytes(dir.File("a.twk")), shipped);

  // A netlist without element lines gives the empty 60 x 30 board, as in the editor.
  WriteBytes(dir.File("empty.net"), "* nothing here\n.end\n");
  EXPECT_EQ(RunInProcess({"import", dir.File("empty.net"), dir.File("e.twk")}).status, ExitOk);
  EXPECT_EQ(ReadBytes(dir.File("e.twk")),
            EditorImport(dir.File("empty.net"), dir.File("editor-empty.twk")));
  EXPECT_EQ(ReadLayoutFile(dir.File("e.twk")).TraceCount, 60);
}

TEST(NetlistCli, ImportErrorsAreTheEditorsAndSaveNothing) {
  CliTempDir dir;
  const std::string out = dir.File("out.twk");
  WriteBytes(out, "an older layout");

  std::string eight;
  for (int q = 1; q <= 8; ++q)
    eight += "q" + std::to_string(q) + " c" + std::to_string(q) + " b e bc547\n";
  WriteBytes(dir.File("eight.net"), eight);
  WriteBytes(dir.File("short.net"), "* a resistor short of a field\nr1 a b\n");
  std::string huge;
  for (int r = 0; r <= 10000; ++r)
    huge += "r" + std::to_string(r) + " a b 1k\n";
  WriteBytes(dir.File("huge.net"), huge);
  WriteBytes(dir.File("long.net"), "r1 a b " + std::string(5000, '9') + "\n");

  const std::vector<std::pair<std::string, std::string>> failing = {
      {"eight.net", "too many transistors"},
      {"short.net", "Assertion failure: line 2 of the netlist has too few fields: \"r1 a b\""},
      {"huge.net", dir.File("huge.net") + " has more than 10000 parts; nothing was imported."},
      {"long.net", "Line 1 of " + dir.File("long.net") +
                       " is longer than 4096 characters; nothing was imported."},
  };
  for (const auto &[name, message] : failing) {
    const CliOutcome r = RunInProcess({"import", dir.File(name), out});
    EXPECT_EQ(r.status, ExitError) << name;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarnwick-cli: " + message + "\n");
    // The editor stops with the same words.
    std::string editorMessage;
    EditorImport(dir.File(name), dir.File("editor.twk"), &editorMessage);
    EXPECT_EQ(editorMessage, message);
    // A partial import is not saved, not even over an older file.
    EXPECT_EQ(ReadBytes(out), "an older layout") << name;
  }

  // A netlist that cannot be read is an error here (the editor shows an empty board).
  fs::create_directory(dir.path / "folder.net");
  for (const std::string &input : {dir.File("none.net"), dir.File("folder.net")}) {
    const CliOutcome r = RunInProcess({"import", input, dir.File("new.twk")});
    EXPECT_EQ(r.status, ExitError);
    EXPECT_EQ(r.err, "tarnwick-cli: Unable to read " + input + "\n");
  }

  // An output that cannot be written: the layout writer's message, nothing left behind.
  for (const std::string &target : {dir.File("no/such/dir.twk"), dir.File("folder.net")}) {
    const CliOutcome r = RunInProcess({"import", WorkedExample, target});
    EXPECT_EQ(r.status, ExitError);
    EXPECT_EQ(r.err, "tarnwick-cli: Unable to write to " + target + "\n");
  }
  EXPECT_TRUE(fs::is_empty(dir.path / "folder.net"));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"eight.net", "folder.net", "huge.net",
                                                     "long.net", "out.twk", "short.net"}));

  for (const std::vector<std::string> &bad :
       std::vector<std::vector<std::string>>{{"import", WorkedExample},
                                             {"import", WorkedExample, out, "extra"},
                                             {"import", "--flow", WorkedExample, out}}) {
    const CliOutcome r = RunInProcess(bad);
    EXPECT_EQ(r.status, ExitUsage);
    EXPECT_NE(r.err.find(Usage()), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(out), "an older layout");
  EXPECT_NE(Usage().find("import NETLIST LAYOUT"), std::string::npos);
}

} // namespace
} // namespace tarnwick::cli::test
