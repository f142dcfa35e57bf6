#include "nets/net_listing.h"

#include "nets/copper.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <vector>

namespace tarnwick {
namespace {

// The nets a label warning names at most.
constexpr std::size_t MaxNetsNamed = 20;

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
  // A strip with no part end and no label on it is bare copper, of no use to the reader; the
  // nets listed are numbered among themselves.
  std::vector<std::int32_t> listed(static_cast<std::size_t>(copper.NetCount()), -1);
  std::int32_t count = 0;
  for (std::int32_t net = 0; net < copper.NetCount(); ++net)
    if (!ends[static_cast<std::size_t>(net)].empty() || !copper.Labels(net).empty())
      listed[static_cast<std::size_t>(net)] = count++;
  // Which nets each label is found on, labels compared without case.
  std::map<std::string, std::vector<std::int32_t>> labelNets;
  for (std::int32_t net = 0; net < copper.NetCount(); ++net)
    for (const std::string &label : copper.Labels(net))
      labelNets[LowerCase(label)].push_back(listed[static_cast<std::size_t>(net)]);

  std::ostringstream out;
  for (std::int32_t net = 0; net < copper.NetCount(); ++net) {
    if (listed[static_cast<std::size_t>(net)] < 0)
      continue;
    out << "net " << Num(listed[static_cast<std::size_t>(net)]) << ":";
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
      // Every net of the label repeats the list: beyond a few its length would grow with the
      // square of the strips labelled alike.
      out << "  warning: label " << label << " is on " << nets.size() << " nets:";
      sep = " ";
      const std::size_t shown = std::min(nets.size(), MaxNetsNamed);
      for (std::size_t i = 0; i < shown; ++i) {
        out << sep << Num(nets[i]);
        sep = ", ";
      }
      if (shown < nets.size())
        out << " and " << nets.size() - shown << " more";
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
