#pragma once

#include "circuit/circuit_model.h"
#include "ui/prompts.h"

#include <QString>

namespace tarnwick {

class EditorHost;
struct LayoutData;

// What File > Lay Out Netlist sees of the window, beyond what every command sees of it.
class LayoutTarget {
public:
  virtual ~LayoutTarget() = default;
  virtual EditorHost &Host() = 0;
  // Fills the window, emptied by ResetDocument, with a layout: the board, the name box
  // (enabled), the side panel.
  virtual void ShowLayout(const LayoutData &data) = 0;
  // Checks the board against the circuit of a netlist file from now on, in the report beside
  // the board.
  virtual void CheckAgainst(circuit::Circuit circuit, const QString &fileName) = 0;
};

// The netlist dialog of Lay Out Netlist: SPICE and KiCad netlists; the file must exist.
FileRequest LayoutNetlistRequest();

// File > Lay Out Netlist: the discard query, the netlist dialog, then the automatic layout
// behind its progress dialog. The result is a new untitled layout, modified, with a fresh
// history, named after the netlist file and checked against it. Cancel, a netlist that cannot
// be read and a circuit that cannot be laid out leave the current layout as it was.
void LayOutNetlistCommand(LayoutTarget &target);

} // namespace tarnwick
