// Hostile netlists read from real files by the circuit readers: each gives a circuit or stops
// with a message naming the file, quickly and in bounded memory.
#include "circuit/circuit_reader.h"
#include "support/heap_meter.h"
#include "support/hostile_inputs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

namespace tarnwick::circuit {
namespace {

using tarnwick::test::HostileInput;
using tarnwick::test::Repeat;

std::vector<HostileInput> HostileKicad() {
  std::vector<HostileInput> in;
  in.push_back({"deep.net", std::string(1'000'000, '(')});
  in.push_back({"many_elements.net", "(export " + Repeat("(a)", 2'000'000) + ")"});
  {
    // One library part of many pins and many aliases, used by many components.
    std::string pins, aliases, comps;
    for (int k = 1; k <= 50'000; ++k) {
      pins += "(pin (num " + std::to_string(k) + "))";
      aliases += "(alias a" + std::to_string(k) + ")";
    }
    for (int k = 1; k <= 5'000; ++k)
      comps += "(comp (ref U" + std::to_string(k) + ") (libsource (lib l) (part a" +
               std::to_string(k) + ")))";
    in.push_back({"aliases.net", "(export (components " + comps +
                                     ") (libparts (libpart (lib l) (part p) (aliases " + aliases +
                                     ") (pins " + pins + "))))"});
  }
  {
    std::string comps;
    for (int k = 1; k <= 20'000; ++k)
      comps += "(comp (ref R" + std::to_string(k) + "))\n";
    in.push_back({"many_parts.net", "(export (components\n" + comps + "))"});
  }
  {
    std::string nodes;
    for (int k = 1; k <= 60'000; ++k)
      nodes += "(node (ref J1) (pin " + std::to_string(k) + "))";
    in.push_back({"wide_connector.net",
                  "(export (components (comp (ref J1))) (nets (net (name a) " + nodes + ")))"});
  }
  return in;
}

TEST(CircuitHostile, EveryNetlistReadsOrFailsWithItsName) {
  const tarnwick::test::TempDir dir;
  std::vector<HostileInput> inputs = tarnwick::test::HostileNetlists();
  for (HostileInput &k : HostileKicad())
    inputs.push_back({"kicad_" + k.Name, std::move(k.Bytes)});
  // A SPICE deck's first line is its title, however long or part-like; the others stop early.
  const std::set<std::string> readable = {"huge_comment.net", "lines_100000_comments.net",
                                          "kicad_wide_connector.net"};
  for (const HostileInput &input : inputs) {
    const std::string path = dir.Write(input.Name, input.Bytes);
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const std::size_t peak = tarnwick::test::PeakHeapDuring([&] {
      try {
        ReadCircuitFile(path);
      } catch (const TarnwickError &e) {
        error = e.what();
      }
    });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(error.empty(), readable.count(input.Name) == 1) << input.Name << ": " << error;
    if (!error.empty()) {
      EXPECT_EQ(error.find(path), 0u) << error;
    }
    // The file itself, a tree of at most half a million elements, and the circuit.
    EXPECT_LT(peak, 96u << 20) << input.Name;
    EXPECT_LT(seconds, 10.0) << input.Name;
  }
}

} // namespace
} // namespace tarnwick::circuit
