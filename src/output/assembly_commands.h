#pragma once

#include "output/cut_list.h"

#include <QString>

class QWidget;

namespace tarnwick {

class Board;
class Prompts;

// File > Export Cut List...: asks for a text file and writes the cut list of the board into
// it. Does nothing on a board without traces or when the dialog is cancelled.
void ExportCutList(const Board &board, Prompts &prompts, QWidget *parent, const QString &layoutName,
                   BoardSide side);

// File > Export Parts List...: asks for a CSV file and writes the parts list into it. Does
// nothing on a board without traces or when the dialog is cancelled.
void ExportPartsList(const Board &board, Prompts &prompts, QWidget *parent);

} // namespace tarnwick
