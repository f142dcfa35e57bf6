// File > Check Against Netlist and View > Show Nets in the real window.
#include "document/layout_file.h"
#include "nets/net_check_panel.h"
#include "nets/small_circuit.h"
#include "support/scripted_prompts.h"
#include "ui/main_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>

using namespace tarnwick;
using namespace tarnwick::nets_test;

namespace {

const QRgb TintColour = qRgb(0, 160, 160);

class NetCheckWindow : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    std::ofstream(dir.filePath("small.net").toStdString()) << SmallNetlist;
    Board board;
    BuildSmallBoard(board);
    WriteLayoutFile(dir.filePath("small.twk").toStdString(), board, "small");
    form.resize(1000, 700);
    form.show();
    prompts.OpenNames = {dir.filePath("small.twk")};
    form.Open1Click();
    QCoreApplication::processEvents();
  }

  QStringList Captions(const QString &menu) {
    QStringList captions;
    for (QAction *m : form.menuBar()->actions())
      if (m->text().remove(QLatin1Char('&')) == menu)
        for (QAction *a : m->menu()->actions())
          captions << a->text();
    return captions;
  }

  QImage Paint() {
    BoardView &view = form.Board();
    QImage img(view.TraceCount() * 18 + 3, view.PinCount() * 15 + 55, QImage::Format_RGB32);
    QPainter p(&img);
    view.PaintBoard(p, img.size());
    return img;
  }

  // A pixel of a strip's copper on a row, clear of its hole.
  static QRgb Copper(const QImage &img, int trace, int pin) {
    return img.pixel(18 * trace + 3 + 2, 15 * pin + 4 + 2) | 0xFF000000;
  }

  // Lets the deferred recheck run, on its thread, and its report come back.
  void Settle() {
    QCoreApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form.NetCheck1->Checking(); }, 10'000));
  }

  QListWidget &Lines() { return form.NetCheck1->Lines(); }
  QListWidgetItem *Line(const QString &start) {
    for (int i = 0; i < Lines().count(); ++i)
      if (Lines().item(i)->text().startsWith(start))
        return Lines().item(i);
    return nullptr;
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  TMainForm form{prompts};
};

TEST_F(NetCheckWindow, PanelChecksRechecksAfterChangesAndMarksWhatALineNames) {
  const QStringList file = Captions(QStringLiteral("File"));
  ASSERT_TRUE(file.contains(QStringLiteral("Check Against Netlist...")));
  EXPECT_EQ(file.indexOf(QStringLiteral("Check Against Netlist...")),
            file.indexOf(QStringLiteral("Import Netlist...")) + 1);
  EXPECT_FALSE(form.NetCheck1->isVisible());

  prompts.OpenNames = {QString()}; // cancelled: nothing happens
  form.CheckAgainstNetlist1Click();
  EXPECT_FALSE(form.NetCheck1->isVisible());

  prompts.OpenNames = {dir.filePath("small.net")};
  form.CheckAgainstNetlist1Click();
  EXPECT_EQ(prompts.FileDialogs.back().Request.Key, QStringLiteral("OpenDialog2"));
  ASSERT_TRUE(form.NetCheck1->isVisible());
  Settle();
  EXPECT_EQ(Lines().item(0)->text(),
            QStringLiteral("The layout implements the netlist: 5 parts, 4 nodes."));

  // Remove Component on the diode: the panel checks again once the command is done.
  for (int i = 0; i < form.List().topLevelItemCount(); ++i)
    form.List().topLevelItem(i)->setSelected(form.List().topLevelItem(i)->text(1) ==
                                             QStringLiteral("1N4148"));
  form.Button2Click();
  Settle();
  EXPECT_EQ(Lines().item(0)->text(),
            QStringLiteral("The layout does not implement the netlist: 1 problem."));
  EXPECT_EQ(Lines().item(1)->text(), QStringLiteral("missing: d1 (1n4148) is not on the board"));

  // A click on the ground line tints both ground strips and frames the parts on them.
  QListWidgetItem *ground = Line(QStringLiteral("node 0: ok"));
  ASSERT_NE(ground, nullptr);
  const QImage before = Paint();
  QTest::mouseClick(Lines().viewport(), Qt::LeftButton, {},
                    Lines().visualItemRect(ground).center());
  const QImage marked = Paint();
  EXPECT_EQ(Copper(marked, 3, 0), TintColour);
  EXPECT_EQ(Copper(marked, 8, 9), TintColour);
  EXPECT_EQ(Copper(marked, 2, 0), Copper(before, 2, 0));
  EXPECT_NE(Copper(before, 3, 0), TintColour);
  EXPECT_EQ(form.Board().Tint.Components.size(), 3u); // r2, c1 and q1's ground socket

  // A change of the board takes the marks of the old report away.
  form.Edit1->setText(QStringLiteral("in"));
  form.Board().HighlightTrace = 6;
  form.Button3Click();
  Settle();
  EXPECT_TRUE(form.Board().Tint.Empty());
  EXPECT_EQ(Copper(Paint(), 3, 0), Copper(before, 3, 0));

  // A netlist that cannot be read stops with its message; the report stays.
  prompts.OpenNames = {dir.filePath("nothing.net")};
  EXPECT_EQ(RunReportingError([&] { form.CheckAgainstNetlist1Click(); }),
            QStringLiteral("Unable to read ") + dir.filePath("nothing.net") +
                QStringLiteral(": No such file or directory"));
  EXPECT_TRUE(form.NetCheck1->HasNetlist());

  form.NetCheck1->findChild<QPushButton *>(QStringLiteral("NetCheckClose"))->click();
  EXPECT_FALSE(form.NetCheck1->isVisible());
  EXPECT_FALSE(form.NetCheck1->HasNetlist());
  EXPECT_EQ(Lines().count(), 0);
}

// The check of a large board runs beside the window, and a report on a layout that is no longer
// open goes with it.
TEST_F(NetCheckWindow, RechecksRunOffTheWindowAndEndWithTheLayout) {
  Board board;
  board.InitBoard(4, 10);
  std::ofstream many(dir.filePath("many.net").toStdString());
  many << "* a thousand resistors in one hole\n";
  for (int i = 0; i < 3000; ++i) {
    many << "R" << i << " n" << i << " n" << i + 1 << " 1k\n";
    Place(board, ComponentKind::Resistor, 1, 1, 3, "1k");
  }
  many.close();
  WriteLayoutFile(dir.filePath("many.twk").toStdString(), board, "many");
  prompts.OpenNames = {dir.filePath("many.twk")};
  form.Open1Click();
  prompts.OpenNames = {dir.filePath("many.net")};
  QElapsedTimer clock;
  clock.start();
  form.CheckAgainstNetlist1Click();
  // The command returns while the check runs; the bound is generous for sanitizer builds.
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(form.NetCheck1->Checking());
  Settle();
  EXPECT_EQ(Lines().item(0)->text(),
            QStringLiteral("The layout does not implement the netlist: 1 problem."));

  // An edit: the window goes on while the board is checked again.
  form.Edit1->setText(QStringLiteral("in"));
  form.Board().HighlightTrace = 1;
  form.Button3Click();
  clock.restart();
  QCoreApplication::processEvents();
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(form.NetCheck1->Checking());

  // Another layout opened while the check runs: the report closes, and stays closed.
  prompts.Questions = {true}; // discard the changed label
  prompts.OpenNames = {dir.filePath("small.twk")};
  form.Open1Click();
  EXPECT_FALSE(form.NetCheck1->isVisible());
  EXPECT_FALSE(form.NetCheck1->HasNetlist());
  Settle();
  EXPECT_FALSE(form.NetCheck1->isVisible());
  EXPECT_EQ(Lines().count(), 0);
  EXPECT_EQ(form.Board().ComponentCount(), 8);
}

TEST_F(NetCheckWindow, ShowNetsTintsTheClickedNetAcrossWiresOnlyWhileOn) {
  const QStringList view = Captions(QStringLiteral("View"));
  ASSERT_EQ(view.indexOf(QStringLiteral("Show Nets")),
            view.indexOf(QStringLiteral("Show Flow")) + 1);
  ASSERT_FALSE(form.ShowNets1->isChecked());

  BoardView &board = form.Board();
  QTest::mouseClick(&board, Qt::LeftButton, {}, QPoint(TraceX(3), PinY(2)));
  ASSERT_EQ(board.HighlightTrace, 3);
  const QImage off = Paint();

  form.ShowNets1->trigger();
  EXPECT_TRUE(form.ShowNets1->isChecked());
  EXPECT_TRUE(board.ShowNets());
  const QImage on = Paint();
  EXPECT_EQ(Copper(on, 3, 2), TintColour);
  EXPECT_EQ(Copper(on, 8, 0), TintColour); // across the ground wire
  EXPECT_EQ(Copper(on, 2, 2), Copper(off, 2, 2));
  // The holes stay on top of the tint.
  EXPECT_EQ(on.pixel(TraceX(8), PinY(4)) | 0xFF000000, qRgb(0, 0, 0));

  form.ShowNets1->trigger();
  EXPECT_FALSE(board.ShowNets());
  EXPECT_EQ(Paint(), off);
}

} // namespace
