#pragma once

#include "ui/prompts.h"

namespace tarnwick {

// The netlist open dialog: "Netlist Files", extension "net" added to a typed name without one;
// a typed name need not exist (such a file imports as an empty board).
FileRequest NetlistFileRequest();

} // namespace tarnwick
