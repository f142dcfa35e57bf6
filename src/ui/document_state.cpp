// The File commands and the document state of the main window: its file name, title, name box
// and side panel around the document that holds the board's history.
#include "document/document_hooks.h"
#include "document/layout_file.h"
#include "document/newschematic.h"
#include "nets/net_check_panel.h"
#include "ui/EnhControls.h"
#include "ui/file_names.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>

namespace tarnwick {
namespace {

const QString NamePlaceholder = QStringLiteral("(enter schematic name here)");

FileRequest LayoutDialog(const char *key, bool open) {
  FileRequest request;
  request.Key = QString::fromLatin1(key);
  request.Filter = QStringLiteral("Layout Files (*.twk)");
  request.DefaultSuffix = QStringLiteral("twk");
  request.MustExist = open;
  request.ConfirmOverwrite = !open;
  return request;
}

std::string NativeName(const QString &fileName) { return NativeFileName(fileName); }

} // namespace

void TMainForm::CreateNewLayoutDialog() {
  NewLayoutForm = new TNewLayoutForm(this);
  NewLayoutForm->hide();
}

void TMainForm::ResetDocument() {
  board_->CancelDrag();
  // The board reports its emptied component list, and the rows go with it.
  board_->Clear();
  // The new board may be smaller: no highlight may name a trace or pin of the old one.
  board_->HighlightTrace = -1;
  board_->HighlightEndTrace = -1;
  board_->HighlightPin = -1;
  setWindowTitle(QStringLiteral("Tarnwick"));
  currentFileName_.clear();
  eightBitText_ = false;
  SetLayoutName(QString());
  Panel1->hide();
  // A report on the layout that goes would name parts of another board.
  if (NetCheck1)
    NetCheck1->CloseReport();
  document_->Reset(false);
  UpdateCommands();
  if (hooks_) // the recovery copy goes with the changes
    hooks_->LayoutDiscarded();
}

void TMainForm::AddComponentToLayout(std::unique_ptr<BoardComponent> c) {
  document_->Apply("Add Component", [&] {
    board_->AddComponent(std::move(c));
    return true;
  });
}

void TMainForm::ShowLayoutPanel() { Panel1->show(); }

QString TMainForm::LayoutName() const { return Edit3->text(); }

bool TMainForm::Modified() const { return document_->Modified() || Edit3->text() != savedName_; }

void TMainForm::SetLayoutName(const QString &name) {
  savedName_ = name;
  Edit3->setText(name);
}

void TMainForm::TellHooksModified() {
  if (!hooks_)
    return;
  if (Modified())
    hooks_->LayoutChanged();
  else
    hooks_->LayoutDiscarded();
}

void TMainForm::ApplyLayout(const LayoutData &data) {
  SetLayoutName(QString::fromStdString(data.Name));
  eightBitText_ = data.EightBit;
  {
    // The list is brought in line once, when every component is on the board.
    const tarnwick::Board::ChangeBatch batch(*board_);
    BuildBoard(data, *board_);
  }
  document_->Reset(false);
}

// The file is read whole before the board is touched, so a file that cannot be read or holds
// counts beyond the limits leaves the current layout as it was.
void TMainForm::LoadLayout(const QString &fileName) {
  ApplyLayout(ReadLayoutFile(NativeName(fileName), MaxEditorParts));
}

// A save that fails leaves Modified set, so the work is not thrown away without a question.
void TMainForm::SaveLayout(const QString &fileName) {
  WriteLayoutFile(NativeName(fileName), *board_, Edit3->text().toStdString(), eightBitText_);
  savedName_ = Edit3->text();
  document_->MarkSaved();
}

bool TMainForm::DiscardQuery() {
  if (!Modified())
    return true;
  return prompts_.Question(
      this, QStringLiteral("Discard Changes?"),
      QStringLiteral("Do you want to discard the changes made to the current layout?"));
}

void TMainForm::New1Click() {
  if (!DiscardQuery())
    return;
  if (prompts_.Exec(*NewLayoutForm) != QDialog::Accepted)
    return;
  ResetDocument();
  Edit3->setEnabled(true);
  SetLayoutName(NamePlaceholder);
  board_->InitBoard(NewLayoutForm->UpDownEdit1->Position(), NewLayoutForm->UpDownEdit2->Position());
  Panel1->show();
  board_->Repaint();
}

void TMainForm::Open1Click() {
  if (!DiscardQuery())
    return;
  const QString fileName = prompts_.OpenFileName(this, LayoutDialog("open", true));
  if (fileName.isEmpty())
    return;
  ShowLayoutFile(fileName);
}

void TMainForm::OpenLayoutFile(const QString &fileName) {
  if (!DiscardQuery())
    return;
  ShowLayoutFile(fileName);
}

void TMainForm::ShowLayoutFile(const QString &fileName) {
  const LayoutData data = ReadLayoutFile(NativeName(fileName), MaxEditorParts);
  ResetDocument();
  ApplyLayout(data);
  Edit3->setEnabled(true);
  Panel1->show();
  currentFileName_ = fileName;
  SetTitleFromFile();
  if (hooks_) // recent layouts
    hooks_->LayoutFiled(currentFileName_);
  if (data.Dropped > 0)
    WarnDropped(fileName, data);
}

// A file cut short (or edited by hand) loses entries without a position; the next save
// would make the loss final, so the user hears of it before.
void TMainForm::WarnDropped(const QString &fileName, const LayoutData &data) {
  prompts_.Warning(this, QStringLiteral("Parts Dropped"),
                   QStringLiteral("%1 of the %2 parts listed in %3 were dropped: their entries "
                                  "are missing or have no position. Saving the layout keeps "
                                  "only the parts shown.")
                       .arg(data.Dropped)
                       .arg(data.PartCount)
                       .arg(QFileInfo(fileName).fileName()));
}

void TMainForm::Save1Click() {
  if (board_->TraceCount() == 0)
    return;
  QString fileName = currentFileName_;
  if (fileName.isEmpty()) {
    fileName = prompts_.SaveFileName(this, LayoutDialog("save", false));
    if (fileName.isEmpty())
      return;
  }
  SaveToFile(fileName);
}

void TMainForm::Saveas1Click() {
  const QString fileName = prompts_.SaveFileName(this, LayoutDialog("save", false));
  if (fileName.isEmpty())
    return;
  SaveToFile(fileName);
}

// The name is the layout's only once the save succeeded: after a failed Save as, Save still
// writes where the layout came from.
void TMainForm::SaveToFile(const QString &fileName) {
  SaveLayout(fileName);
  currentFileName_ = fileName;
  SetTitleFromFile();
  if (hooks_) // recent layouts, and the recovery copy goes
    hooks_->LayoutFiled(currentFileName_);
}

// Ends the program's event loop; the close request that follows is then let through.
void TMainForm::Exit1Click() {
  if (!DiscardQuery())
    return;
  exitRequested_ = true;
  if (hooks_) // a clean end leaves no recovery copy
    hooks_->LayoutDiscarded();
  QCoreApplication::exit(0);
}

} // namespace tarnwick
