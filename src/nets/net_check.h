#pragma once

#include "nets/circuit.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

enum class ReportKind : std::uint8_t {
  Verdict, // the first line: whether the layout implements the netlist
  Problem, // something that keeps it from doing so
  Note,    // worth knowing, not a failure
  Fine,    // a node that is as the netlist says
};

// One line of the check's report with what it names on the board.
struct ReportLine {
  ReportKind Kind = ReportKind::Problem;
  std::string Text;
  std::vector<CopperSpan> Copper;
  std::vector<std::int32_t> Components; // places in the board's component list
};

struct CheckReport {
  // The verdict, then the problems, the notes and the nodes that are fine.
  std::vector<ReportLine> Lines;
  std::int32_t Problems = 0;
  bool Implements() const { return Problems == 0; }
};

// Checks a board against a netlist: for each node whether its ends share one net with no other
// node's ("ok"), lie on several nets ("open") or share a net with another node ("short"); parts
// with no component ("missing"), polar parts the wrong way round, components the netlist does
// not name (sockets are noted, not counted, since DIP sockets hold what a netlist leaves out),
// and ends and wire ends that lie off the board or on a cut. Positions are counted from 1, as
// the dialogs show them. Throws TarnwickError for a board too large to work out.
CheckReport CheckLayout(const Board &board, const Circuit &circuit);

// The report as tarnwick-cli prints it: the verdict, then one problem or note per line.
std::string ReportText(const CheckReport &report);

} // namespace tarnwick
