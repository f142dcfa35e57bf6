#pragma once

#include "board/board_view.h"
#include "document/document.h"
#include "document/editor_host.h"

#include <QItemSelectionModel>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <unordered_set>
#include <vector>

class QAction;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QGroupBox;
class QLabel;

namespace tarnwick {

class NetCheckPanel;
class DocumentHooks;
class Prompts;
class Ruler;
class TPrintForm;
class TNewLayoutForm;
struct LayoutData;

// The main window: menus, toolbar, rulers, the board view and the side panel with the trace
// label box and the component list. Its handlers check their preconditions, call the board
// operations, then keep the list, the modified flag and the view in step.
class TMainForm : public QMainWindow, public EditorHost {
  Q_OBJECT
public:
  explicit TMainForm(Prompts &prompts, QWidget *parent = nullptr);
  ~TMainForm() override;

  BoardView &Board() { return *board_; }
  Prompts &Ask() override { return prompts_; }
  QTreeWidget &List() { return *ListView1; }
  QAction *ToolAction(const QString &name) const;

  // What the commands see of the window.
  BoardView &View() override { return *board_; }
  Document &Doc() override { return *document_; }
  QWidget *Window() override { return this; }
  std::vector<BoardComponent *> SelectedComponents() const override;
  QString LayoutName() const override;
  bool DiscardQuery() override;
  void ShowLayoutPanel() override;

  // Document state: the layout is modified while its history is not at the saved point or its
  // name differs from the one last opened or saved.
  bool Modified() const;
  const QString &CurrentFileName() const { return currentFileName_; }
  // Counts the layout as changed without a step to undo.
  void SetModified() { document_->MarkUnsaved(); }
  void ResetDocument() override;
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c) override;
  // The layout changed: the netlist check, when one is open, runs again.
  void RecheckNets();
  void LoadLayout(const QString &fileName);
  void SaveLayout(const QString &fileName);
  // Fills the window, emptied by ResetDocument, from a layout read from a file.
  void ApplyLayout(const LayoutData &data);

  // Opening a given file (command line, drops, recent layouts) and the
  // hooks through which the recent list and the recovery copy follow the document.
  void OpenLayoutFile(const QString &fileName);    // discard question, then as Open
  void ImportNetlistFile(const QString &fileName); // discard question, then as Import Netlist
  void SetDocumentHooks(DocumentHooks *hooks) { hooks_ = hooks; }

  // Component list rows: one per component, in board order, each pointing to its component.
  // The list is brought in line with the board whenever the board reports a change of its
  // components, keeping the selection on the components that still exist.
  void SyncRows();
  static BoardComponent *RowComponent(const QTreeWidgetItem *row);
  QTreeWidgetItem *FirstSelectedRow() const;
  std::vector<QTreeWidgetItem *> SelectedRows() const;

  void UpdateCommands();

  // File menu.
  void New1Click();
  void Open1Click();
  void Save1Click();
  void Saveas1Click();
  void ImportNetlist1Click();
  void LayOutNetlist1Click();
  void CheckAgainstNetlist1Click();
  void ExportBitmap1Click();
  void ExportCutList1Click();
  void ExportPartsList1Click();
  void Print1Click();
  void Exit1Click();
  // Edit menu.
  void Undo1Click();
  void Redo1Click();
  void ToolButton1Click(); // move left
  void ToolButton2Click(); // move right
  void ToolButton3Click(); // move up
  void ToolButton4Click(); // move down
  void Button4Click();     // shift trace left
  void Button5Click();     // shift trace right
  void Button1Click();     // add component
  void ListBox1DblClick(); // edit component
  void Button2Click();     // remove component
  void BoardProperties1Click();
  void Shrink1Click();
  // Moves the components of the selected rows dx traces and dy rows at once, all or none, by
  // the rules of the Move commands: what a drag on the board ends with.
  void MoveSelectionBy(std::int32_t dx, std::int32_t dy);
  // View and Help menus.
  void ShowLabels1Click();
  void ShowFlow1Click();
  void ShowNets1Click();
  void About1Click();
  // Side panel.
  void Button3Click(); // "Set": the highlighted trace's label
  void Edit1Enter();
  void Edit1Exit();
  void ListView1Change();
  void ListView1SelectItem();
  bool ListView1KeyDown(int key);
  // The board's three notifications.
  void BoardTraceChange();
  void BoardSelectionChange();
  void BoardComponentEdit();

  // Creates, hidden, the dialogs kept for the whole run: the component dialog, the New Layout
  // dialog and the print dialog, in this order.
  void CreateDialogs();

  // Set when Exit decided to end the program; the close request is then let through.
  bool ExitRequested() const { return exitRequested_; }

  // Controls, named as the window's description names them.
  QToolBar *ToolBar1 = nullptr;
  QLineEdit *Edit3 = nullptr;
  QWidget *Panel1 = nullptr;
  QWidget *Panel2 = nullptr;
  QGroupBox *GroupBox1 = nullptr;
  QGroupBox *GroupBox2 = nullptr;
  QLabel *Label1 = nullptr;
  QLineEdit *Edit1 = nullptr;
  QPushButton *Button3 = nullptr;
  QTreeWidget *ListView1 = nullptr;
  Ruler *PaintBox1 = nullptr;
  Ruler *PaintBox2 = nullptr;
  QAction *ShowLabels1 = nullptr;
  QAction *ShowFlow1 = nullptr;
  QAction *Undo1 = nullptr;
  QAction *Redo1 = nullptr;
  QAction *ShowNets1 = nullptr;
  NetCheckPanel *NetCheck1 = nullptr;
  QAction *CopperSide1 = nullptr;

protected:
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void FormCreate();
  void BuildMenus();
  void BuildToolBar();
  void BuildSidePanel();
  void BuildBoardArea();
  void SetTitleFromFile();
  // Captions of Undo and Redo, and the toolbar, after every change of the history.
  void HistoryChanged();
  // The recovery copy follows the modified state: kept while there are unsaved changes,
  // removed once there are none (also when they were undone or typed away).
  void TellHooksModified();
  // Writes the name box as the layout's unmodified name (opened, new or reset).
  void SetLayoutName(const QString &name);
  // Selects the rows of the components a played-back step touched.
  void SelectComponents(const std::vector<BoardComponent *> &components);
  QTreeWidgetItem *SelectRows(int from, const std::unordered_set<const BoardComponent *> &wanted,
                              QItemSelectionModel::SelectionFlags how);

  // Document commands.
  void CreateNewLayoutDialog();
  void ShowLayoutFile(const QString &fileName);
  void SaveToFile(const QString &fileName);
  void WarnDropped(const QString &fileName, const LayoutData &data);
  TNewLayoutForm *NewLayoutForm = nullptr; // kept for the whole run

  // Editing commands.
  void CreateComponentDialog();
  class TNewCompForm *NewCompForm = nullptr;

  // Output.
  void CreatePrintDialog();
  TPrintForm *printForm_ = nullptr;

  Prompts &prompts_;
  BoardView *board_ = nullptr;
  std::unique_ptr<Document> document_;
  bool exitRequested_ = false;
  QString currentFileName_;
  QString savedName_; // the layout's name as last opened or saved
  // The layout was read from 8-bit text, and is saved as such while its texts fit.
  bool eightBitText_ = false;
  DocumentHooks *hooks_ = nullptr; // recent layouts and recovery; none in the window's tests
};

} // namespace tarnwick
