#include "ui/EnhControls.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// A spin edit described as the dialogs describe theirs (Min, Max, Position in that order),
// recording the text every OnChange saw.
struct Spin {
  QWidget parent;
  TUpDownEdit *edit = new TUpDownEdit(&parent);
  QStringList seen;

  Spin(int min, int max, int position) {
    edit->setGeometry(16, 32, 73, 21);
    edit->SetMin(min);
    edit->SetMax(max);
    edit->SetPosition(position);
    edit->OnChange = [this] { seen << edit->text(); };
    parent.resize(200, 100);
    parent.show();
  }
  // Overwrites the whole text by typing, as a user selecting the text and typing does.
  void Type(const QString &keys) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
  }
};

TEST(DocsUpDownEdit, TypedTextIsCorrectedBeforeOnChangeSeesIt) {
  Spin s(1, 100, 40);
  EXPECT_EQ(s.edit->text(), "40");
  EXPECT_EQ(s.edit->Position(), 40);

  s.Type("150");
  EXPECT_EQ(s.edit->text(), "100");
  EXPECT_EQ(s.edit->Position(), 100);
  // "1" and "15" are accepted on the way; "150" is never seen, and the correction raises
  // OnChange twice (inner and outer run), both on the corrected text.
  EXPECT_EQ(s.seen, (QStringList{"1", "15", "100", "100"}));

  s.seen.clear();
  s.Type("0");
  EXPECT_EQ(s.edit->text(), "1");
  EXPECT_EQ(s.seen, (QStringList{"1", "1"}));

  // Letters and a minus sign cannot be typed.
  s.Type("7");
  s.seen.clear();
  QTest::keyClicks(s.edit, "a-x");
  EXPECT_EQ(s.edit->text(), "7");
  EXPECT_TRUE(s.seen.isEmpty());

  // Text set by the program runs the same correction.
  s.seen.clear();
  s.edit->setText("12345678901234"); // too long for a 32-bit number
  EXPECT_EQ(s.edit->text(), QString::number(s.edit->LastGoodPosition()));
  for (const QString &t : s.seen)
    EXPECT_NE(t, "12345678901234");
}

TEST(DocsUpDownEdit, EmptyTextPutsLastGoodPositionBack) {
  Spin s(1, 100, 40);
  // The value last written to Position is the good one.
  s.edit->SetPosition(25);
  EXPECT_EQ(s.edit->LastGoodPosition(), 25);
  s.edit->selectAll();
  s.seen.clear();
  QTest::keyClick(s.edit, Qt::Key_Backspace);
  EXPECT_EQ(s.edit->text(), "25");
  EXPECT_EQ(s.seen, (QStringList{"25", "25"}));

  // A number typed inside the range is not the good position until Position is read or
  // written: emptying the box after typing 60 still brings back 25.
  s.Type("60");
  s.edit->selectAll();
  QTest::keyClick(s.edit, Qt::Key_Delete);
  EXPECT_EQ(s.edit->text(), "25");

  // Once the dialog read the value, it is the one put back.
  s.Type("60");
  EXPECT_EQ(s.edit->Position(), 60);
  s.Type("70"); // the step records the stored 60 as the good position
  s.edit->clear();
  EXPECT_EQ(s.edit->text(), "60");
}

TEST(DocsUpDownEdit, MinAndMaxWriteRules) {
  // Described Position below Min shows Min.
  Spin low(1, 100, 0);
  EXPECT_EQ(low.edit->text(), "1");

  Spin s(1, 100, 40);
  // Max below the current value moves the value down.
  s.edit->SetMax(30);
  EXPECT_EQ(s.edit->text(), "30");
  EXPECT_EQ(s.edit->Position(), 30);
  EXPECT_EQ(s.edit->LastGoodPosition(), 30);

  // Min above the current value leaves the value until the next change of the text.
  s.edit->SetMin(35);
  EXPECT_EQ(s.edit->Min(), 35);
  EXPECT_EQ(s.edit->Max(), 35);
  EXPECT_EQ(s.edit->text(), "30");
  EXPECT_EQ(s.edit->LastGoodPosition(), 35);
  s.Type("3");
  EXPECT_EQ(s.edit->text(), "35");

  // Max below Min lowers Min to the same value, and the value follows.
  Spin t(10, 100, 50);
  t.edit->SetMax(5);
  EXPECT_EQ(t.edit->Min(), 5);
  EXPECT_EQ(t.edit->Max(), 5);
  EXPECT_EQ(t.edit->text(), "5");
  EXPECT_EQ(t.edit->LastGoodPosition(), 5);

  // Max raised again keeps the value; a typed value above it is still corrected.
  t.edit->SetMax(100);
  EXPECT_EQ(t.edit->text(), "5");
  t.Type("250");
  EXPECT_EQ(t.edit->text(), "100");

  // The value shown counts for a Max write even when nobody read it since it was typed.
  Spin u(1, 100, 10);
  u.Type("80");
  u.edit->SetMax(50);
  EXPECT_EQ(u.edit->text(), "50");

  // A Min above Max takes Max along instead of leaving an empty range to correct into.
  Spin v(1, 20, 10);
  v.edit->SetMin(40);
  EXPECT_EQ(v.edit->Max(), 40);
  v.Type("9");
  EXPECT_EQ(v.edit->text(), "40");
  EXPECT_EQ(v.edit->Position(), 40);
}

TEST(DocsUpDownEdit, ArrowsAndKeysStepWithoutWrapping) {
  Spin s(1, 100, 99);
  QTest::mouseClick(s.edit->UpButton(), Qt::LeftButton);
  EXPECT_EQ(s.edit->text(), "100");
  EXPECT_EQ(s.seen, (QStringList{"100"}));
  s.seen.clear();
  QTest::mouseClick(s.edit->UpButton(), Qt::LeftButton);
  EXPECT_EQ(s.edit->text(), "100");
  EXPECT_TRUE(s.seen.isEmpty()); // at Max the arrow changes nothing

  QTest::keyClick(s.edit, Qt::Key_Down);
  EXPECT_EQ(s.edit->text(), "99");
  QTest::mouseClick(s.edit->DownButton(), Qt::LeftButton);
  EXPECT_EQ(s.edit->text(), "98");
  QTest::keyClick(s.edit, Qt::Key_Up);
  EXPECT_EQ(s.edit->Position(), 99);

  s.edit->SetPosition(1);
  s.seen.clear();
  QTest::keyClick(s.edit, Qt::Key_Down);
  QTest::mouseClick(s.edit->DownButton(), Qt::LeftButton);
  EXPECT_EQ(s.edit->text(), "1");
  EXPECT_TRUE(s.seen.isEmpty());

  // The arrows sit inside the declared width, against the right edge, at the box's height.
  EXPECT_EQ(s.edit->width(), 73);
  const QRect up = s.edit->UpButton()->geometry();
  EXPECT_EQ(up.right(), 72);
  EXPECT_EQ(up.width(), TUpDownEdit::ArrowWidth);
  EXPECT_EQ(s.edit->DownButton()->geometry().bottom(), s.edit->height() - 1);
}

TEST(DocsUpDownEdit, DisabledAndHiddenTakeTheArrowsAlong) {
  Spin s(1, 100, 40);
  s.edit->setEnabled(false);
  EXPECT_FALSE(s.edit->UpButton()->isEnabled());
  EXPECT_FALSE(s.edit->DownButton()->isEnabled());
  QTest::mouseClick(s.edit->UpButton(), Qt::LeftButton);
  EXPECT_EQ(s.edit->text(), "40");
  const QPalette app = QApplication::palette();
  EXPECT_EQ(s.edit->palette().color(QPalette::Disabled, QPalette::Base),
            app.color(QPalette::Active, QPalette::Button));
  EXPECT_EQ(s.edit->palette().color(QPalette::Disabled, QPalette::Text),
            app.color(QPalette::Disabled, QPalette::Text));
  // The box really is drawn in the button-face colour (a pixel left of the text).
  const QImage grey = s.edit->grab().toImage();
  EXPECT_EQ(QColor(grey.pixel(6, s.edit->height() / 2)), app.color(QPalette::Button));

  s.edit->setEnabled(true);
  EXPECT_TRUE(s.edit->UpButton()->isEnabled());
  const QImage white = s.edit->grab().toImage();
  EXPECT_EQ(QColor(white.pixel(6, s.edit->height() / 2)), app.color(QPalette::Base));

  s.edit->hide();
  EXPECT_FALSE(s.edit->UpButton()->isVisible());
  EXPECT_FALSE(s.edit->DownButton()->isVisible());
  s.edit->show();
  EXPECT_TRUE(s.edit->UpButton()->isVisible());
}

} // namespace
} // namespace tarnwick
