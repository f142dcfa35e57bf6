// File > Export Cut List and File > Export Parts List: the sheets a builder takes to the bench.
#include "output/assembly_commands.h"

#include "board/board.h"
#include "document/replacing_file.h"
#include "output/parts_list.h"
#include "ui/prompts.h"

#include <QFile>

namespace tarnwick {
namespace {

// The file the user picked, or an empty name for nothing to do.
QString AskFile(const Board &board, Prompts &prompts, QWidget *parent, const char *key,
                const char *filter, const char *suffix) {
  if (board.TraceCount() == 0)
    return {};
  FileRequest request;
  request.Key = QString::fromLatin1(key);
  request.Filter = QString::fromLatin1(filter);
  request.DefaultSuffix = QString::fromLatin1(suffix);
  request.ConfirmOverwrite = true;
  return prompts.SaveFileName(parent, request);
}

// Through a temporary file beside the target, like the image export, with its messages.
void Write(const QString &fileName, const std::string &content) {
  ReplaceFileContent(QFile::encodeName(fileName).toStdString(), content);
}

} // namespace

void ExportCutList(const Board &board, Prompts &prompts, QWidget *parent, const QString &layoutName,
                   BoardSide side) {
  const QString fileName =
      AskFile(board, prompts, parent, "ExportCutList", "Text Files (*.txt)", "txt");
  if (!fileName.isEmpty())
    Write(fileName, FormatCutList(board, layoutName.toStdString(), side));
}

void ExportPartsList(const Board &board, Prompts &prompts, QWidget *parent) {
  const QString fileName =
      AskFile(board, prompts, parent, "ExportPartsList", "CSV Files (*.csv)", "csv");
  if (!fileName.isEmpty())
    Write(fileName, FormatPartsList(board));
}

} // namespace tarnwick
