// File > Export Cut List and Export Parts List, and tarnwick-cli cuts and parts: the same
// bytes from the menu and from the batch program.
#include "cli_harness.h"
#include "document/layout_file.h"
#include "output/u_print.h"
#include "support/scripted_prompts.h"
#include "ui/main_form.h"

#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace tarnwick::cli::test {
namespace {

const std::string Examples = TARNWICK_TEST_DATA "/../../examples/";
const std::string Flasher = Examples + "led_flasher_555.twk";

struct Editor {
  ScriptedPrompts prompts;
  TMainForm form{prompts};
  explicit Editor(const std::string &layout) {
    form.CreateDialogs();
    if (!layout.empty())
      form.LoadLayout(QString::fromStdString(layout));
  }
  QString Run(void (TMainForm::*command)(), const std::string &file) {
    prompts.SaveNames = {QString::fromStdString(file)};
    return RunReportingError([&] { (form.*command)(); });
  }
  void SetCopperSide(bool on) {
    form.findChild<TPrintForm *>()
        ->findChild<QCheckBox *>(QStringLiteral("CheckBox2"))
        ->setChecked(on);
  }
};

} // namespace

TEST(AssemblyCommands, SitInTheFileMenuUnderExportImage) {
  ScriptedPrompts prompts;
  TMainForm form(prompts);
  QMenu *file = nullptr;
  for (QAction *a : form.menuBar()->actions())
    if (a->text() == "&File")
      file = a->menu();
  ASSERT_TRUE(file);
  QStringList captions;
  for (QAction *a : file->actions())
    captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
  const int at = int(captions.indexOf(QStringLiteral("Export Image...")));
  ASSERT_GE(at, 0);
  EXPECT_EQ(captions.mid(at, 5), (QStringList{"Export Image...", "Export Cut List...",
                                              "Export Parts List...", "-", "Print..."}));
  for (QAction *a : file->actions())
    EXPECT_TRUE(a->isEnabled());
}

TEST(AssemblyCommands, MenuAndBatchWriteTheSameBytes) {
  CliTempDir dir;
  for (const char *name : {"led_flasher_555", "regulator_5v", "amplifier_stage"}) {
    SCOPED_TRACE(name);
    const std::string layout = Examples + name + ".twk";
    Editor editor(layout);
    const CliOutcome cuts = RunInProcess({"cuts", layout});
    ASSERT_EQ(cuts.status, ExitOk) << cuts.err;
    EXPECT_EQ(cuts.err, "");
    EXPECT_EQ(editor.Run(&TMainForm::ExportCutList1Click, dir.File("cuts.txt")), "");
    EXPECT_EQ(ReadBytes(dir.File("cuts.txt")), cuts.out);

    // The print dialog's "Copper Side" decides the side the editor counts from.
    editor.SetCopperSide(true);
    const CliOutcome copper = RunInProcess({"cuts", "--copper-side", layout});
    ASSERT_EQ(copper.status, ExitOk);
    EXPECT_NE(copper.out, cuts.out);
    EXPECT_EQ(editor.Run(&TMainForm::ExportCutList1Click, dir.File("cuts.txt")), "");
    EXPECT_EQ(ReadBytes(dir.File("cuts.txt")), copper.out);

    const CliOutcome parts = RunInProcess({"parts", layout});
    ASSERT_EQ(parts.status, ExitOk);
    EXPECT_EQ(editor.Run(&TMainForm::ExportPartsList1Click, dir.File("parts.csv")), "");
    EXPECT_EQ(ReadBytes(dir.File("parts.csv")), parts.out);
    EXPECT_EQ(parts.out.rfind("Kind,Value,Quantity,Positions\r\n", 0), 0u);
  }

  // The dialogs ask for a text and a CSV file, and confirm overwriting.
  Editor editor(Flasher);
  editor.Run(&TMainForm::ExportCutList1Click, dir.File("a.txt"));
  editor.Run(&TMainForm::ExportPartsList1Click, dir.File("a.csv"));
  ASSERT_EQ(editor.prompts.FileDialogs.size(), 2u);
  const FileRequest &text = editor.prompts.FileDialogs[0].Request;
  const FileRequest &csv = editor.prompts.FileDialogs[1].Request;
  EXPECT_EQ(text.Filter, "Text Files (*.txt)");
  EXPECT_EQ(text.DefaultSuffix, "txt");
  EXPECT_EQ(csv.Filter, "CSV Files (*.csv)");
  EXPECT_EQ(csv.DefaultSuffix, "csv");
  EXPECT_TRUE(text.ConfirmOverwrite && csv.ConfirmOverwrite && editor.prompts.FileDialogs[0].Save);
  EXPECT_NE(text.Key, csv.Key);

  // The real program writes the same bytes to its standard output, line ends included.
  const CliOutcome program = RunProgram({"parts", Flasher});
  EXPECT_EQ(program.status, 0);
  EXPECT_EQ(program.err, "");
  EXPECT_EQ(program.out, ReadBytes(dir.File("a.csv")));
}

TEST(AssemblyCommands, FailuresWriteNothing) {
  CliTempDir dir;
  const std::string old = dir.File("old.txt");
  WriteBytes(old, "an older list");

  // Cancelled, or no board: no file, no message.
  Editor empty("");
  empty.form.ExportCutList1Click();
  empty.form.ExportPartsList1Click();
  EXPECT_TRUE(empty.prompts.FileDialogs.empty());
  Editor editor(Flasher);
  EXPECT_EQ(editor.Run(&TMainForm::ExportPartsList1Click, ""), "");
  const std::string missing = dir.File("no/such/list.txt");
  for (auto command : {&TMainForm::ExportCutList1Click, &TMainForm::ExportPartsList1Click})
    EXPECT_EQ(editor.Run(command, missing),
              QString::fromStdString("Cannot create file \"" + missing +
                                     "\". No such file or directory"));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"old.txt"});

  WriteLayoutFile(dir.File("none.twk"), Board(), "none");
  const std::vector<std::pair<std::vector<std::string>, std::string>> failing = {
      {{"cuts", dir.File("missing.twk")}, "Unable to read " + dir.File("missing.twk")},
      {{"parts", dir.File("none.twk")},
       dir.File("none.twk") + " has no traces; there is nothing to list"},
  };
  for (const auto &[args, message] : failing) {
    const CliOutcome r = RunInProcess(args);
    EXPECT_EQ(r.status, ExitError);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tarnwick-cli: " + message + "\n");
  }
  for (const std::vector<std::string> &bad : std::vector<std::vector<std::string>>{
           {"cuts"}, {"parts", Flasher, "--copper-side"}, {"cuts", Flasher, old}}) {
    const CliOutcome r = RunInProcess(bad);
    EXPECT_EQ(r.status, ExitUsage);
    EXPECT_NE(r.err.find(Usage()), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(old), "an older list");
  EXPECT_NE(Usage().find("cuts LAYOUT [--copper-side]"), std::string::npos);
  EXPECT_NE(Usage().find("parts LAYOUT\n"), std::string::npos);
}

} // namespace tarnwick::cli::test
