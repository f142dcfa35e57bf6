#pragma once

class QWidget;

namespace tarnwick {

class NetCheckPanel;
class Prompts;

// File > Check Against Netlist: asks for a netlist in the import's dialog, reads it as a SPICE
// deck or a KiCad netlist (by its content) and has the panel check the board against it from
// then on. Nothing changes when the dialog is cancelled; a netlist that cannot be read stops
// with its error and leaves the panel as it was.
void CheckAgainstNetlist(Prompts &prompts, QWidget *owner, NetCheckPanel &panel);

} // namespace tarnwick
