// File > Lay Out Netlist in the real window: the search on its thread behind the progress
// dialog, the new layout checked against its netlist, and the ways out that change nothing.
#include "document/layout_file.h"
#include "layout/chain_netlist.h"
#include "layout/layout_command.h"
#include "layout/layout_parts.h"
#include "layout/layout_progress.h"
#include "nets/net_check_panel.h"
#include "support/scripted_prompts.h"
#include "ui/main_form.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>

namespace tarnwick {
namespace {

const QString Examples = QStringLiteral(TARNWICK_TEST_DATA "/../../examples/");
const QString Flasher = Examples + QStringLiteral("astable_555.net");

class LayOutWindow : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    form.resize(1100, 750);
    form.show();
  }

  // The progress dialog's modal run: waits, with the event loop turning, until it closes
  // itself.
  void RunToEnd(const std::function<void(LayoutProgressDialog &)> &press = {}) {
    prompts.OnExec = [this, press](QDialog &d) {
      auto &dialog = dynamic_cast<LayoutProgressDialog &>(d);
      if (press)
        press(dialog);
      EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.Ended(); }, 120000));
      best = dialog.BestLabel->text();
      return dialog.result();
    };
  }

  // The check runs on a thread of its own; its report shows once it is done.
  bool CheckDone() {
    return QTest::qWaitFor([this] { return !form.NetCheck1->Checking(); }, 60000);
  }

  QString LayoutText() {
    return QString::fromStdString(FormatLayout(form.Board(), form.Edit3->text().toStdString()));
  }

  QStringList Menu(const QString &title) {
    QStringList captions;
    for (QAction *m : form.menuBar()->actions())
      if (m->text().remove(QLatin1Char('&')) == title)
        for (QAction *a : m->menu()->actions())
          captions << a->text();
    return captions;
  }

  void OpenAmp() {
    prompts.OpenNames = {QStringLiteral(TARNWICK_TEST_DATA "/amp.twk")};
    form.Open1Click();
    ASSERT_FALSE(form.Modified());
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  TMainForm form{prompts};
  QString best;
};

TEST_F(LayOutWindow, GivesAnUntitledLayoutThatImplementsTheNetlistWithAFreshHistory) {
  const QStringList file = Menu(QStringLiteral("File"));
  ASSERT_EQ(file.indexOf(QStringLiteral("Lay Out Netlist...")),
            file.indexOf(QStringLiteral("Import Netlist...")) + 1);

  OpenAmp();
  form.SetModified();
  prompts.Questions = {true}; // discard the changes
  prompts.OpenNames = {Flasher};
  RunToEnd();
  form.LayOutNetlist1Click();

  ASSERT_EQ(prompts.Texts(ScriptedPrompts::Box::Question).size(), 1u);
  EXPECT_EQ(prompts.Shown.front().Caption, QStringLiteral("Discard Changes?"));
  EXPECT_EQ(prompts.Texts(ScriptedPrompts::Box::Error).size(), 0u);
  const FileRequest &request = prompts.FileDialogs.back().Request;
  EXPECT_EQ(request.Filter, QStringLiteral("Netlist Files (*.net *.cir *.sp *.spice)"));
  EXPECT_TRUE(request.MustExist);
  EXPECT_EQ(prompts.DialogsRun, std::vector<QString>{QStringLiteral("Lay Out Netlist")});
  EXPECT_TRUE(best.contains(QStringLiteral("holes"))) << best.toStdString();

  // A new untitled layout that has never been saved, named after the netlist.
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Tarnwick"));
  EXPECT_TRUE(form.CurrentFileName().isEmpty());
  EXPECT_TRUE(form.Modified());
  EXPECT_EQ(form.Edit3->text(), QStringLiteral("astable_555.net"));
  EXPECT_TRUE(form.Edit3->isEnabled());
  EXPECT_TRUE(form.Panel1->isVisible());
  BoardView &board = form.Board();
  ASSERT_GT(board.ComponentCount(), 8);
  EXPECT_EQ(form.List().topLevelItemCount(), board.ComponentCount());
  // The strips that carry one net are named after it; a strip cut between nets stays unnamed.
  const std::set<std::string> nets = {"vcc", "0", "thres", "disch", "out", "led", "ctrl"};
  int named = 0;
  for (std::int32_t t = 0; t < board.TraceCount(); ++t) {
    const std::string &label = board.GetTrace(t).Name;
    named += !label.empty();
    EXPECT_TRUE(label.empty() || nets.count(label)) << label;
  }
  EXPECT_GE(named, 2);

  // The check panel, open against the netlist, passes the board.
  ASSERT_TRUE(form.NetCheck1->isVisible());
  ASSERT_TRUE(form.NetCheck1->HasNetlist());
  ASSERT_TRUE(CheckDone());
  EXPECT_TRUE(form.NetCheck1->Report().Implements());
  EXPECT_TRUE(form.NetCheck1->Lines().item(0)->text().startsWith(
      QStringLiteral("The layout implements the netlist")));

  // Nothing to undo: the layout is where its history starts.
  const QString laidOut = LayoutText();
  EXPECT_EQ(form.Undo1->text(), QStringLiteral("Undo"));
  form.Undo1Click();
  form.Undo1->trigger();
  EXPECT_EQ(LayoutText(), laidOut);
  EXPECT_TRUE(form.Modified());
}

TEST_F(LayOutWindow, CancelAndFailuresLeaveTheLayoutAsItWas) {
  OpenAmp();
  const QString before = LayoutText();
  const auto unchanged = [&](const char *step) {
    EXPECT_EQ(LayoutText(), before) << step;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tarnwick [amp.twk]")) << step;
    EXPECT_FALSE(form.Modified()) << step;
    EXPECT_FALSE(form.NetCheck1->isVisible()) << step;
  };

  // The netlist dialog cancelled: no progress dialog.
  prompts.OpenNames = {QString()};
  form.LayOutNetlist1Click();
  EXPECT_TRUE(prompts.DialogsRun.empty());
  unchanged("dialog cancelled");

  // Cancel pressed while the search runs: the dialog closes within a few frames.
  const QString chain = dir.filePath(QStringLiteral("chain.cir"));
  std::ofstream(chain.toStdString()) << layout_test::ChainNetlist(80);
  qint64 answered = -1;
  prompts.OpenNames = {chain};
  RunToEnd([&](LayoutProgressDialog &dialog) {
    QElapsedTimer clock;
    clock.start();
    dialog.CancelButton->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.Ended(); }, 120000));
    answered = clock.elapsed();
  });
  form.LayOutNetlist1Click();
  EXPECT_EQ(prompts.DialogsRun.size(), 1u);
  EXPECT_GE(answered, 0);
  EXPECT_LT(answered, 100);
  unchanged("search cancelled");

  // A circuit beyond the search's limits: the error of the searching thread, reported here.
  const QString huge = dir.filePath(QStringLiteral("huge.net"));
  std::ofstream(huge.toStdString()) << layout_test::ChainNetlist(layout::MaxLayoutParts + 1);
  prompts.OpenNames = {huge};
  RunToEnd();
  const QString beyond = RunReportingError([&] { form.LayOutNetlist1Click(); });
  EXPECT_TRUE(beyond.contains(QStringLiteral("parts"))) << beyond.toStdString();
  EXPECT_EQ(prompts.DialogsRun.size(), 2u);
  unchanged("circuit beyond the limits");

  // A netlist that cannot be read: its error, and no search.
  prompts.OpenNames = {dir.filePath(QStringLiteral("nothing.net"))};
  const QString error = RunReportingError([&] { form.LayOutNetlist1Click(); });
  EXPECT_TRUE(error.contains(QStringLiteral("nothing.net"))) << error.toStdString();
  EXPECT_EQ(prompts.DialogsRun.size(), 2u);
  unchanged("netlist unreadable");
}

TEST_F(LayOutWindow, UseBestSoFarEndsWithAValidBoardAndTheWindowNeverWaits) {
  const QString chain = dir.filePath(QStringLiteral("chain.sp"));
  std::ofstream(chain.toStdString()) << layout_test::ChainNetlist(80);
  prompts.OpenNames = {chain};
  bool enabledAtStart = true;
  RunToEnd([&](LayoutProgressDialog &dialog) {
    enabledAtStart = dialog.UseBestButton->isEnabled();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.UseBestButton->isEnabled(); }, 120000));
    // The search goes on looking for a better board (for seconds, on this circuit) while the
    // window keeps handling its events.
    QTest::qWait(400);
    dialog.UseBestButton->click();
  });
  // From here on, the longest time the window goes without handling its events.
  qint64 longestGap = 0;
  QElapsedTimer gap, search;
  gap.start();
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout,
                   [&] { longestGap = std::max(longestGap, gap.restart()); });
  tick.start(5);
  QTest::qWait(20);
  longestGap = 0;
  search.start();
  form.LayOutNetlist1Click();
  tick.stop();
  EXPECT_FALSE(enabledAtStart); // nothing to use before the first board
  EXPECT_TRUE(best.contains(QStringLiteral("holes"))) << best.toStdString();
  EXPECT_EQ(form.Edit3->text(), QStringLiteral("chain.sp"));
  ASSERT_TRUE(form.NetCheck1->HasNetlist());
  ASSERT_TRUE(CheckDone());
  EXPECT_TRUE(form.NetCheck1->Report().Implements());
  // The window handled its events all along: a search on its thread would have held it for
  // the whole wait above.
  EXPECT_LT(longestGap, 250) << "search took " << search.elapsed() << " ms";
}

} // namespace
} // namespace tarnwick
