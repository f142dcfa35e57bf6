#pragma once

class QString;
class QWidget;

namespace tarnwick {

class NetCheckPanel;
class Prompts;

// File > Check Against Netlist: asks for a netlist in the import's dialog, reads it by the
// import's rules and has the panel check the board against it from then on. Nothing changes
// when the dialog is cancelled; a netlist that cannot be read stops with its error and leaves
// the panel as it was.
void CheckAgainstNetlist(Prompts &prompts, QWidget *owner, NetCheckPanel &panel);
// The same for a netlist file chosen beforehand.
void CheckAgainstNetlistFile(NetCheckPanel &panel, const QString &fileName);

} // namespace tarnwick
