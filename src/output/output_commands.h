#pragma once

namespace tarnwick {

class EditorHost;
class TPrintForm;

// File > Export Image: the board as a PNG file with the layout's name underneath.
void ExportImageCommand(EditorHost &host);
// File > Print: the print dialog, on a board with traces.
void PrintCommand(EditorHost &host, TPrintForm &dialog);

} // namespace tarnwick
