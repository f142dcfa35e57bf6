#include "board/board_view.h"
#include "ui/application.h"
#include "ui/main_form.h"
#include "ui/prompts.h"
#include "ui/rulers.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

// Answers nothing and records what the window shows.
class RecordingPrompts : public Prompts {
public:
  std::vector<std::pair<QString, QString>> shown;
  bool Question(QWidget *, const QString &c, const QString &t) override {
    shown.emplace_back(c, t);
    return true;
  }
  void Information(QWidget *, const QString &c, const QString &t) override {
    shown.emplace_back(c, t);
  }
  void Warning(QWidget *, const QString &c, const QString &t) override { shown.emplace_back(c, t); }
  void Error(QWidget *, const QString &t) override { shown.emplace_back(QString(), t); }
  QString OpenFileName(QWidget *, const FileRequest &) override { return {}; }
  QString SaveFileName(QWidget *, const FileRequest &) override { return {}; }
  void Beep() override {}
  int Exec(QDialog &) override {
    ++dialogsRun;
    return 0;
  }
  int dialogsRun = 0;
};

class Window : public ::testing::Test {
protected:
  void SetUp() override {
    form.resize(900, 700);
    form.show();
    QCoreApplication::processEvents();
  }

  bool Enabled(const char *name) { return form.ToolAction(QString::fromLatin1(name))->isEnabled(); }

  QAction *MenuEntry(const QString &caption) {
    for (QAction *menu : form.menuBar()->actions())
      for (QAction *a : menu->menu()->actions())
        if (a->text() == caption)
          return a;
    return nullptr;
  }

  // A board built in memory, with components added the way the commands add them.
  BoardComponent *Add(ComponentKind k, int start, int end, int pin, std::string name) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(k);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    c->Name = std::move(name);
    BoardComponent *raw = c.get();
    form.AddComponentToLayout(std::move(c));
    return raw;
  }

  void Click(int trace, int pin, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(&form.Board(), Qt::LeftButton, mods, QPoint(TraceX(trace), PinY(pin)));
  }

  RecordingPrompts prompts;
  TMainForm form{prompts};
};

TEST_F(Window, StartsEmptyWithOnlyNewAndOpenEnabled) {
  EXPECT_EQ(form.windowTitle(), "Tarnwick");
  EXPECT_EQ(form.Board().TraceCount(), 0);
  EXPECT_TRUE(Enabled("ToolButton15"));
  EXPECT_TRUE(Enabled("ToolButton11"));
  for (const char *name :
       {"ToolButton12", "ToolButton9", "ToolButton10", "ToolButton1", "ToolButton2", "ToolButton3",
        "ToolButton4", "ToolButton6", "ToolButton7"})
    EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(form.Edit3->isEnabled());
  EXPECT_TRUE(form.Edit3->text().isEmpty());
  EXPECT_TRUE(form.Panel1->isVisible());
  EXPECT_EQ(form.ListView1->topLevelItemCount(), 0);
  EXPECT_EQ(form.ListView1->headerItem()->text(0), "Type");
  EXPECT_EQ(form.ListView1->headerItem()->text(1), "Label");
  EXPECT_EQ(form.ToolAction("ToolButton9")->toolTip(), "Add New Component");
  EXPECT_EQ(form.ToolAction("ToolButton7")->toolTip(), "Shift Trace Right");
  EXPECT_FALSE(form.windowIcon().pixmap(32, 32).isNull());
  EXPECT_FALSE(form.ToolAction("ToolButton15")->icon().pixmap(16, 16).isNull());
  // Without "Small Fonts" on the system, the board draws in Arial 7.
  EXPECT_EQ(form.Board().font().family(), "Arial");
  EXPECT_EQ(form.Board().font().pointSize(), 7);
  // The whole menu is there, always enabled, with its shortcuts.
  EXPECT_EQ(MenuEntry("Open...")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(MenuEntry("Shift Trace To Right")->shortcut(), QKeySequence("Ctrl+Shift+Right"));
  EXPECT_EQ(MenuEntry("Add Component...")->shortcut(), QKeySequence("Ctrl+A"));
  for (const char *caption : {"New", "Save", "Save as...", "Import Netlist...", "Export Image...",
                              "Print...", "Exit", "Edit Component...", "Remove Component",
                              "Board Properties...", "Shrink Board", "About..."}) {
    ASSERT_NE(MenuEntry(QString::fromLatin1(caption)), nullptr) << caption;
    EXPECT_TRUE(MenuEntry(QString::fromLatin1(caption))->isEnabled()) << caption;
  }
}

TEST_F(Window, ViewTogglesFollowTheBoardAndAboutShowsTheVersion) {
  QAction *labels = MenuEntry("Show Labels");
  QAction *flow = MenuEntry("Show Flow");
  EXPECT_TRUE(labels->isChecked());
  EXPECT_FALSE(flow->isChecked());
  labels->trigger();
  EXPECT_FALSE(labels->isChecked());
  EXPECT_FALSE(form.Board().ShowLabels());
  labels->trigger();
  EXPECT_TRUE(labels->isChecked());
  EXPECT_TRUE(form.Board().ShowLabels());
  form.ShowFlow1Click();
  EXPECT_TRUE(flow->isChecked());
  EXPECT_TRUE(form.Board().ShowFlow());

  MenuEntry("About...")->trigger();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].first, "About...");
  EXPECT_EQ(prompts.shown[0].second, "Tarnwick v0.1");
}

// The text boxes use these keys themselves (select all, word left/right); the menu wins.
TEST_F(Window, MenuShortcutsWinOverTheLabelAndNameBoxes) {
  form.CreateDialogs();
  form.Board().InitBoard(10, 20);
  BoardComponent *r = Add(ComponentKind::Resistor, 4, 6, 2, "R1");
  form.Edit3->setEnabled(true);
  form.activateWindow();
  for (QLineEdit *box : {form.Edit1, form.Edit3}) {
    SCOPED_TRACE(box->objectName().toStdString());
    form.ListView1->topLevelItem(0)->setSelected(true);
    box->setText(QStringLiteral("some words"));
    box->setFocus();
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(r->StartTrace, 3);
    QTest::keyClick(box, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(r->StartTrace, 4);
    const int runs = prompts.dialogsRun;
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(prompts.dialogsRun, runs + 1);
    EXPECT_FALSE(box->hasSelectedText());
  }
}

TEST_F(Window, ZoomAndCopperSideDriveTheViewScrollBarsAndRulers) {
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  BoardView &view = form.Board();
  auto *hbar = form.findChild<QScrollBar *>(QStringLiteral("BoardHorizontalBar"));
  ASSERT_NE(hbar, nullptr);
  EXPECT_EQ(MenuEntry("Zoom In")->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")}));
  EXPECT_EQ(MenuEntry("Zoom Out")->shortcut(), QKeySequence("Ctrl+-"));
  EXPECT_EQ(MenuEntry("Actual Size")->shortcut(), QKeySequence("Ctrl+0"));
  QAction *copper = MenuEntry("Copper Side");
  ASSERT_NE(copper, nullptr);
  EXPECT_TRUE(copper->isCheckable());
  EXPECT_FALSE(copper->isChecked());
  EXPECT_TRUE(MenuEntry(QStringLiteral("1\u00d7"))->isChecked());

  form.resize(730, 551); // the window's size before it is maximised
  view.InitBoard(100, 40);
  view.Repaint();
  QCoreApplication::processEvents();
  // Unzoomed, a board larger than the view scrolls too, both ways.
  auto *vbar = form.findChild<QScrollBar *>(QStringLiteral("BoardVerticalBar"));
  ASSERT_NE(vbar, nullptr);
  EXPECT_TRUE(hbar->isVisible());
  EXPECT_EQ(hbar->maximum(), view.ScrollLimit().x());
  QCoreApplication::processEvents();
  ASSERT_GT(view.ScrollLimit().y(), 0);
  EXPECT_TRUE(vbar->isVisible());
  EXPECT_EQ(vbar->maximum(), view.ScrollLimit().y());
  auto tickAt = [this](int x) {
    const QImage ruler = form.PaintBox1->grab().toImage();
    return ruler.pixelColor(x, 5) == Qt::white && ruler.pixelColor(x, 1) != Qt::white;
  };
  EXPECT_TRUE(tickAt(18));

  MenuEntry("Zoom In")->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(view.Zoom(), 2);
  EXPECT_TRUE(MenuEntry(QStringLiteral("2\u00d7"))->isChecked());
  EXPECT_TRUE(hbar->isVisible());
  hbar->setValue(0);
  EXPECT_EQ(view.ScrollPos().x(), 0);
  EXPECT_TRUE(tickAt(15 + 2 * 3));
  hbar->setValue(100);
  EXPECT_EQ(view.ScrollPos().x(), 100);
  EXPECT_TRUE(tickAt(15 + 2 * 3 + 142 - 100)); // centimetre 1, scrolled
  // A click still finds its hole, scrolled and zoomed.
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                    QPoint(2 * TraceX(10) - 100, 2 * PinY(3) - view.ScrollPos().y()));
  EXPECT_EQ(view.HighlightTrace, 10);
  EXPECT_EQ(form.Edit1->text(), "");

  QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(view.Zoom(), 1);
  EXPECT_EQ(view.ScrollPos(), QPoint(0, 0));
  EXPECT_TRUE(MenuEntry(QStringLiteral("1\u00d7"))->isChecked());

  copper->trigger();
  EXPECT_TRUE(view.CopperSide());
  QCoreApplication::processEvents();
  // The top ruler counts from the right edge of the first strip, now the rightmost.
  const int rightEdge = 15 + 18 * 100 - 1 - view.ScrollPos().x();
  EXPECT_FALSE(tickAt(18));
  if (rightEdge < form.PaintBox1->width()) {
    EXPECT_TRUE(tickAt(rightEdge));
  }
  copper->trigger();
  EXPECT_FALSE(view.CopperSide());
}

TEST_F(Window, ErrorsInHandlersAreReportedAndTheProgramGoesOn) {
  auto *app = static_cast<TApplication *>(QCoreApplication::instance());
  QStringList reported;
  app->SetErrorReporter([&](const QString &m) { reported << m; });
  QTimer::singleShot(0, &form, [this] { form.Board().GetTrace(3); });
  QCoreApplication::processEvents();
  app->SetErrorReporter(nullptr);
  EXPECT_EQ(reported, QStringList{"List index out of bounds (3)"});
  EXPECT_TRUE(form.isVisible());
}

TEST_F(Window, CloseRequestIsHandedToExit) {
  EXPECT_FALSE(form.ExitRequested());
  form.close();
  EXPECT_TRUE(form.ExitRequested());
}

TEST_F(Window, StripClickFillsTheLabelBoxAndEnablesShifting) {
  form.Board().InitBoard(10, 20);
  form.Board().GetTrace(4).Name = "GND";
  Add(ComponentKind::Resistor, 1, 3, 2, "R1");
  form.ListView1->topLevelItem(0)->setSelected(true);
  Click(4, 7);
  EXPECT_EQ(form.Edit1->text(), "GND");
  EXPECT_TRUE(Enabled("ToolButton6"));
  EXPECT_TRUE(Enabled("ToolButton7"));
  EXPECT_TRUE(Enabled("ToolButton9"));
  EXPECT_TRUE(Enabled("ToolButton12"));
  EXPECT_FALSE(Enabled("ToolButton1"));
  EXPECT_EQ(form.FirstSelectedRow(), nullptr);
  Click(5, 7);
  EXPECT_EQ(form.Edit1->text(), "");
}

TEST_F(Window, ComponentClickSelectsItsRowAlone) {
  form.Board().InitBoard(10, 20);
  form.Board().GetTrace(1).Name = "VCC";
  BoardComponent *r1 = Add(ComponentKind::Resistor, 1, 3, 2, "R1");
  BoardComponent *c1 = Add(ComponentKind::Capacitor, 5, 8, 6, "C1");
  BoardComponent *w1 = Add(ComponentKind::Wire, 0, 4, 9, "W1");
  Click(1, 5); // label box shows VCC
  form.ListView1->topLevelItem(0)->setSelected(true);
  Click(6, 6);
  EXPECT_EQ(form.Board().SelectedComponent, c1);
  auto rows = form.SelectedRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(TMainForm::RowComponent(rows[0]), c1);
  EXPECT_EQ(form.ListView1->currentItem(), rows[0]);
  EXPECT_TRUE(form.ListView1->hasFocus());
  EXPECT_TRUE(Enabled("ToolButton1"));
  EXPECT_TRUE(Enabled("ToolButton4"));
  EXPECT_FALSE(Enabled("ToolButton6"));
  EXPECT_FALSE(Enabled("ToolButton7"));
  EXPECT_EQ(form.Edit1->text(), "VCC");

  // Shift+click on a component above adds its row; the board follows the topmost row.
  Click(2, 2, Qt::ShiftModifier);
  rows = form.SelectedRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TMainForm::RowComponent(rows[0]), r1);
  EXPECT_EQ(TMainForm::RowComponent(rows[1]), c1);
  EXPECT_EQ(form.Board().SelectedComponent, r1);
  // ... and one below: the frame stays on the upper row's component.
  Click(0, 9, Qt::ShiftModifier);
  EXPECT_EQ(form.SelectedRows().size(), 3u);
  EXPECT_EQ(form.Board().SelectedComponent, r1);
  (void)w1;
}

TEST_F(Window, ListSelectionMovesTheBoardSelectionWithoutNotifications) {
  form.Board().InitBoard(10, 20);
  Add(ComponentKind::Resistor, 1, 3, 2, "R1");
  BoardComponent *c1 = Add(ComponentKind::Capacitor, 5, 8, 6, "C1");
  BoardComponent *w1 = Add(ComponentKind::Wire, 0, 4, 9, "W1");
  int notifications = 0;
  auto trace = form.Board().OnHighlightTraceChange;
  auto komp = form.Board().OnHighlightKompChange;
  form.Board().OnHighlightTraceChange = [&](Board &b) {
    ++notifications;
    trace(b);
  };
  form.Board().OnHighlightKompChange = [&](Board &b) {
    ++notifications;
    komp(b);
  };
  form.ListView1->topLevelItem(2)->setSelected(true);
  EXPECT_EQ(form.Board().SelectedComponent, w1);
  EXPECT_TRUE(Enabled("ToolButton3"));
  form.ListView1->topLevelItem(1)->setSelected(true);
  EXPECT_EQ(form.Board().SelectedComponent, c1);
  form.ListView1->topLevelItem(1)->setSelected(false);
  EXPECT_EQ(form.Board().SelectedComponent, w1);
  form.ListView1->clearSelection();
  EXPECT_EQ(form.Board().SelectedComponent, nullptr);
  EXPECT_FALSE(Enabled("ToolButton3"));
  EXPECT_EQ(notifications, 0);

  // Keyboard selection in the list works the same way.
  form.ListView1->setFocus();
  form.ListView1->setCurrentItem(form.ListView1->topLevelItem(0));
  QTest::keyClick(form.ListView1, Qt::Key_Down);
  EXPECT_EQ(form.Board().SelectedComponent, c1);
}

TEST_F(Window, SelectionOfAComponentWithoutARowOnlyUpdatesTheToolbar) {
  form.Board().InitBoard(10, 20);
  auto c = std::make_unique<BoardComponent>();
  c->StartTrace = 2;
  c->EndTrace = 4;
  c->StartPin = 3;
  // Added behind the list's back, so the component has no row.
  form.Board().OnComponentsChange = nullptr;
  BoardComponent *loose = form.Board().AddComponent(std::move(c));
  Click(3, 3);
  EXPECT_EQ(form.Board().SelectedComponent, loose);
  EXPECT_TRUE(form.SelectedRows().empty());
  EXPECT_TRUE(Enabled("ToolButton9")); // the toolbar was recomputed
}

} // namespace
