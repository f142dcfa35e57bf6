#include "ui/EnhControls.h"
#include "ui/handler_guard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>
#include <optional>

namespace tarnwick {
namespace {

std::optional<std::int32_t> WholeNumber(const QString &text) {
  bool ok = false;
  const int v = text.toInt(&ok, 10);
  if (!ok)
    return std::nullopt;
  return v;
}

QToolButton *MakeArrow(QWidget *parent, Qt::ArrowType type, const char *name) {
  auto *b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setArrowType(type);
  b->setAutoRaise(true); // the arrow under the mouse is highlighted
  b->setAutoRepeat(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setCursor(Qt::ArrowCursor);
  return b;
}

} // namespace

TUpDownEdit::TUpDownEdit(QWidget *parent) : QLineEdit(parent) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
  setTextMargins(0, 0, ArrowWidth, 0);
  up_ = MakeArrow(this, Qt::UpArrow, "UpArrow");
  down_ = MakeArrow(this, Qt::DownArrow, "DownArrow");
  connect(up_, &QToolButton::clicked, this, Guarded([this] { ArrowStep(1); }));
  connect(down_, &QToolButton::clicked, this, Guarded([this] { ArrowStep(-1); }));
  // The first value the arrows write is not a change of the user's text.
  arrowValue_ = Clamp(storedPosition_);
  setText(QString::number(arrowValue_));
  connect(this, &QLineEdit::textChanged, this, Guarded([this] {
            if (writing_ == 0)
              TextChangeStep();
          }));
  ApplyColours();
}

std::int32_t TUpDownEdit::Clamp(std::int64_t v) const {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, min_, max_));
}

std::int32_t TUpDownEdit::ArrowValue() {
  if (const auto v = WholeNumber(text()); v && *v >= min_ && *v <= max_)
    arrowValue_ = *v;
  return arrowValue_;
}

void TUpDownEdit::ArrowSetValue(std::int32_t v) {
  arrowValue_ = Clamp(v);
  WriteText(QString::number(arrowValue_));
}

void TUpDownEdit::ArrowStep(int delta) {
  const std::int32_t current = ArrowValue();
  const std::int32_t next = Clamp(std::int64_t{current} + delta);
  // No wrap-around: at either end a step changes nothing.
  if (next == current)
    return;
  ArrowSetValue(next);
}

void TUpDownEdit::WriteText(const QString &text) {
  ++writing_;
  setText(text);
  --writing_;
  TextChangeStep();
}

std::int32_t TUpDownEdit::Position() {
  storedPosition_ = ArrowValue();
  return storedPosition_;
}

void TUpDownEdit::SetPosition(std::int32_t v) {
  storedPosition_ = v;
  ArrowSetValue(v);
}

void TUpDownEdit::SetMin(std::int32_t v) {
  min_ = v;
  // A Min above Max would leave no value to correct the text into, and the correction would
  // bounce between the two bounds for ever; Max follows Min up instead.
  if (max_ < min_)
    max_ = min_;
  if (v > lastGoodPosition_)
    lastGoodPosition_ = v;
}

void TUpDownEdit::SetMax(std::int32_t v) {
  max_ = v;
  if (v < min_)
    min_ = v;
  if (max_ < lastGoodPosition_)
    lastGoodPosition_ = max_;
  const std::int32_t position = Position();
  // The value shown may be out of the new range while the arrows still hold an older one;
  // the shown value is what must end up inside the range.
  const std::int32_t shown = WholeNumber(text()).value_or(position);
  if (shown > max_)
    SetPosition(max_);
  else if (shown < min_)
    SetPosition(min_);
}

void TUpDownEdit::TextChangeStep() {
  if (const auto v = WholeNumber(text())) {
    if (*v < min_)
      SetPosition(min_);
    else if (*v > max_)
      SetPosition(max_);
    lastGoodPosition_ = storedPosition_;
  } else {
    SetPosition(lastGoodPosition_);
  }
  if (OnChange)
    OnChange();
}

void TUpDownEdit::keyPressEvent(QKeyEvent *event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Up) {
      ArrowStep(1);
      event->accept();
      return;
    }
    if (event->key() == Qt::Key_Down) {
      ArrowStep(-1);
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

// Reached by the keyboard or when its dialog opens, the number is selected, so typing
// replaces it (a mouse click places the cursor as usual).
void TUpDownEdit::focusInEvent(QFocusEvent *event) {
  QLineEdit::focusInEvent(event);
  if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason)
    selectAll();
}

void TUpDownEdit::resizeEvent(QResizeEvent *event) {
  QLineEdit::resizeEvent(event);
  const int h = height();
  up_->setGeometry(width() - ArrowWidth, 0, ArrowWidth, h / 2);
  down_->setGeometry(width() - ArrowWidth, h / 2, ArrowWidth, h - h / 2);
}

void TUpDownEdit::changeEvent(QEvent *event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::EnabledChange)
    ApplyColours();
}

// Enabled: the system's window colours; disabled: a button-face box with grey text. The
// arrows are children of the box, so they are inactive while it is disabled.
void TUpDownEdit::ApplyColours() {
  const QPalette app = QApplication::palette();
  QPalette p = palette();
  const bool on = isEnabled();
  const QColor base = on ? app.color(QPalette::Active, QPalette::Base)
                         : app.color(QPalette::Active, QPalette::Button);
  const QColor text = on ? app.color(QPalette::Active, QPalette::Text)
                         : app.color(QPalette::Disabled, QPalette::Text);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Base, base);
    p.setColor(group, QPalette::Text, text);
  }
  setPalette(p);
}

} // namespace tarnwick
