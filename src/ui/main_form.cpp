#include "ui/main_form.h"

#include "nets/check_command.h"
#include "nets/net_check_panel.h"
#include "ui/board_area.h"
#include "ui/handler_guard.h"
#include "ui/prompts.h"
#include "ui/rulers.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

// The icons live in the static GUI library, whose resources must be registered by hand.
static void RegisterIcons() { Q_INIT_RESOURCE(icons); }

namespace tarnwick {
namespace {

// The side panel lays out its two groups at fixed positions; the "Components" group and its
// list stretch with the panel's height.
class SidePanel : public QWidget {
public:
  using QWidget::QWidget;
  QGroupBox *Components = nullptr;
  QTreeWidget *List = nullptr;

protected:
  void resizeEvent(QResizeEvent *) override {
    if (!Components)
      return;
    Components->setGeometry(12, 80, 164, std::max(height() - 80 - 8, 60));
    if (List)
      List->setGeometry(12, 22, Components->width() - 27, Components->height() - 36);
  }
};

const QList<QKeySequence> &WindowShortcuts() {
  static const QList<QKeySequence> keys = {
      QKeySequence(Qt::CTRL | Qt::Key_O),
      QKeySequence(Qt::CTRL | Qt::Key_S),
      QKeySequence(Qt::CTRL | Qt::Key_A),
      QKeySequence(Qt::CTRL | Qt::Key_Left),
      QKeySequence(Qt::CTRL | Qt::Key_Right),
      QKeySequence(Qt::CTRL | Qt::Key_Up),
      QKeySequence(Qt::CTRL | Qt::Key_Down),
      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left),
      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right),
  };
  return keys;
}

// Undo and Redo stay with a text box only while it has edits of its own to take back;
// otherwise they undo and redo the layout.
bool BoxKeepsHistoryKey(QObject *watched, const QKeySequence &pressed) {
  const auto *box = qobject_cast<const QLineEdit *>(watched);
  if (!box)
    return true;
  if (pressed == QKeySequence(Qt::CTRL | Qt::Key_Z))
    return box->isUndoAvailable();
  if (pressed == QKeySequence(Qt::CTRL | Qt::Key_Y) ||
      pressed == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z))
    return box->isRedoAvailable();
  return true;
}

} // namespace

TMainForm::TMainForm(Prompts &prompts, QWidget *parent) : QMainWindow(parent), prompts_(prompts) {
  RegisterIcons();
  setObjectName(QStringLiteral("MainForm"));
  setGeometry(191, 113, 730, 551);
  QFont windowFont(QStringLiteral("Tahoma"));
  windowFont.setPointSize(8);
  setFont(windowFont);
  // The View menu's zoom entries act on the view, which the board area takes in later.
  board_ = new BoardView(this);
  BuildMenus();
  BuildToolBar();
  auto *central = new QWidget(this);
  auto *row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  BuildBoardArea();
  document_ = std::make_unique<Document>(*board_);
  BuildSidePanel();
  Panel2->setParent(central);
  Panel1->setParent(central);
  NetCheck1 = new NetCheckPanel(*board_, central);
  row->addWidget(Panel2, 1);
  row->addWidget(NetCheck1, 0);
  row->addWidget(Panel1, 0);
  setCentralWidget(central);
  FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
  QIcon icon;
  for (const char *name : {":/icons/app16.xpm", ":/icons/app32.xpm", ":/icons/app48.xpm"})
    icon.addFile(QString::fromLatin1(name));
  setWindowIcon(icon);
  setWindowTitle(QStringLiteral("Tarnwick"));
  board_->setFont(ChooseBoardFont());
  board_->OnHighlightKompChange = [this](tarnwick::Board &) { BoardSelectionChange(); };
  board_->OnHighlightTraceChange = [this](tarnwick::Board &) { BoardTraceChange(); };
  board_->OnComponentEdit = [this](tarnwick::Board &) { BoardComponentEdit(); };
  board_->OnComponentsChange = [this](tarnwick::Board &) { SyncRows(); };
  document_->OnChange = [this] { HistoryChanged(); };
  // No change of the layout runs under a drag: it could free the components the drag moves.
  document_->BeforeChange = [this] { board_->CancelDrag(); };
  HistoryChanged();
  // A drag moves the components of the selected rows, as the Move commands do.
  board_->DragSelection = [this] { return SelectedComponents(); };
  board_->OnDragMove = [this](std::int32_t dx, std::int32_t dy) { MoveSelectionBy(dx, dy); };
  // Handled once the event loop runs, so the window is maximised when it is first shown.
  QMetaObject::invokeMethod(
      this, [this] { setWindowState(windowState() | Qt::WindowMaximized); }, Qt::QueuedConnection);
}

void TMainForm::CreateDialogs() {
  CreateComponentDialog();
  CreateNewLayoutDialog();
  CreatePrintDialog();
}

void TMainForm::BuildMenus() {
  auto add = [this](QMenu *menu, const QString &caption, void (TMainForm::*handler)(),
                    QKeySequence key = {}) {
    QAction *a = menu->addAction(caption);
    a->setShortcut(key);
    connect(a, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
    return a;
  };
  QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
  add(file, QStringLiteral("New"), &TMainForm::New1Click);
  add(file, QStringLiteral("Open..."), &TMainForm::Open1Click, Qt::CTRL | Qt::Key_O);
  add(file, QStringLiteral("Save"), &TMainForm::Save1Click, Qt::CTRL | Qt::Key_S);
  add(file, QStringLiteral("Save as..."), &TMainForm::Saveas1Click);
  file->addSeparator();
  add(file, QStringLiteral("Import Netlist..."), &TMainForm::ImportNetlist1Click);
  add(file, QStringLiteral("Lay Out Netlist..."), &TMainForm::LayOutNetlist1Click);
  add(file, QStringLiteral("Check Against Netlist..."), &TMainForm::CheckAgainstNetlist1Click);
  file->addSeparator();
  add(file, QStringLiteral("Export Image..."), &TMainForm::ExportBitmap1Click);
  add(file, QStringLiteral("Export Cut List..."), &TMainForm::ExportCutList1Click);
  add(file, QStringLiteral("Export Parts List..."), &TMainForm::ExportPartsList1Click);
  file->addSeparator();
  add(file, QStringLiteral("Print..."), &TMainForm::Print1Click);
  file->addSeparator();
  // Named so that File > "Recent Layouts" can be put above it.
  add(file, QStringLiteral("Exit"), &TMainForm::Exit1Click)->setObjectName(QStringLiteral("Exit1"));

  QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  Undo1 = add(edit, QStringLiteral("Undo"), &TMainForm::Undo1Click, Qt::CTRL | Qt::Key_Z);
  Redo1 = add(edit, QStringLiteral("Redo"), &TMainForm::Redo1Click);
  Redo1->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  edit->addSeparator();
  add(edit, QStringLiteral("Move Left"), &TMainForm::ToolButton1Click, Qt::CTRL | Qt::Key_Left);
  add(edit, QStringLiteral("Move Right"), &TMainForm::ToolButton2Click, Qt::CTRL | Qt::Key_Right);
  add(edit, QStringLiteral("Move Up"), &TMainForm::ToolButton3Click, Qt::CTRL | Qt::Key_Up);
  add(edit, QStringLiteral("Move Down"), &TMainForm::ToolButton4Click, Qt::CTRL | Qt::Key_Down);
  edit->addSeparator();
  add(edit, QStringLiteral("Shift Trace To Left"), &TMainForm::Button4Click,
      Qt::CTRL | Qt::SHIFT | Qt::Key_Left);
  add(edit, QStringLiteral("Shift Trace To Right"), &TMainForm::Button5Click,
      Qt::CTRL | Qt::SHIFT | Qt::Key_Right);
  edit->addSeparator();
  add(edit, QStringLiteral("Add Component..."), &TMainForm::Button1Click, Qt::CTRL | Qt::Key_A);
  add(edit, QStringLiteral("Edit Component..."), &TMainForm::ListBox1DblClick);
  add(edit, QStringLiteral("Remove Component"), &TMainForm::Button2Click);
  edit->addSeparator();
  add(edit, QStringLiteral("Board Properties..."), &TMainForm::BoardProperties1Click);
  edit->addSeparator();
  add(edit, QStringLiteral("Shrink Board"), &TMainForm::Shrink1Click);

  QMenu *view = menuBar()->addMenu(QStringLiteral("View"));
  ShowLabels1 = add(view, QStringLiteral("Show Labels"), &TMainForm::ShowLabels1Click);
  ShowLabels1->setCheckable(true);
  ShowLabels1->setChecked(true);
  ShowFlow1 = add(view, QStringLiteral("Show Flow"), &TMainForm::ShowFlow1Click);
  ShowFlow1->setCheckable(true);
  ShowFlow1->setChecked(false);
  ShowNets1 = add(view, QStringLiteral("Show Nets"), &TMainForm::ShowNets1Click);
  ShowNets1->setCheckable(true);
  ShowNets1->setChecked(false);
  const ViewEntries entries = AddViewEntries(*view, *board_);
  CopperSide1 = entries.CopperSide;

  QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
  add(help, QStringLiteral("About..."), &TMainForm::About1Click);
}

void TMainForm::BuildToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
  struct Button {
    const char *name, *icon, *tip;
    void (TMainForm::*handler)();
    bool enabled;
  };
  const Button buttons[] = {
      {"ToolButton15", "new", "", &TMainForm::New1Click, true},
      {"ToolButton14", nullptr, nullptr, nullptr, false},
      {"ToolButton11", "open", "", &TMainForm::Open1Click, true},
      {"ToolButton12", "save", "", &TMainForm::Save1Click, false},
      {"ToolButton13", nullptr, nullptr, nullptr, false},
      {"ToolButton9", "add", "Add New Component", &TMainForm::Button1Click, false},
      {"ToolButton10", "remove", "", &TMainForm::Button2Click, false},
      {"ToolButton8", nullptr, nullptr, nullptr, false},
      {"ToolButton1", "move_left", "Move Component Left", &TMainForm::ToolButton1Click, false},
      {"ToolButton2", "move_right", "Move Component Right", &TMainForm::ToolButton2Click, false},
      {"ToolButton3", "move_up", "Move Component Up", &TMainForm::ToolButton3Click, false},
      {"ToolButton4", "move_down", "Move Component Down", &TMainForm::ToolButton4Click, false},
      {"ToolButton5", nullptr, nullptr, nullptr, false},
      {"ToolButton6", "shift_left", "Shift Trace Left", &TMainForm::Button4Click, false},
      {"ToolButton7", "shift_right", "Shift Trace Right", &TMainForm::Button5Click, false},
      {"ToolButton16", nullptr, nullptr, nullptr, false},
  };
  for (const Button &b : buttons) {
    QAction *a = nullptr;
    if (!b.icon) {
      a = ToolBar1->addSeparator();
    } else {
      a = ToolBar1->addAction(QIcon(QStringLiteral(":/icons/%1.xpm").arg(b.icon)), QString());
      a->setToolTip(QString::fromLatin1(b.tip));
      a->setEnabled(b.enabled);
      const auto handler = b.handler;
      connect(a, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
      if (QWidget *w = ToolBar1->widgetForAction(a))
        w->setObjectName(QString::fromLatin1(b.name));
    }
    a->setObjectName(QString::fromLatin1(b.name));
  }
  Edit3 = new QLineEdit(ToolBar1);
  Edit3->setObjectName(QStringLiteral("Edit3"));
  Edit3->setFixedSize(164, 22);
  Edit3->setEnabled(false);
  ToolBar1->addWidget(Edit3);
  Edit3->installEventFilter(this);
  // The name is part of the layout: a typed name is an unsaved change (the box keeps its own
  // text undo).
  connect(Edit3, &QLineEdit::textChanged, this, Guarded([this] { TellHooksModified(); }));
  // Undo and Redo come after the name box, so every other control keeps its place.
  ToolBar1->addSeparator()->setObjectName(QStringLiteral("ToolButton19"));
  const Button history[] = {
      {"ToolButton17", "undo", "Undo", &TMainForm::Undo1Click, false},
      {"ToolButton18", "redo", "Redo", &TMainForm::Redo1Click, false},
  };
  for (const Button &b : history) {
    QAction *a =
        ToolBar1->addAction(QIcon(QStringLiteral(":/icons/%1.xpm").arg(b.icon)), QString());
    a->setToolTip(QString::fromLatin1(b.tip));
    a->setEnabled(false);
    a->setObjectName(QString::fromLatin1(b.name));
    const auto handler = b.handler;
    connect(a, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
    if (QWidget *w = ToolBar1->widgetForAction(a))
      w->setObjectName(QString::fromLatin1(b.name));
  }
}

QAction *TMainForm::ToolAction(const QString &name) const {
  for (QAction *a : ToolBar1->actions())
    if (a->objectName() == name)
      return a;
  return nullptr;
}

void TMainForm::BuildBoardArea() {
  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto *grid = new QGridLayout(Panel2);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  PaintBox1 = new Ruler(Ruler::Edge::Top, Panel2);
  PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
  PaintBox1->setFixedHeight(12);
  PaintBox2 = new Ruler(Ruler::Edge::Left, Panel2);
  PaintBox2->setObjectName(QStringLiteral("PaintBox2"));
  PaintBox2->setFixedWidth(15);
  PaintBox1->SetLeftRulerWidth(15);
  auto *area = new BoardArea(board_, Panel2);
  area->Follow(PaintBox1, PaintBox2);
  grid->addWidget(PaintBox1, 0, 0, 1, 2);
  grid->addWidget(PaintBox2, 1, 0);
  grid->addWidget(area, 1, 1);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(1, 1);
}

void TMainForm::BuildSidePanel() {
  auto *panel = new SidePanel(this);
  Panel1 = panel;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedWidth(185);

  // The groups' contents sit at fixed positions that expect the caption on the frame's top
  // line, not above it as some styles draw it.
  Panel1->setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0 2px; }"));
  GroupBox2 = new QGroupBox(QStringLiteral("Trace"), Panel1);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setGeometry(12, 8, 164, 65);
  Label1 = new QLabel(QStringLiteral("Label:"), GroupBox2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(12, 16);
  Edit1 = new QLineEdit(GroupBox2);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(12, 32, 85, 21);
  Edit1->installEventFilter(this);
  connect(Edit1, &QLineEdit::returnPressed, this, Guarded([this] {
            if (Button3->isDefault())
              Button3Click();
          }));
  Button3 = new QPushButton(QStringLiteral("Set"), GroupBox2);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(108, 32, 41, 23);
  Button3->setAutoDefault(false);
  connect(Button3, &QPushButton::clicked, this, Guarded([this] { Button3Click(); }));

  GroupBox1 = new QGroupBox(QStringLiteral("Components"), Panel1);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(12, 80, 164, 380);
  ListView1 = new QTreeWidget(GroupBox1);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(12, 22, 137, 344);
  ListView1->setColumnCount(2);
  ListView1->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Label")});
  ListView1->setColumnWidth(0, 50);
  ListView1->setColumnWidth(1, 200);
  ListView1->header()->setSectionsClickable(false);
  ListView1->header()->setSectionsMovable(false);
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->installEventFilter(this);
  connect(ListView1, &QTreeWidget::itemSelectionChanged, this, Guarded([this] {
            ListView1SelectItem();
            ListView1Change();
          }));
  connect(ListView1, &QTreeWidget::itemChanged, this, Guarded([this] { ListView1Change(); }));
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
          Guarded([this] { ListBox1DblClick(); }));
  panel->Components = GroupBox1;
  panel->List = ListView1;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // Menu shortcuts win over the focused control (the line edits' own Ctrl+arrow and Ctrl+A).
    auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    if (WindowShortcuts().contains(pressed) || !BoxKeepsHistoryKey(watched, pressed))
      return true;
  }
  if (watched == Edit1) {
    if (event->type() == QEvent::FocusIn)
      Edit1Enter();
    else if (event->type() == QEvent::FocusOut)
      Edit1Exit();
  }
  if (watched == ListView1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    Guarded([this, key] { ListView1KeyDown(key); })();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Edit1Enter() { Button3->setDefault(true); }

void TMainForm::Edit1Exit() { Button3->setDefault(false); }

void TMainForm::closeEvent(QCloseEvent *event) {
  if (exitRequested_) {
    event->accept();
    return;
  }
  // The window closes only through Exit, which asks about unsaved changes.
  event->ignore();
  Exit1Click();
}

// The check mark always equals the board's switch, so inverting one inverts the other. (A
// checkable menu entry has already flipped its mark when it reports the click.)
void TMainForm::ShowLabels1Click() {
  ShowLabels1->setChecked(!board_->ShowLabels());
  board_->SetShowLabels(ShowLabels1->isChecked());
}

void TMainForm::ShowFlow1Click() {
  ShowFlow1->setChecked(!board_->ShowFlow());
  board_->SetShowFlow(ShowFlow1->isChecked());
}

void TMainForm::ShowNets1Click() {
  ShowNets1->setChecked(!board_->ShowNets());
  board_->SetShowNets(ShowNets1->isChecked());
}

void TMainForm::CheckAgainstNetlist1Click() { CheckAgainstNetlist(prompts_, this, *NetCheck1); }

void TMainForm::RecheckNets() {
  if (NetCheck1)
    NetCheck1->ScheduleRecheck();
}

void TMainForm::About1Click() {
  prompts_.Information(this, QStringLiteral("About..."), QStringLiteral("Tarnwick v0.1"));
}

void TMainForm::SetTitleFromFile() {
  const QString name = currentFileName_.section(QLatin1Char('/'), -1);
  setWindowTitle(QStringLiteral("Tarnwick [%1]").arg(name));
}

} // namespace tarnwick
