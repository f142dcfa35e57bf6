#pragma once

#include <QString>
#include <string>

namespace tarnwick {

// File names as the system has them (bytes) and as the window holds them. A name in UTF-8
// converts as usual. A byte that is no part of a valid UTF-8 sequence (a name made under
// another encoding) becomes the code unit U+DC00 + byte, an unpaired surrogate that no valid
// name holds, and converts back to the same byte: such a file opens, and saves where it came
// from.
QString FileNameFromNative(const std::string &native);
std::string NativeFileName(const QString &name);

} // namespace tarnwick
