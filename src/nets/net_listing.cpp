#include "nets/net_listing.h"

#include "nets/copper.h"

#include <map>
#include <sstream>
#include <vector>

namespace tarnwick {
namespace {

std::string Num(std::int32_t v) { return std::to_string(std::int64_t{v} + 1); }

std::string EndText(const Board &board, const Terminal &end) {
  const BoardComponent &c = board.GetComponent(end.Component);
  std::string s = KindListText(c.Kind) + " " + (c.Name.empty() ? "(no name)" : c.Name);
  if (TerminalCount(c) == 2)
    s += end.Number == 0 ? " start" : " end";
  return s + " (trace " + Num(end.Trace) + ", row " + Num(end.Pin) + ")";
}

} // namespace

std::string NetListing(const Board &board) {
  const Copper copper(board);
  std::vector<std::vector<const Terminal *>> ends(static_cast<std::size_t>(copper.NetCount()));
  std::vector<const Terminal *> unconnected;
  for (const Terminal &end : copper.Terminals())
    (end.Net >= 0 ? ends[static_cast<std::size_t>(end.Net)] : unconnected).push_back(&end);
  // Which nets each label is found on, labels compared without case.
  std::map<std::string, std::vector<std::int32_t>> labelNets;
  for (std::int32_t net = 0; net < copper.NetCount(); ++net)
    for (const std::string &label : copper.Labels(net))
      labelNets[LowerCase(label)].push_back(net);

  std::ostringstream out;
  for (std::int32_t net = 0; net < copper.NetCount(); ++net) {
    out << "net " << Num(net) << ":";
    const char *sep = " ";
    for (const CopperSpan &s : copper.Islands(net)) {
      out << sep << "trace " << Num(s.Trace) << " rows " << Num(s.FirstPin) << "-"
          << Num(s.LastPin);
      sep = "; ";
    }
    out << '\n';
    const auto &here = ends[static_cast<std::size_t>(net)];
    if (!here.empty()) {
      out << "  ends:";
      sep = " ";
      for (const Terminal *end : here) {
        out << sep << EndText(board, *end);
        sep = "; ";
      }
      out << '\n';
    }
    const auto &labels = copper.Labels(net);
    if (!labels.empty()) {
      out << "  labels:";
      sep = " ";
      for (const std::string &label : labels) {
        out << sep << label;
        sep = ", ";
      }
      out << '\n';
    }
    if (labels.size() > 1)
      out << "  warning: one net carries " << labels.size() << " different labels\n";
    for (const std::string &label : labels) {
      const auto &nets = labelNets[LowerCase(label)];
      if (nets.size() < 2)
        continue;
      out << "  warning: label " << label << " is on " << nets.size() << " nets:";
      sep = " ";
      for (std::int32_t n : nets) {
        out << sep << Num(n);
        sep = ", ";
      }
      out << '\n';
    }
  }
  for (const Terminal *end : unconnected)
    out << "not connected: " << EndText(board, *end)
        << (end->Fault == EndFault::OnCut ? " lies on a cut\n" : " lies off the board\n");
  for (const LooseWireEnd &end : copper.LooseWireEnds())
    out << "not connected: wire end (trace " << Num(end.Trace) << ", row " << Num(end.Pin)
        << (end.Fault == EndFault::OnCut ? ") lies on a cut\n" : ") lies off the board\n");
  return out.str();
}

} // namespace tarnwick
