#include "nets/net_check.h"

#include "nets/check_input.h"
#include "nets/copper.h"
#include "nets/part_matching.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

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

std::string More(std::size_t n) { return "\u2026 and " + std::to_string(n) + " more"; }

// The first MaxNamesInALine of `total` names, and how many more there are.
std::string NameList(const std::vector<std::string> &names, std::size_t total,
                     const char *separator = ", ") {
  std::string s;
  for (std::size_t i = 0; i < names.size() && i < MaxNamesInALine; ++i)
    s += (i == 0 ? "" : separator) + names[i];
  const std::size_t shown = std::min(names.size(), MaxNamesInALine);
  if (total > shown)
    s += separator + More(total - shown);
  return s;
}

std::string Count(std::size_t n, const char *what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// Adds a name once; a part's ends come one after the other, so its name is last if present.
void AddLast(std::vector<std::string> &names, const std::string &name) {
  if (names.empty() || names.back() != name)
    names.push_back(name);
}

// The lines of one kind: the first MaxReportLines, then a count of the rest.
class Section {
public:
  Section(ReportKind kind, const char *rest) : kind_(kind), rest_(rest) {}
  bool Room() const { return lines_.size() < MaxReportLines; }
  void Add(ReportLine line) {
    if (Room())
      lines_.push_back(std::move(line));
    else
      ++more_;
  }
  // A line past the limit, counted without being made.
  void Skip() { ++more_; }
  void MoveInto(std::vector<ReportLine> &out) {
    for (ReportLine &line : lines_)
      out.push_back(std::move(line));
    if (more_ > 0)
      out.push_back({kind_, More(more_) + " " + rest_, {}, {}});
  }

private:
  ReportKind kind_;
  const char *rest_;
  std::vector<ReportLine> lines_;
  std::size_t more_ = 0;
};

// A part's end as the matching put it: the node it belongs to and where it lies.
struct End {
  std::int32_t Node;
  std::int32_t Net; // -1: connects to nothing
  std::int32_t Component;
  std::int32_t Part;
  std::int32_t Pin;
};

class ReportBuilder {
public:
  ReportBuilder(const Board &board, const Copper &copper, CheckInput input,
                const CheckLimits &limits)
      : board_(board), copper_(copper), in_(std::move(input)),
        matching_(MatchUnits(in_.Problem, {limits.PerfectSteps, limits.LocalSteps})) {}

  CheckReport Build() {
    CountKeys();
    CollectEnds();
    const bool settled = matching_.Perfect != SearchOutcome::Unsettled;
    if (settled) {
      NodeLines();
      ShortLines();
    }
    PartLines(settled);
    BoardLines(settled);
    Notes(settled);
    CheckReport report;
    report.Problems = problemCount_;
    report.Unsettled = !settled;
    std::string verdict;
    if (problemCount_ > 0)
      verdict = "The layout does not implement the netlist: " +
                Count(static_cast<std::size_t>(problemCount_), "problem") + ".";
    else if (!settled)
      verdict = "The check could not settle within its bound whether the layout implements the "
                "netlist: too many like parts to try every way of pairing them with components.";
    else
      verdict = "The layout implements the netlist: " + Count(in_.Parts.size(), "part") + ", " +
                Count(in_.Nodes.size(), "node") + ".";
    report.Lines.push_back({ReportKind::Verdict, verdict, {}, {}});
    problems_.MoveInto(report.Lines);
    notes_.MoveInto(report.Lines);
    fine_.MoveInto(report.Lines);
    return report;
  }

private:
  const CheckedPart &PartOf(std::int32_t part) const {
    return in_.Parts[static_cast<std::size_t>(part)];
  }
  const std::string &Ref(std::int32_t part) const { return PartOf(part).Reference; }
  const std::string &NodeName(std::int32_t node) const {
    return in_.Nodes[static_cast<std::size_t>(node)];
  }
  const PartUnit &UnitOf(std::int32_t unit) const {
    return matching_.Units[static_cast<std::size_t>(unit)];
  }

  // What a node line names an end by: its part, or the socket of its pin ("u1.3").
  const std::string &EndName(const End &end) const {
    const CheckedPart &p = PartOf(end.Part);
    return p.How == Placement::PinSockets ? p.PinSockets[static_cast<std::size_t>(end.Pin)]
                                          : p.Reference;
  }

  // The part's name on the board, for telling it apart from its reference.
  std::string Named(std::int32_t part) const {
    return PartOf(part).Reference + " (" + PartOf(part).Value + ")";
  }

  void AddProblem(ReportLine line) {
    ++problemCount_;
    problems_.Add(std::move(line));
  }

  static void AddComponent(ReportLine &line, std::unordered_set<std::int32_t> &seen,
                           std::int32_t component) {
    if (component >= 0 && seen.insert(component).second)
      line.Components.push_back(component);
  }

  // The parts and units of each key, for the problems that hold under every pairing.
  void CountKeys() {
    for (const MatchPart &part : in_.Problem.Parts)
      ++partsOfKey_[part.Key];
    for (const PartUnit &unit : matching_.Units)
      ++unitsOfKey_[unit.Key];
  }

  void CollectEnds() {
    for (std::size_t p = 0; p < in_.Parts.size(); ++p) {
      const PartMatch &m = matching_.Parts[p];
      if (m.Unit < 0)
        continue;
      const PartUnit &u = UnitOf(m.Unit);
      const auto &nodes = in_.Problem.Parts[p].Nodes;
      for (std::size_t pin = 0; pin < nodes.size(); ++pin) {
        const auto end = static_cast<std::size_t>(EndOfPin(m.Turn, static_cast<std::int32_t>(pin)));
        if (nodes[pin] < 0 || end >= u.Nets.size() || u.Nets[end] == AbsentEnd)
          continue;
        ends_.push_back({nodes[pin], u.Nets[end], u.Components[end], static_cast<std::int32_t>(p),
                         static_cast<std::int32_t>(pin)});
      }
    }
    endsOfNode_.resize(in_.Nodes.size());
    endsOfNet_.resize(static_cast<std::size_t>(copper_.NetCount()));
    nodesOfNet_.resize(endsOfNet_.size());
    std::unordered_set<std::int64_t> seen; // net, node
    for (std::size_t e = 0; e < ends_.size(); ++e) {
      const End &end = ends_[e];
      endsOfNode_[static_cast<std::size_t>(end.Node)].push_back(e);
      if (end.Net < 0)
        continue;
      endsOfNet_[static_cast<std::size_t>(end.Net)].push_back(e);
      if (seen.insert(std::int64_t{end.Net} * static_cast<std::int64_t>(in_.Nodes.size()) +
                      end.Node)
              .second)
        nodesOfNet_[static_cast<std::size_t>(end.Net)].push_back(end.Node);
    }
  }

  void MarkNet(ReportLine &line, std::int32_t net) const {
    if (net < 0)
      return;
    for (const CopperSpan &span : copper_.Islands(net))
      line.Copper.push_back(span);
  }

  // One line per node that has a part on the board: open when its ends lie on several nets,
  // ok when on one net that no other node shares (a shared net is a short, said per net).
  void NodeLines() {
    std::vector<std::int32_t> stamp(endsOfNet_.size(), -1);
    for (std::size_t n = 0; n < in_.Nodes.size(); ++n) {
      const auto node = static_cast<std::int32_t>(n);
      const auto &ends = endsOfNode_[n];
      std::size_t groups = 0;
      for (const std::size_t e : ends) {
        const std::int32_t net = ends_[e].Net;
        if (net < 0 || stamp[static_cast<std::size_t>(net)] != node) {
          ++groups;
          if (net >= 0)
            stamp[static_cast<std::size_t>(net)] = node;
        }
      }
      if (groups > 1) {
        ++problemCount_;
        if (problems_.Room())
          problems_.Add(OpenLine(node));
        else
          problems_.Skip();
      } else if (groups == 1 && ends_[ends.front()].Net >= 0 &&
                 nodesOfNet_[static_cast<std::size_t>(ends_[ends.front()].Net)].size() == 1) {
        if (fine_.Room())
          fine_.Add(FineLine(node));
        else
          fine_.Skip();
      }
    }
  }

  ReportLine FineLine(std::int32_t node) const {
    ReportLine line{ReportKind::Fine, {}, {}, {}};
    std::unordered_set<std::int32_t> seen;
    std::vector<std::string> refs;
    for (const std::size_t e : endsOfNode_[static_cast<std::size_t>(node)]) {
      AddLast(refs, EndName(ends_[e]));
      AddComponent(line, seen, ends_[e].Component);
    }
    MarkNet(line, ends_[endsOfNode_[static_cast<std::size_t>(node)].front()].Net);
    line.Text = "node " + NodeName(node) + ": ok (" + NameList(refs, refs.size()) + ")";
    return line;
  }

  // "node out: open, on 2 nets: r1, r2 | d1, q1": the parts on each net, in order of first end;
  // an end that connects to nothing is a net of its own.
  ReportLine OpenLine(std::int32_t node) const {
    ReportLine line{ReportKind::Problem, {}, {}, {}};
    std::unordered_set<std::int32_t> seen;
    std::unordered_map<std::int32_t, std::size_t> group; // net, its place in refs
    std::vector<std::vector<std::string>> refs;
    for (const std::size_t e : endsOfNode_[static_cast<std::size_t>(node)]) {
      const End &end = ends_[e];
      std::size_t k = refs.size();
      if (end.Net >= 0)
        k = group.emplace(end.Net, refs.size()).first->second;
      if (k == refs.size()) {
        refs.emplace_back();
        MarkNet(line, end.Net);
      }
      AddLast(refs[k], EndName(end));
      AddComponent(line, seen, end.Component);
    }
    std::vector<std::string> groups;
    for (std::size_t k = 0; k < refs.size() && k < MaxNamesInALine; ++k)
      groups.push_back(NameList(refs[k], refs[k].size()));
    line.Text = "node " + NodeName(node) + ": open, on " + std::to_string(refs.size()) +
                " nets: " + NameList(groups, refs.size(), " | ");
    return line;
  }

  // One line per net that several nodes share.
  void ShortLines() {
    for (std::size_t net = 0; net < nodesOfNet_.size(); ++net) {
      const auto &nodes = nodesOfNet_[net];
      if (nodes.size() < 2)
        continue;
      ++problemCount_;
      if (!problems_.Room()) {
        problems_.Skip();
        continue;
      }
      ReportLine line{ReportKind::Problem, {}, {}, {}};
      std::unordered_set<std::int32_t> seen;
      std::unordered_set<std::string> named;
      std::vector<std::string> names, refs;
      for (std::size_t k = 0; k < nodes.size() && k < MaxNamesInALine; ++k)
        names.push_back(NodeName(nodes[k]));
      for (const std::size_t e : endsOfNet_[net]) {
        if (named.insert(EndName(ends_[e])).second)
          refs.push_back(EndName(ends_[e]));
        AddComponent(line, seen, ends_[e].Component);
      }
      MarkNet(line, static_cast<std::int32_t>(net));
      line.Text = "short: nodes " + NameList(names, nodes.size()) + " share one net (" +
                  NameList(refs, refs.size()) + ")";
      problems_.Add(std::move(line));
    }
  }

  std::string MissingText(std::int32_t part) const {
    const CheckedPart &p = PartOf(part);
    switch (p.How) {
    case Placement::TwoLead:
      break;
    case Placement::OrderedSockets:
      return "missing: " + p.Reference + " has no sockets named " + p.Value + " on the board";
    case Placement::PinSockets:
      return "missing: " + p.Reference + " has no sockets named " + p.Reference +
             ".<pin> on the board";
    }
    return "missing: " + Named(part) + " is not on the board";
  }

  // Sockets a part placed as sockets is short of, or an empty text.
  std::string ShortOfSockets(std::int32_t part, const PartUnit &u) const {
    const CheckedPart &p = PartOf(part);
    const std::size_t pins = in_.Problem.Parts[static_cast<std::size_t>(part)].Nodes.size();
    if (p.How == Placement::OrderedSockets && u.Nets.size() < pins)
      return "missing: " + p.Reference + " has only " + std::to_string(u.Nets.size()) + " of its " +
             std::to_string(pins) + " sockets named " + p.Value + " on the board";
    if (p.How != Placement::PinSockets)
      return {};
    std::vector<std::string> absent;
    for (std::size_t end = 0; end < u.Nets.size() && end < p.PinSockets.size(); ++end)
      if (u.Nets[end] == AbsentEnd)
        absent.push_back(p.PinSockets[end]);
    if (absent.empty())
      return {};
    return "missing: no socket named " + NameList(absent, absent.size()) + " on the board";
  }

  // Per part: missing, short of sockets, turned wrong, ends that connect to nothing. Without a
  // settled pairing, only parts of a name no component on the board has are certainly missing.
  void PartLines(bool settled) {
    for (std::size_t p = 0; p < in_.Parts.size(); ++p) {
      const auto part = static_cast<std::int32_t>(p);
      const PartMatch &m = matching_.Parts[p];
      if (!settled) {
        if (unitsOfKey_[in_.Problem.Parts[p].Key] == 0)
          AddProblem({ReportKind::Problem, MissingText(part), {}, {}});
        continue;
      }
      if (m.Unit < 0) {
        AddProblem({ReportKind::Problem, MissingText(part), {}, {}});
        continue;
      }
      const PartUnit &u = UnitOf(m.Unit);
      std::vector<std::int32_t> components;
      for (std::int32_t c : u.Components)
        if (c >= 0 && std::find(components.begin(), components.end(), c) == components.end())
          components.push_back(c);
      if (std::string text = ShortOfSockets(part, u); !text.empty())
        AddProblem({ReportKind::Problem, std::move(text), {}, components});
      if (FaultyTurn(u, m.Turn)) {
        ReportLine line{ReportKind::Problem,
                        u.Turns == UnitTurns::Polar
                            ? "reversed: " + Named(part) + " is the wrong way round"
                            : Ref(part) + ": legs in another order than the netlist's",
                        {},
                        components};
        for (std::int32_t net : u.Nets)
          MarkNet(line, net);
        AddProblem(std::move(line));
      }
      for (std::size_t end = 0; end < u.Nets.size(); ++end) {
        if (u.Nets[end] != -1)
          continue;
        const BoardComponent &c = board_.GetComponent(u.Components[end]);
        const bool twoLead = u.Turns == UnitTurns::Either || u.Turns == UnitTurns::Polar;
        const std::int32_t trace = twoLead && end == 1 ? c.EndTrace : c.StartTrace;
        const CheckedPart &checked = PartOf(part);
        AddProblem({ReportKind::Problem,
                    EndFaultText(checked.How == Placement::PinSockets ? checked.PinSockets[end]
                                                                      : Named(part),
                                 trace, c.StartPin),
                    {},
                    {u.Components[end]}});
      }
    }
  }

  std::string EndFaultText(const std::string &who, std::int32_t trace, std::int32_t pin) const {
    return who + ": its end at " + Position(trace, pin) +
           (copper_.FaultAt(trace, pin) == EndFault::OnCut ? " lies on a cut"
                                                           : " lies off the board");
  }

  // Components no part took (sockets are noted, not counted), and loose wire ends. Without a
  // settled pairing, only components of a name no part has are certainly not in the netlist.
  void BoardLines(bool settled) {
    for (std::int32_t unit : matching_.Unmatched) {
      const PartUnit &u = UnitOf(unit);
      if (!settled && partsOfKey_[u.Key] > 0)
        continue;
      std::int32_t last = -1;
      for (std::int32_t ci : u.Components) {
        if (ci < 0 || ci == last)
          continue;
        last = ci;
        const BoardComponent &c = board_.GetComponent(ci);
        if (c.Is(ComponentKind::Socket)) {
          notes_.Add({ReportKind::Note,
                      "not in the netlist: " + Describe(c) + " (not counted)",
                      {},
                      {ci}});
        } else {
          AddProblem({ReportKind::Problem, "not in the netlist: " + Describe(c), {}, {ci}});
        }
      }
    }
    for (const LooseWireEnd &end : copper_.LooseWireEnds()) {
      const BoardComponent &wire = board_.GetComponent(end.Component);
      AddProblem({ReportKind::Problem,
                  EndFaultText(Describe(wire), end.Trace, end.Pin),
                  {},
                  {end.Component}});
    }
  }

  void Notes(bool settled) {
    if (!settled) {
      notes_.Add({ReportKind::Note,
                  "not settled: the check could not try every way of pairing like parts with "
                  "components within its bound; opens, shorts and parts turned wrong are not "
                  "reported",
                  {},
                  {}});
    }
    for (const UncheckedLine &line : in_.Unchecked)
      notes_.Add({ReportKind::Note,
                  "not checked: line " + std::to_string(line.Line) + ": " + line.Text,
                  {},
                  {}});
    if (!settled)
      return;
    for (const auto &parts : matching_.Ambiguous) {
      std::vector<std::string> refs;
      ReportLine line{ReportKind::Note, {}, {}, {}};
      std::unordered_set<std::int32_t> seen;
      for (std::int32_t p : parts) {
        refs.push_back(Ref(p));
        const PartMatch &m = matching_.Parts[static_cast<std::size_t>(p)];
        if (m.Unit >= 0)
          for (std::int32_t ci : UnitOf(m.Unit).Components)
            AddComponent(line, seen, ci);
      }
      line.Text = "ambiguous: " + NameList(refs, refs.size()) + " (" + PartOf(parts.front()).Value +
                  ") fit the board equally well on other components of that name";
      notes_.Add(std::move(line));
    }
    if (matching_.SearchCut)
      notes_.Add({ReportKind::Note,
                  matching_.Perfect == SearchOutcome::Found
                      ? "ambiguous: too many components share a name to say which like parts "
                        "could stand on others"
                      : "ambiguous: too many components share a name to weigh every choice; "
                        "like parts were matched as far as the search got",
                  {},
                  {}});
  }

  const Board &board_;
  const Copper &copper_;
  CheckInput in_;
  Matching matching_;
  std::vector<End> ends_;
  std::vector<std::vector<std::size_t>> endsOfNode_, endsOfNet_;
  std::vector<std::vector<std::int32_t>> nodesOfNet_;
  std::unordered_map<std::int32_t, std::int64_t> partsOfKey_, unitsOfKey_;
  std::int64_t problemCount_ = 0;
  Section problems_{ReportKind::Problem, "problems"};
  Section notes_{ReportKind::Note, "notes"};
  Section fine_{ReportKind::Fine, "nodes are ok"};
};

} // namespace

CheckReport CheckInputAgainst(const Board &board, const Copper &copper, CheckInput input,
                              const CheckLimits &limits) {
  return ReportBuilder(board, copper, std::move(input), limits).Build();
}

CheckReport CheckLayout(const Board &board, const Circuit &circuit, const CheckLimits &limits) {
  return CheckLayout(board, ToCircuitModel(circuit), limits);
}

std::string ReportText(const CheckReport &report) {
  std::ostringstream out;
  for (const ReportLine &line : report.Lines)
    if (line.Kind != ReportKind::Fine)
      out << line.Text << '\n';
  return out.str();
}

} // namespace tarnwick
