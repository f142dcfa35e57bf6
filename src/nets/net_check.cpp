#include "nets/net_check.h"

#include "nets/copper.h"
#include "nets/part_matching.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>

namespace tarnwick {
namespace {

std::string Position(std::int32_t trace, std::int32_t pin) {
  return "trace " + std::to_string(std::int64_t{trace} + 1) + ", row " +
         std::to_string(std::int64_t{pin} + 1);
}

const char *KindWord(const BoardComponent &c) {
  switch (c.kind()) {
  case ComponentKind::Wire:
    return "wire";
  case ComponentKind::Resistor:
    return "resistor";
  case ComponentKind::Diode:
    return "diode";
  case ComponentKind::Socket:
    return "socket";
  case ComponentKind::Capacitor:
  case ComponentKind::ElectrolyticAxial:
  case ComponentKind::ElectrolyticRadial:
    return "capacitor";
  default:
    return "component";
  }
}

// "resistor 10k from trace 3 to trace 9, row 5".
std::string Describe(const BoardComponent &c) {
  std::string s = KindWord(c);
  if (!c.Name.empty())
    s += " " + c.Name;
  if (c.StartTrace == c.EndTrace)
    return s + " at " + Position(c.StartTrace, c.StartPin);
  return s + " from trace " + std::to_string(std::int64_t{c.StartTrace} + 1) + " to " +
         Position(c.EndTrace, c.StartPin);
}

std::string Join(const std::vector<std::string> &items, const char *separator) {
  std::string s;
  for (const std::string &item : items)
    s += (s.empty() ? "" : separator) + item;
  return s;
}

template <class T> void AddOnce(std::vector<T> &list, const T &item) {
  if (std::find(list.begin(), list.end(), item) == list.end())
    list.push_back(item);
}

// A part's end as the matching put it: the node it belongs to and where it lies.
struct End {
  std::int32_t Node;
  std::int32_t Net; // -1: connects to nothing
  std::int32_t Component;
  std::int32_t Part;
};

class ReportBuilder {
public:
  ReportBuilder(const Board &board, const Circuit &circuit)
      : board_(board), circuit_(circuit), copper_(board),
        matching_(MatchParts(board, copper_, circuit)) {}

  CheckReport Build() {
    CollectEnds();
    NodeLines();
    PartLines();
    BoardLines();
    Notes();
    CheckReport report;
    report.Problems = static_cast<std::int32_t>(problems_.size());
    std::string verdict;
    if (report.Implements())
      verdict = "The layout implements the netlist: " + Count(circuit_.Parts.size(), "part") +
                ", " + Count(circuit_.Nodes.size(), "node") + ".";
    else
      verdict =
          "The layout does not implement the netlist: " + Count(problems_.size(), "problem") + ".";
    report.Lines.push_back({ReportKind::Verdict, verdict, {}, {}});
    for (auto *lines : {&problems_, &notes_, &fine_})
      for (ReportLine &line : *lines)
        report.Lines.push_back(std::move(line));
    return report;
  }

private:
  static std::string Count(std::size_t n, const char *what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  }

  const std::string &Ref(std::int32_t part) const {
    return circuit_.Parts[static_cast<std::size_t>(part)].Reference;
  }

  // The part's name on the board, for telling it apart from its reference.
  std::string Named(std::int32_t part) const {
    const CircuitPart &p = circuit_.Parts[static_cast<std::size_t>(part)];
    return p.Reference + " (" + p.ComponentName + ")";
  }

  void CollectEnds() {
    for (std::size_t p = 0; p < circuit_.Parts.size(); ++p) {
      const PartMatch &m = matching_.Parts[p];
      if (m.Unit < 0)
        continue;
      const CircuitPart &part = circuit_.Parts[p];
      const PartUnit &u = matching_.Units[static_cast<std::size_t>(m.Unit)];
      for (std::size_t end = 0; end < u.Nets.size() && end < part.Nodes.size(); ++end) {
        const std::size_t node = part.Nodes.size() == 2 && m.Flipped ? 1 - end : end;
        const std::int32_t component =
            u.Components.size() == 1 ? u.Components[0] : u.Components[end];
        ends_.push_back({part.Nodes[node], u.Nets[end], component, static_cast<std::int32_t>(p)});
      }
    }
  }

  void MarkNet(ReportLine &line, std::int32_t net) const {
    if (net < 0)
      return;
    for (const CopperSpan &span : copper_.Islands(net))
      line.Copper.push_back(span);
  }

  // One line per node that has a part on the board.
  void NodeLines() {
    std::vector<std::vector<std::size_t>> endsOfNode(circuit_.Nodes.size());
    std::unordered_map<std::int32_t, std::vector<std::int32_t>> nodesOfNet;
    for (std::size_t e = 0; e < ends_.size(); ++e) {
      endsOfNode[static_cast<std::size_t>(ends_[e].Node)].push_back(e);
      if (ends_[e].Net >= 0)
        AddOnce(nodesOfNet[ends_[e].Net], ends_[e].Node);
    }
    for (std::size_t n = 0; n < circuit_.Nodes.size(); ++n) {
      const auto node = static_cast<std::int32_t>(n);
      std::vector<std::int32_t> nets; // in order of first end; an unconnected end alone
      std::vector<std::vector<std::string>> refs;
      std::vector<std::string> all, shorted;
      ReportLine line;
      for (const std::size_t e : endsOfNode[n]) {
        const End &end = ends_[e];
        std::size_t k = 0;
        while (k < nets.size() && (end.Net < 0 || nets[k] != end.Net))
          ++k;
        if (k == nets.size()) {
          nets.push_back(end.Net);
          refs.emplace_back();
          MarkNet(line, end.Net);
          if (end.Net >= 0)
            for (std::int32_t other : nodesOfNet[end.Net])
              if (other != node)
                AddOnce(shorted, circuit_.Nodes[static_cast<std::size_t>(other)]);
        }
        AddOnce(refs[k], Ref(end.Part));
        AddOnce(all, Ref(end.Part));
        AddOnce(line.Components, end.Component);
      }
      if (nets.empty())
        continue;
      line.Text = "node " + circuit_.Nodes[n] + ": ";
      std::vector<std::string> states;
      if (nets.size() > 1) {
        std::vector<std::string> groups;
        for (const auto &g : refs)
          groups.push_back(Join(g, ", "));
        states.push_back("open, on " + std::to_string(nets.size()) +
                         " nets: " + Join(groups, " | "));
      }
      if (!shorted.empty())
        states.push_back("short with " + Join(shorted, ", ") + " (" + Join(all, ", ") + ")");
      if (states.empty()) {
        line.Kind = ReportKind::Fine;
        line.Text += "ok (" + Join(all, ", ") + ")";
        fine_.push_back(std::move(line));
      } else {
        line.Text += Join(states, "; ");
        problems_.push_back(std::move(line));
      }
    }
  }

  void PartLines() {
    for (std::size_t p = 0; p < circuit_.Parts.size(); ++p) {
      const auto part = static_cast<std::int32_t>(p);
      const CircuitPart &cp = circuit_.Parts[p];
      const PartMatch &m = matching_.Parts[p];
      const bool transistor = cp.Group == PartGroup::Transistor;
      if (m.Unit < 0) {
        problems_.push_back({ReportKind::Problem,
                             transistor ? "missing: " + cp.Reference + " has no sockets named " +
                                              cp.ComponentName + " on the board"
                                        : "missing: " + Named(part) + " is not on the board",
                             {},
                             {}});
        continue;
      }
      const PartUnit &u = matching_.Units[static_cast<std::size_t>(m.Unit)];
      if (transistor && u.Components.size() < 3)
        problems_.push_back({ReportKind::Problem,
                             "missing: " + cp.Reference + " has only " +
                                 std::to_string(u.Components.size()) + " of its 3 sockets named " +
                                 cp.ComponentName + " on the board",
                             {},
                             u.Components});
      if (u.Polar && m.Flipped) {
        ReportLine line{ReportKind::Problem,
                        "reversed: " + Named(part) + " is the wrong way round",
                        {},
                        u.Components};
        for (std::int32_t net : u.Nets)
          MarkNet(line, net);
        problems_.push_back(std::move(line));
      }
      for (std::size_t end = 0; end < u.Nets.size(); ++end) {
        if (u.Nets[end] >= 0)
          continue;
        const std::int32_t ci = u.Components.size() == 1 ? u.Components[0] : u.Components[end];
        const BoardComponent &c = board_.GetComponent(ci);
        const std::int32_t trace = end == 0 || transistor ? c.StartTrace : c.EndTrace;
        problems_.push_back(
            {ReportKind::Problem, EndFaultText(Named(part), trace, c.StartPin), {}, {ci}});
      }
    }
  }

  std::string EndFaultText(const std::string &who, std::int32_t trace, std::int32_t pin) const {
    return who + ": its end at " + Position(trace, pin) +
           (copper_.FaultAt(trace, pin) == EndFault::OnCut ? " lies on a cut"
                                                           : " lies off the board");
  }

  void BoardLines() {
    for (std::int32_t unit : matching_.Unmatched) {
      for (std::int32_t ci : matching_.Units[static_cast<std::size_t>(unit)].Components) {
        const BoardComponent &c = board_.GetComponent(ci);
        const bool socket = c.Is(ComponentKind::Socket);
        ReportLine line{socket ? ReportKind::Note : ReportKind::Problem,
                        "not in the netlist: " + Describe(c) + (socket ? " (not counted)" : ""),
                        {},
                        {ci}};
        (socket ? notes_ : problems_).push_back(std::move(line));
      }
    }
    for (const LooseWireEnd &end : copper_.LooseWireEnds()) {
      const BoardComponent &wire = board_.GetComponent(end.Component);
      problems_.push_back({ReportKind::Problem,
                           EndFaultText(Describe(wire), end.Trace, end.Pin),
                           {},
                           {end.Component}});
    }
  }

  void Notes() {
    for (const auto &parts : matching_.Ambiguous) {
      std::vector<std::string> refs;
      ReportLine line{ReportKind::Note, {}, {}, {}};
      for (std::int32_t p : parts) {
        refs.push_back(Ref(p));
        const PartMatch &m = matching_.Parts[static_cast<std::size_t>(p)];
        if (m.Unit >= 0)
          for (std::int32_t ci : matching_.Units[static_cast<std::size_t>(m.Unit)].Components)
            line.Components.push_back(ci);
      }
      line.Text = "ambiguous: " + Join(refs, ", ") + " (" +
                  circuit_.Parts[static_cast<std::size_t>(parts.front())].ComponentName +
                  ") fit the board equally well on other components of that name";
      notes_.push_back(std::move(line));
    }
    if (matching_.SearchCut)
      notes_.push_back({ReportKind::Note,
                        "ambiguous: too many components share a name to weigh every choice; "
                        "like parts were matched as far as the search got",
                        {},
                        {}});
  }

  const Board &board_;
  const Circuit &circuit_;
  Copper copper_;
  Matching matching_;
  std::vector<End> ends_;
  std::vector<ReportLine> problems_, notes_, fine_;
};

} // namespace

CheckReport CheckLayout(const Board &board, const Circuit &circuit) {
  return ReportBuilder(board, circuit).Build();
}

std::string ReportText(const CheckReport &report) {
  std::ostringstream out;
  for (const ReportLine &line : report.Lines)
    if (line.Kind != ReportKind::Fine)
      out << line.Text << '\n';
  return out.str();
}

} // namespace tarnwick
