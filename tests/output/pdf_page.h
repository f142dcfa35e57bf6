#pragma once

// Reading back what a PDF holds with the poppler tools (poppler-utils): their text output, or a
// page rendered into an image.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace tarnwick::test {

// The standard output of a poppler tool run with the arguments.
inline std::string Poppler(const char *tool, const QStringList &args) {
  const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
  EXPECT_FALSE(program.isEmpty()) << tool << " (poppler-utils) is needed";
  QProcess p;
  p.start(program, args);
  EXPECT_TRUE(p.waitForFinished(30000));
  return p.readAllStandardOutput().toStdString();
}

// The first page at 254 dots per inch, so one pixel is one unit of 0.1 mm, without smoothing:
// every pixel has the exact colour of what covers it.
inline QImage PdfPageAt254Dpi(const std::string &pdf) {
  QTemporaryDir dir;
  const QString stem = dir.filePath(QStringLiteral("page"));
  Poppler("pdftoppm",
          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("254"),
           QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
           QStringLiteral("no"), QStringLiteral("-singlefile"), QString::fromStdString(pdf), stem});
  return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace tarnwick::test
