#pragma once

// A SPICE netlist of a long chain of resistors and capacitors, every seventh part to ground: a
// circuit whose search runs long enough to press the progress dialog's buttons while it runs.
#include <string>

namespace tarnwick::layout_test {

inline std::string ChainNetlist(int parts) {
  std::string text = "* a long chain\n";
  for (int i = 1; i <= parts; ++i) {
    const bool capacitor = i % 3 == 0;
    text += (capacitor ? "c" : "r") + std::to_string(i) + " n" + std::to_string(i) + " n" +
            std::to_string(i % 7 == 0 ? 0 : i + 1) + (capacitor ? " 100n\n" : " 10k\n");
  }
  return text;
}

} // namespace tarnwick::layout_test
