#include "editing/u_dipsockets.h"

#include "board/board_view.h"
#include "document/document.h"
#include "document/editor_host.h"
#include "editing/socket_templates.h"
#include "ui/handler_guard.h"

#include <QListWidget>
#include <QPushButton>

namespace tarnwick {

TDipSocketForm::TDipSocketForm(EditorHost &host, QWidget *parent, std::int32_t trace,
                               std::int32_t row)
    : QDialog(parent), host_(host), trace_(trace), row_(row) {
  setObjectName(QStringLiteral("DipSocketForm"));
  setWindowTitle(QStringLiteral("DipSocketForm"));
  if (parent)
    setFont(parent->font());
  setFixedSize(349, 177);
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(8, 8, 241, 161);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  Button1 = new QPushButton(QStringLiteral("Insert"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(264, 112, 75, 25);
  Button1->setDefault(true);
  Button1->setEnabled(false);
  Button2 = new QPushButton(QStringLiteral("Cancel"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(264, 144, 75, 25);
  Button2->setAutoDefault(false);
  connect(ListBox1, &QListWidget::itemSelectionChanged, this, Guarded([this] { ListBox1Click(); }));
  connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

void TDipSocketForm::FormCreate() {
  for (const SocketTemplate &tpl : SocketTemplates)
    ListBox1->addItem(QString::fromLatin1(tpl.Name));
}

void TDipSocketForm::ListBox1Click() { Button1->setEnabled(!ListBox1->selectedItems().isEmpty()); }

void TDipSocketForm::Button1Click() {
  const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
  if (selected.isEmpty())
    return;
  const int index = ListBox1->row(selected.first());
  InsertSocketTemplate(SocketTemplates.at(static_cast<std::size_t>(index)), trace_, row_);
  accept();
}

void TDipSocketForm::InsertSocketTemplate(const SocketTemplate &tpl, std::int32_t t,
                                          std::int32_t r) {
  Board &board = host_.View();
  // Every pin and the cut are one step. The cut has no name, so the board draws no text beside
  // it; its list row still says what it is.
  host_.Doc().Apply("Insert DIP Socket", [&] {
    for (BoardComponent &part : SocketComponents(tpl, t, r))
      board.AddComponent(std::make_unique<BoardComponent>(std::move(part)));
    board.Repaint();
    return true;
  });
}

} // namespace tarnwick
