// The File commands and the document state of the main window.
#include "ui/main_form.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTreeWidget>

namespace tarnwick {

void TMainForm::CreateNewLayoutDialog() {}

void TMainForm::ResetDocument() {
  // The rows point into the board, so they go before the board frees the components.
  ListView1->clear();
  board_->Clear();
  setWindowTitle(QStringLiteral("Tarnwick"));
  currentFileName_.clear();
  Edit3->clear();
  Panel1->hide();
  UpdateCommands();
  modified_ = false;
}

void TMainForm::AddComponentToLayout(std::unique_ptr<BoardComponent> c) {
  AppendRow(c.get());
  SetModified();
  board_->AddComponent(std::move(c));
}

void TMainForm::LoadLayout(const QString &) {}

void TMainForm::SaveLayout(const QString &) {}

void TMainForm::New1Click() {}

void TMainForm::Open1Click() {}

void TMainForm::Save1Click() {}

void TMainForm::Saveas1Click() {}

bool TMainForm::DiscardQuery() { return true; }

void TMainForm::Exit1Click() {
  exitRequested_ = true;
  QCoreApplication::exit(0);
}

} // namespace tarnwick
