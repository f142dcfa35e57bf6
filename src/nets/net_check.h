#pragma once

#include "circuit/circuit_model.h"
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
  // The verdict, then the problems, the notes and the nodes that are fine; of each kind the
  // first MaxReportLines, then a line that counts the rest.
  std::vector<ReportLine> Lines;
  std::int64_t Problems = 0;
  // The search for a pairing of like parts with components reached its bound before it knew
  // whether one implements the netlist: the report then names only the problems that hold
  // under every pairing, and does not pass the layout.
  bool Unsettled = false;
  bool Implements() const { return Problems == 0 && !Unsettled; }
};

// A report names at most this many lines of a kind, and a line at most this many parts or
// nodes; the rest are counted ("... and 12 more"), so that a board with thousands of parts on
// one net gets a report of a few pages.
inline constexpr std::size_t MaxReportLines = 200;
inline constexpr std::size_t MaxNamesInALine = 20;

// The work the check may do before it says that it could not settle (see MatchLimits).
struct CheckLimits {
  std::int64_t PerfectSteps = 2'000'000;
  std::int64_t LocalSteps = 400'000;
};

// Checks a board against a netlist: for each node whether its ends share one net with no other
// node's ("ok") or lie on several nets ("open"); each net shared by several nodes ("short");
// parts with no component ("missing"), polar parts the wrong way round, transistors whose
// sockets stand in another order, components the netlist does not name (sockets are noted, not
// counted, since DIP sockets hold what a netlist leaves out), and ends and wire ends that lie
// off the board or on a cut. Like parts are paired with components the way that implements the
// netlist when there is one, whatever the list order (see MatchUnits). Positions are counted
// from 1, as the dialogs show them. Throws TarnwickError for a board too large to work out.
// Parts of the circuit model are found as the footprint table places them: a two-lead part on a
// component whose kind its footprint matches and whose name is its value; a part placed as
// sockets on the Sockets named <reference>.<pin>, pin by pin, or a transistor on the three
// <ref>_1 sockets the import makes. Netlist lines the reader passed over are noted as not
// checked.
CheckReport CheckLayout(const Board &board, const circuit::Circuit &circuit,
                        const CheckLimits &limits = {});
// The same for a netlist read by the import's rules.
CheckReport CheckLayout(const Board &board, const Circuit &circuit, const CheckLimits &limits = {});

// The report as tarnwick-cli prints it: the verdict, then one problem or note per line.
std::string ReportText(const CheckReport &report);

} // namespace tarnwick
