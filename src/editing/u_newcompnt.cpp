#include "editing/u_newcompnt.h"

#include "board/board_view.h"
#include "document/document.h"
#include "document/editor_host.h"
#include "editing/component_entry.h"
#include "editing/u_dipsockets.h"
#include "ui/EnhControls.h"
#include "ui/handler_guard.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <limits>

// The kind icons live in the static GUI library, whose resources must be registered by hand.
static void RegisterKindIcons() { Q_INIT_RESOURCE(kind_icons); }

namespace tarnwick {
namespace {

// Icon files of the drop-down's items, in item order; Label has none.
constexpr const char *KindIcons[KindItemCount] = {
    "kind_wire",  "kind_resistor", "kind_capacitor", "kind_elko_axial", "kind_elko_radial",
    "kind_diode", "kind_socket",   "kind_tracecut",  nullptr,
};

// A board index shown counted from 1. Indices come from layout files too, so the step must not
// overflow; the spin then clamps the value into its range.
std::int32_t Shown(std::int32_t index) {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(std::int64_t{index} + 1, std::numeric_limits<std::int32_t>::max()));
}

QLabel *MakeLabel(QWidget *parent, const char *name, const char *text, int x, int y) {
  auto *label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  label->adjustSize();
  return label;
}

TUpDownEdit *MakeSpin(QWidget *parent, const char *name, int x, int y) {
  auto *spin = new TUpDownEdit(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setGeometry(x, y, 73, 21);
  spin->SetMin(1);
  spin->SetMax(100);
  spin->SetPosition(1);
  return spin;
}

QToolButton *MakeSpeedButton(QWidget *parent, const char *name, const char *text) {
  auto *b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(QString::fromLatin1(text));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

} // namespace

TNewCompForm::TNewCompForm(EditorHost &host)
    : QDialog(host.Window()), host_(host), board_(host.View()) {
  RegisterKindIcons();
  setObjectName(QStringLiteral("NewCompForm"));
  setWindowTitle(QStringLiteral("Component Properties"));
  setFont(host.Window()->font());
  setFixedSize(400, 153);
  BuildControls();
  FillKinds();
  // Bound once every control has its first value, so building the dialog leaves the board's
  // highlights alone. Every write of a spin's value runs its handler, as typing does.
  UpDownEdit1->OnChange = [this] { UpDownEdit1Change(); };
  UpDownEdit2->OnChange = [this] { UpDownEdit2Change(); };
  UpDownEdit3->OnChange = [this] { UpDownEdit3Change(); };
  UpDownEdit4->OnChange = [this] { UpDownEdit1Change(); };
  connect(ComboBoxEx1, &QComboBox::activated, this, Guarded([this] { ComboBox3Change(); }));
  connect(SpeedButton1, &QToolButton::clicked, this, Guarded([this] { SpeedButton1Click(); }));
  connect(SpeedButton2, &QToolButton::clicked, this, Guarded([this] { SpeedButton2Click(); }));
  connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  ComboBoxEx1->installEventFilter(this);
}

// First line: name, then Start Trace, "<>" and End Trace; second line: kind, then Place in Row
// and Cap Width; bottom line: "Insert DIP Socket", then OK and Cancel.
void TNewCompForm::BuildControls() {
  MakeLabel(this, "Label1", "Component Name / Value:", 8, 8);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(8, 24, 200, 21);
  MakeLabel(this, "Label3", "Start Trace:", 216, 8);
  UpDownEdit1 = MakeSpin(this, "UpDownEdit1", 216, 24);
  SpeedButton1 = MakeSpeedButton(this, "SpeedButton1", "<>");
  SpeedButton1->setGeometry(291, 24, 25, 21);
  MakeLabel(this, "Label4", "End Trace:", 318, 8);
  UpDownEdit2 = MakeSpin(this, "UpDownEdit2", 318, 24);

  MakeLabel(this, "Label2", "Component Type:", 8, 56);
  ComboBoxEx1 = new QComboBox(this);
  ComboBoxEx1->setObjectName(QStringLiteral("ComboBoxEx1"));
  ComboBoxEx1->setGeometry(8, 72, 200, 22);
  MakeLabel(this, "Label6", "Place in Row:", 216, 56);
  UpDownEdit3 = MakeSpin(this, "UpDownEdit3", 216, 72);
  Label5 = MakeLabel(this, "Label5", "Cap Width:", 318, 56);
  UpDownEdit4 = MakeSpin(this, "UpDownEdit4", 318, 72);
  Label5->hide();
  UpDownEdit4->hide();

  SpeedButton2 = MakeSpeedButton(this, "SpeedButton2", "Insert DIP Socket");
  SpeedButton2->setGeometry(8, 118, 113, 25);
  SpeedButton2->hide();
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(232, 118, 75, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("Cancel"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(316, 118, 75, 25);
  Button2->setAutoDefault(false);

  QWidget *order[] = {Edit1,       ComboBoxEx1, UpDownEdit1, UpDownEdit2,
                      UpDownEdit3, Button1,     Button2,     UpDownEdit4};
  for (std::size_t i = 1; i < std::size(order); ++i)
    setTabOrder(order[i - 1], order[i]);
}

void TNewCompForm::FillKinds() {
  ComboBoxEx1->setIconSize(QSize(16, 16));
  ComboBoxEx1->setMaxVisibleItems(15);
  QPixmap blank(16, 16);
  blank.fill(Qt::transparent);
  for (int i = 0; i < KindItemCount; ++i) {
    const char *file = KindIcons[i];
    const QIcon icon =
        file ? QIcon(QStringLiteral(":/kinds/%1.xpm").arg(QLatin1String(file))) : QIcon(blank);
    ComboBoxEx1->addItem(icon, QString::fromLatin1(KindItems[static_cast<std::size_t>(i)].Caption));
  }
  // No kind is chosen until the user picks one.
  ComboBoxEx1->setCurrentIndex(-1);
}

void TNewCompForm::SetRanges() {
  // A board without traces still leaves a range of one value.
  const std::int32_t traces = std::max(1, board_.TraceCount());
  const std::int32_t pins = std::max(1, board_.PinCount());
  for (TUpDownEdit *spin : {UpDownEdit1, UpDownEdit2, UpDownEdit3}) {
    spin->SetMin(1);
    spin->SetMax(spin == UpDownEdit3 ? pins : traces);
  }
}

void TNewCompForm::PrepareAdd() {
  const std::int32_t start = board_.HighlightTrace;
  const std::int32_t end = board_.HighlightEndTrace;
  const std::int32_t row = board_.ClickedPin;
  EditedComponent = nullptr;
  SetRanges();
  Edit1->setFocus();
  if (start >= 0 && end >= 0 && std::abs(start - end) >= 2 &&
      ComboBoxEx1->currentIndex() == SocketItem) {
    UpDownEdit2->setEnabled(true);
    ComboBoxEx1->setCurrentIndex(WireItem);
    ComboBoxEx1->setFocus();
  }
  UpDownEdit1->SetPosition(Shown(start));
  UpDownEdit3->SetPosition(Shown(row));
  UpDownEdit2->SetPosition(end >= 0 ? Shown(end) : Shown(start) + 2);
}

void TNewCompForm::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (!event->spontaneous())
    FormShow();
}

void TNewCompForm::FormShow() {
  SetRanges();
  if (EditedComponent)
    LoadEditedComponent();
  // A component loaded for editing is shown as stored: a one-trace part must not be widened
  // as if the user had just picked its kind.
  ApplyKind(EditedComponent == nullptr);
  UpDownEdit1Change();
  UpDownEdit2Change();
  UpDownEdit3Change();
  ShowCapWidth();
}

void TNewCompForm::LoadEditedComponent() {
  const BoardComponent &c = *EditedComponent;
  if (const int item = ItemOfKind(c.Kind); item >= 0)
    ComboBoxEx1->setCurrentIndex(item);
  // End Trace may still be disabled from a socket shown before, and then it follows every
  // write of Start Trace or Cap Width; its state must be that of this component's kind before
  // the positions are loaded.
  UpDownEdit2->setEnabled(ComboBoxEx1->currentIndex() != SocketItem);
  Edit1->setText(QString::fromStdString(c.Name));
  UpDownEdit4->SetPosition(c.CapWidth);
  UpDownEdit1->SetPosition(Shown(c.StartTrace));
  UpDownEdit2->SetPosition(Shown(c.EndTrace));
  UpDownEdit3->SetPosition(Shown(c.StartPin));
}

void TNewCompForm::ComboBox3Change() { ApplyKind(true); }

void TNewCompForm::ApplyKind(bool chosenByUser) {
  if (ComboBoxEx1->currentIndex() == SocketItem) {
    // A connector pin sits in one hole: its end follows its start.
    UpDownEdit2->setEnabled(false);
    SpeedButton1->setEnabled(false);
    UpDownEdit2->SetPosition(UpDownEdit1->Position());
    SpeedButton2->setVisible(EditedComponent == nullptr);
  } else {
    SpeedButton2->hide();
    UpDownEdit2->setEnabled(true);
    SpeedButton1->setEnabled(true);
    if (chosenByUser && UpDownEdit2->Position() == UpDownEdit1->Position())
      UpDownEdit2->SetPosition(UpDownEdit1->Position() + 2);
  }
  ShowCapWidth();
}

void TNewCompForm::ShowCapWidth() {
  const bool radial = ComboBoxEx1->currentIndex() == RadialItem;
  Label5->setVisible(radial);
  UpDownEdit4->setVisible(radial);
}

void TNewCompForm::UpDownEdit1Change() {
  const std::int32_t start = UpDownEdit1->Position();
  board_.SetHighlightTrace(start - 1);
  if (!UpDownEdit2->isEnabledTo(this)) {
    UpDownEdit2->SetPosition(start);
    board_.SetHighlightEndTrace(start - 1);
  }
}

void TNewCompForm::UpDownEdit2Change() { board_.SetHighlightEndTrace(UpDownEdit2->Position() - 1); }

void TNewCompForm::UpDownEdit3Change() {
  board_.HighlightPin = UpDownEdit3->Position() - 1;
  board_.Repaint();
}

void TNewCompForm::SpeedButton1Click() {
  const std::int32_t start = UpDownEdit1->Position();
  const std::int32_t end = UpDownEdit2->Position();
  UpDownEdit1->SetPosition(end);
  UpDownEdit2->SetPosition(start);
}

void TNewCompForm::SpeedButton2Click() {
  TDipSocketForm sockets(host_, this, UpDownEdit1->Position() - 1, UpDownEdit3->Position() - 1);
  if (host_.Ask().Exec(sockets) == QDialog::Accepted)
    accept();
}

bool TNewCompForm::eventFilter(QObject *watched, QEvent *event) {
  if (watched == ComboBoxEx1 && event->type() == QEvent::KeyPress) {
    const auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    const bool command =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && text.size() == 1 && text[0].isPrint() && !text[0].isSpace()) {
      ComboBoxEx1KeyPress(text[0]);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TNewCompForm::ComboBoxEx1KeyPress(QChar key) {
  const int hit = FindKindItem(ComboBoxEx1->currentIndex(), key.toUpper().unicode());
  if (hit < 0)
    return;
  ComboBoxEx1->setCurrentIndex(hit);
  ComboBox3Change();
}

void TNewCompForm::Button1Click() {
  const int item = ComboBoxEx1->currentIndex();
  if (item < 0 || item >= KindItemCount) {
    // No kind chosen: nothing is added, and the keyboard goes where the choice is missing.
    ComboBoxEx1->setFocus();
    host_.Ask().Beep();
    return;
  }
  if (Edit1->text().isEmpty())
    Edit1->setText(QString::fromLatin1(UnnamedComponent));
  const ComponentEntry entry{Edit1->text().toStdString(), item,
                             UpDownEdit1->Position(),     UpDownEdit2->Position(),
                             UpDownEdit3->Position(),     UpDownEdit4->Position()};
  if (item == RadialItem && !RadialFits(entry.StartTrace, entry.EndTrace, entry.CapWidth)) {
    UpDownEdit4->setFocus();
    host_.Ask().Beep();
    return;
  }
  if (EditedComponent) {
    host_.Doc().Apply("Edit Component", [&] {
      WriteEntry(entry, *EditedComponent);
      return true;
    });
    accept();
    return;
  }
  auto c = std::make_unique<BoardComponent>();
  WriteEntry(entry, *c);
  const bool socket = c->Is(ComponentKind::Socket);
  host_.AddComponentToLayout(std::move(c));
  Edit1->clear();
  Edit1->setFocus();
  Advance(socket);
}

// A value past its spin's maximum is clamped by the spin.
void TNewCompForm::Advance(bool socket) {
  if (socket) {
    // Both read before either is written: a socket's end follows its start as soon as the
    // start changes.
    const std::int32_t start = UpDownEdit1->Position() + 1;
    const std::int32_t end = UpDownEdit2->Position() + 1;
    UpDownEdit1->SetPosition(start);
    UpDownEdit2->SetPosition(end);
  } else {
    UpDownEdit3->SetPosition(UpDownEdit3->Position() + 2);
  }
}

} // namespace tarnwick
