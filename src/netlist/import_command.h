#pragma once

#include "ui/prompts.h"

namespace tarnwick {

class EditorHost;

// The netlist open dialog: "Netlist Files", extension "net" added to a typed name without one;
// a typed name need not exist (such a file imports as an empty board).
FileRequest NetlistFileRequest();

// File > Import Netlist: a new layout built from a netlist file, with a fresh history.
void ImportNetlistCommand(EditorHost &host);
// The same for a file given beforehand (on the command line or dropped on the window).
void ImportNetlistFileCommand(EditorHost &host, const QString &fileName);

} // namespace tarnwick
