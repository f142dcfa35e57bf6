#include "ui/file_names.h"

#include <QFile>

namespace tarnwick {
namespace {

constexpr char16_t Escape = 0xDC00;

// The length of the valid UTF-8 sequence at `p`, or 0 when the byte there starts none.
std::size_t SequenceLength(const unsigned char *p, std::size_t left) {
  const unsigned char c = p[0];
  if (c < 0x80)
    return 1;
  std::size_t n = 0;
  if (c >= 0xC2 && c <= 0xDF)
    n = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    n = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    n = 4;
  if (n == 0 || n > left)
    return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80)
      return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) || (c == 0xF0 && p[1] < 0x90) ||
      (c == 0xF4 && p[1] >= 0x90))
    return 0;
  return n;
}

bool Escaped(QChar c) { return c.unicode() >= Escape + 0x80 && c.unicode() <= Escape + 0xFF; }

} // namespace

QString FileNameFromNative(const std::string &native) {
  const auto *bytes = reinterpret_cast<const unsigned char *>(native.data());
  QString name;
  std::size_t run = 0; // start of the valid bytes not yet converted
  std::size_t i = 0;
  while (i < native.size()) {
    const std::size_t n = SequenceLength(bytes + i, native.size() - i);
    if (n > 0) {
      i += n;
      continue;
    }
    name += QString::fromUtf8(native.data() + run, static_cast<qsizetype>(i - run));
    name += QChar(static_cast<char16_t>(Escape + bytes[i]));
    run = ++i;
  }
  if (run == 0)
    return QFile::decodeName(QByteArray::fromStdString(native));
  name += QString::fromUtf8(native.data() + run, static_cast<qsizetype>(native.size() - run));
  return name;
}

std::string NativeFileName(const QString &name) {
  std::string native;
  qsizetype run = 0;
  bool escaped = false;
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (!Escaped(name[i]))
      continue;
    escaped = true;
    native += name.mid(run, i - run).toUtf8().toStdString();
    native += static_cast<char>(name[i].unicode() - Escape);
    run = i + 1;
  }
  if (!escaped)
    return QFile::encodeName(name).toStdString();
  native += name.mid(run).toUtf8().toStdString();
  return native;
}

} // namespace tarnwick
