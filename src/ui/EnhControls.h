#pragma once

#include <QLineEdit>
#include <cstdint>
#include <functional>

class QToolButton;

namespace tarnwick {

// The numeric spin edit of the dialogs: a right-aligned digits-only line edit with a pair of
// arrow buttons attached at its right edge (they take their 15 pixels from the box, so the
// pair keeps the box's width). Whatever is typed, pasted or written, the text is corrected
// into Min..Max before OnChange runs, so a dialog may read Position() at any time.
//
// Corrections re-enter the text-change step once: when a text out of range or not a number
// is replaced, OnChange runs first for the corrected text (inner run) and then once more
// (outer run); both see the corrected text.
class TUpDownEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit TUpDownEdit(QWidget *parent = nullptr);

  std::int32_t Min() const { return min_; }
  std::int32_t Max() const { return max_; }
  // Reads the value shown when it is a whole number within Min..Max, else the arrows' last
  // value; the result becomes the stored position.
  std::int32_t Position();
  // Raises LastGoodPosition to v when it was lower; neither raises Max (unless v is above
  // it) nor corrects the value shown until the next change of the text.
  void SetMin(std::int32_t v);
  // Lowers Min and LastGoodPosition to v when they are above it, then brings the value shown
  // back into Min..Max.
  void SetMax(std::int32_t v);
  // Shows v clamped into Min..Max; the text-change step runs on the written text.
  void SetPosition(std::int32_t v);
  // The value put back when the text is not a whole number.
  std::int32_t LastGoodPosition() const { return lastGoodPosition_; }

  // Raised at the end of every text-change step.
  std::function<void()> OnChange;

  // The arrow buttons, for tests and for the look of dialogs.
  QToolButton *UpButton() const { return up_; }
  QToolButton *DownButton() const { return down_; }

  static constexpr int ArrowWidth = 15;

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  // The arrow part keeps a value of its own, clamped into its range, and writes every new
  // value into the box.
  std::int32_t ArrowValue();
  void ArrowSetValue(std::int32_t v);
  void ArrowStep(int delta);
  void WriteText(const QString &text);
  void TextChangeStep();
  void ApplyColours();
  std::int32_t Clamp(std::int64_t v) const;

  std::int32_t min_ = 0;
  std::int32_t max_ = 100;
  std::int32_t storedPosition_ = 1;
  std::int32_t lastGoodPosition_ = 0;
  std::int32_t arrowValue_ = 1;
  // Set while the arrow part writes the box, so that write runs the text-change step exactly
  // once (also when the text did not change).
  int writing_ = 0;
  QToolButton *up_ = nullptr;
  QToolButton *down_ = nullptr;
};

} // namespace tarnwick
