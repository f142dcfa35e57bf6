#pragma once

#include <QDialog>
#include <cstdint>

class QListWidget;
class QPushButton;

namespace tarnwick {

class EditorHost;
struct SocketTemplate;

// Places a DIP socket from a template: one Socket per pin, named after the pin, and the trace
// cut between the two pin rows. Created for one use by the component dialog, which hands over
// the board position (trace and row, counted from 0) of the socket's upper-left pin.
class TDipSocketForm : public QDialog {
  Q_OBJECT
public:
  TDipSocketForm(EditorHost &host, QWidget *parent, std::int32_t trace, std::int32_t row);

  void FormCreate();
  void ListBox1Click();
  void Button1Click();
  // Adds the template's components to the board and rows to the component list.
  void InsertSocketTemplate(const SocketTemplate &tpl, std::int32_t t, std::int32_t r);

  QListWidget *ListBox1 = nullptr;
  QPushButton *Button1 = nullptr;
  QPushButton *Button2 = nullptr;

private:
  EditorHost &host_;
  std::int32_t trace_;
  std::int32_t row_;
};

} // namespace tarnwick
