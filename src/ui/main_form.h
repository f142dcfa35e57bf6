#pragma once

#include "board/board_view.h"

#include <QMainWindow>
#include <QString>
#include <functional>
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

class Prompts;
class Ruler;
class TPrintForm;
class TNewLayoutForm;
struct LayoutData;

// The main window: menus, toolbar, rulers, the board view and the side panel with the trace
// label box and the component list. Its handlers check their preconditions, call the board
// operations, then keep the list, the modified flag and the view in step.
class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TMainForm(Prompts &prompts, QWidget *parent = nullptr);
  ~TMainForm() override;

  BoardView &Board() { return *board_; }
  Prompts &Ask() { return prompts_; }
  QTreeWidget &List() { return *ListView1; }
  QAction *ToolAction(const QString &name) const;

  // Document state.
  bool Modified() const { return modified_; }
  const QString &CurrentFileName() const { return currentFileName_; }
  void SetModified() { modified_ = true; }
  void ResetDocument();
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c);
  void LoadLayout(const QString &fileName);
  void SaveLayout(const QString &fileName);

  // Component list rows: one per component, in board order, each pointing to its component.
  QTreeWidgetItem *AppendRow(BoardComponent *c);
  void RewriteRow(QTreeWidgetItem *row);
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
  void ExportBitmap1Click();
  void Print1Click();
  void Exit1Click();
  // Edit menu.
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
  // Runs the discard question when the layout has unsaved changes; false on Cancel.
  bool DiscardQuery();

  // Document commands.
  void CreateNewLayoutDialog();
  // Fills the window, emptied by ResetDocument, from a layout read from a file.
  void ApplyLayout(const LayoutData &data);
  TNewLayoutForm *NewLayoutForm = nullptr; // kept for the whole run

  // Editing commands.
  void CreateComponentDialog();
  // Runs the component dialog in edit mode for c; onOk runs when it ends with OK. Afterwards,
  // also when the dialog or onOk fails, the dialog edits nothing and no trace, end trace or
  // row is highlighted.
  void EditComponent(BoardComponent *c, const std::function<void()> &onOk);
  class TNewCompForm *NewCompForm = nullptr;

  // Netlist import.

  // Output.
  void CreatePrintDialog();
  TPrintForm *printForm_ = nullptr;

  Prompts &prompts_;
  BoardView *board_ = nullptr;
  bool modified_ = false;
  bool exitRequested_ = false;
  QString currentFileName_;
};

// The board view's font: "Small Fonts" when the system has it, else "Arial", 7 points.
QFont ChooseBoardFont();

} // namespace tarnwick
