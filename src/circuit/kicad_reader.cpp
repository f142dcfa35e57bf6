// Reading a KiCad netlist (`kicad-cli sch export netlist`, the "kicadsexpr" format) into the
// circuit model.
#include "circuit/circuit_builder.h"
#include "circuit/circuit_reader.h"
#include "circuit/kicad_kinds.h"
#include "circuit/sexpr.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace tarnwick::circuit {
namespace {

// A symbol of more pins than this is no part of a stripboard; its pins are not added from the
// library part, so that a hostile file cannot multiply them by its components.
constexpr std::size_t MaxLibPartPins = 4 * MaxIcPins;

struct KicadPin {
  std::string Number;
  std::string Function;  // its name on the symbol: "A", "K", "+", "~"
  std::int32_t Net = -1; // -1: in no net
};

struct Component {
  std::string Reference, Value, Lib, Symbol, Footprint;
  std::int64_t Line = 0;
  std::vector<KicadPin> Pins;
  std::unordered_map<std::string, std::size_t> PinIndex;

  KicadPin &PinNumbered(const std::string &number) {
    const auto [it, added] = PinIndex.emplace(number, Pins.size());
    if (added)
      Pins.push_back({number, {}, -1});
    return Pins[it->second];
  }
};

const std::string &Text(const std::string *value) {
  static const std::string none;
  return value ? *value : none;
}

// A pin number as a DIP numbers its pins: 1, 2, ... (not 0, not 01).
bool IsNumber(const std::string &text) {
  return !text.empty() && text.size() < 7 && text[0] != '0' &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Pin numbers in their natural order: 1, 2, 10, then names.
bool PinBefore(const KicadPin &a, const KicadPin &b) {
  const bool an = IsNumber(a.Number), bn = IsNumber(b.Number);
  if (an != bn)
    return an;
  if (an && a.Number.size() != b.Number.size())
    return a.Number.size() < b.Number.size();
  return a.Number < b.Number;
}

class KicadReader {
public:
  KicadReader(std::string_view text, const std::string &fileName)
      : root_(ParseSexpr(text, fileName)), b_(fileName) {}

  Circuit Run() {
    if (root_.Head() != "export")
      b_.Fail(root_.Line, NotANetlist());
    if (const Sexpr *list = root_.Find("components"))
      for (const Sexpr &comp : list->Items)
        if (comp.Head() == "comp")
          Comp(comp);
    if (const Sexpr *list = root_.Find("libparts"))
      for (const Sexpr &libpart : list->Items)
        if (libpart.Head() == "libpart")
          LibPart(libpart);
    if (const Sexpr *list = root_.Find("nets"))
      for (const Sexpr &net : list->Items)
        if (net.Head() == "net")
          Net(net);
    for (Component &c : components_)
      MakePart(c);
    return b_.Finish();
  }

private:
  std::string NotANetlist() const {
    const std::string &head = root_.Head();
    if (head == "kicad_sch" || head == "kicad_pcb")
      return "this is a KiCad " + std::string(head == "kicad_sch" ? "schematic" : "board") +
             ", not a netlist: export one with `kicad-cli sch export netlist`";
    return "not a KiCad netlist: it starts with (" + Printable(head) + " instead of (export";
  }

  void Comp(const Sexpr &comp) {
    Component c;
    c.Reference = Text(comp.Value("ref"));
    if (c.Reference.empty())
      b_.Fail(comp.Line, "a component without a reference");
    if (c.Reference[0] == '#')
      return; // power symbols and flags are not parts
    c.Value = Text(comp.Value("value"));
    c.Footprint = Text(comp.Value("footprint"));
    c.Line = comp.Line;
    if (const Sexpr *source = comp.Find("libsource")) {
      c.Lib = Text(source->Value("lib"));
      c.Symbol = Text(source->Value("part"));
    }
    const auto [it, added] = byReference_.emplace(c.Reference, components_.size());
    if (!added)
      b_.Fail(comp.Line, "a second component " + Printable(c.Reference) +
                             " (the first is on line " +
                             std::to_string(components_[it->second].Line) + ")");
    if (components_.size() == MaxCircuitParts)
      b_.Fail(comp.Line, "more than " + std::to_string(MaxCircuitParts) + " parts");
    components_.push_back(std::move(c));
  }

  // Older files name pins only here: (libpart (lib "Device") (part "D") (pins (pin (num "1")
  // (name "K") ...) ...)).
  void LibPart(const Sexpr &libpart) {
    std::vector<KicadPin> pins;
    if (const Sexpr *list = libpart.Find("pins"))
      for (const Sexpr &pin : list->Items)
        if (pin.Head() == "pin" && pin.Value("num"))
          pins.push_back({*pin.Value("num"), Text(pin.Value("name")), -1});
    // Aliases share the pins, so that no file can make the reader copy them for each alias.
    const std::size_t index = libPins_.size();
    libPins_.push_back(std::move(pins));
    const std::string &lib = Text(libpart.Value("lib"));
    libParts_[{lib, Text(libpart.Value("part"))}] = index;
    if (const Sexpr *aliases = libpart.Find("aliases"))
      for (const Sexpr &alias : aliases->Items)
        if (alias.Head() == "alias" && alias.Items.size() > 1 && !alias.Items[1].IsList)
          libParts_[{lib, alias.Items[1].Text}] = index;
  }

  void Net(const Sexpr &net) {
    std::string name = Text(net.Value("name"));
    if (name.empty())
      name = net.Value("code") ? "Net-" + *net.Value("code")
                               : "Net-(line " + std::to_string(net.Line) + ")";
    std::vector<const Sexpr *> nodes;
    for (const Sexpr &node : net.Items)
      if (node.Head() == "node" && Text(node.Value("ref")).rfind('#', 0) != 0)
        nodes.push_back(&node);
    // KiCad gives each unconnected pin a net of its own; such a pin connects to nothing.
    const bool unconnected = nodes.size() == 1 && name.rfind("unconnected-", 0) == 0;
    const std::int32_t id = unconnected || nodes.empty() ? -1 : b_.Net(name, net.Line);
    for (const Sexpr *node : nodes) {
      const std::string &ref = Text(node->Value("ref"));
      const std::string &number = Text(node->Value("pin"));
      const auto it = byReference_.find(ref);
      if (it == byReference_.end())
        b_.Fail(node->Line, "net " + Printable(name) + " names " + Printable(ref) +
                                ", which is not among the components");
      if (number.empty())
        b_.Fail(node->Line, "net " + Printable(name) + " names a pin of " + Printable(ref) +
                                " without its number");
      KicadPin &pin = components_[it->second].PinNumbered(number);
      if (pin.Net >= 0 && pin.Net != id)
        b_.Fail(node->Line,
                "pin " + Printable(number) + " of " + Printable(ref) + " is in two nets, " +
                    Printable(b_.Built().Nets[std::size_t(pin.Net)]) + " and " + Printable(name));
      if (const std::string *function = node->Value("pinfunction"))
        pin.Function = *function;
      pin.Net = id;
      if (++pins_ > MaxCircuitPins)
        b_.Fail(node->Line, "more than " + std::to_string(MaxCircuitPins) + " pins");
    }
  }

  void MakePart(Component &c) {
    // Pins the symbol has but no net names are unconnected; names from the symbol where the
    // net did not give them.
    const auto lib = libParts_.find({c.Lib, c.Symbol});
    const std::vector<KicadPin> *symbol = lib == libParts_.end() ? nullptr : &libPins_[lib->second];
    if (symbol && symbol->size() <= MaxLibPartPins)
      for (const KicadPin &known : *symbol) {
        KicadPin &pin = c.PinNumbered(known.Number);
        if (pin.Function.empty())
          pin.Function = known.Function;
      }
    std::sort(c.Pins.begin(), c.Pins.end(), PinBefore);
    Part part;
    part.Reference = c.Reference;
    part.Value = c.Value;
    part.Line = c.Line;
    part.Kind = FitPins(KicadKind(c.Lib, c.Symbol, c.Footprint, c.Reference), c.Pins);
    if (part.Kind == PartKind::OffBoard && c.Pins.empty())
      return; // a mounting hole, a logo: nothing to wire
    if (FootprintOf(part.Kind).Polar)
      PolarFirst(part.Kind, c.Pins);
    for (const KicadPin &pin : c.Pins)
      part.Pins.push_back({pin.Number, pin.Net});
    b_.AddPart(std::move(part));
  }

  // The kind the names give, unless the pins say otherwise; pins missing from the netlist are
  // added unconnected where the kind numbers its pins.
  static PartKind FitPins(PartKind kind, std::vector<KicadPin> &pins) {
    const bool numbered =
        std::all_of(pins.begin(), pins.end(), [](const KicadPin &p) { return IsNumber(p.Number); });
    std::int32_t highest = 0;
    for (const KicadPin &pin : pins)
      if (numbered)
        highest = std::max(highest, std::stoi(pin.Number));
    const auto fill = [&pins](std::int32_t n) {
      for (std::int32_t k = 1; k <= n; ++k)
        pins.push_back({std::to_string(k), {}, -1});
      std::stable_sort(pins.begin(), pins.end(), PinBefore);
      pins.erase(
          std::unique(pins.begin(), pins.end(),
                      [](const KicadPin &a, const KicadPin &b) { return a.Number == b.Number; }),
          pins.end());
    };
    switch (FootprintOf(kind).Shape) {
    case FootprintShape::TwoLead:
      if (pins.size() <= 2 && (pins.empty() || (numbered && highest <= 2))) {
        fill(2);
        return kind;
      }
      return pins.size() == 3 ? PartKind::InLine : PartKind::OffBoard;
    case FootprintShape::InLine:
    case FootprintShape::Dip:
      if (!numbered || highest <= 2)
        return PartKind::OffBoard;
      if (highest == 3) {
        fill(3);
        return PartKind::InLine;
      }
      if (kind == PartKind::InLine)
        return PartKind::OffBoard;
      if (highest <= MaxIcPins)
        fill(highest); // the spare pins of an IC stay in the model, unconnected
      return PartKind::Ic;
    case FootprintShape::Pads:
      break;
    }
    return kind;
  }

  // Puts the anode or "+" first: by the pin's name, else as KiCad numbers them (a diode's
  // cathode is pin 1, an electrolytic's "+" is pin 1).
  static void PolarFirst(PartKind kind, std::vector<KicadPin> &pins) {
    const auto named = [&pins](std::initializer_list<const char *> names) -> int {
      for (std::size_t k = 0; k < 2; ++k)
        for (const char *n : names)
          if (LowerAscii(pins[k].Function) == n)
            return static_cast<int>(k);
      return -1;
    };
    int first = named({"a", "anode", "+"});
    if (first < 0) {
      const int second = named({"k", "cathode", "-"});
      first = second >= 0 ? 1 - second : kind == PartKind::Electrolytic ? 0 : 1;
    }
    if (first == 1)
      std::swap(pins[0], pins[1]);
  }

  Sexpr root_;
  CircuitBuilder b_;
  std::vector<Component> components_;
  std::unordered_map<std::string, std::size_t> byReference_;
  std::map<std::pair<std::string, std::string>, std::size_t> libParts_; // into libPins_
  std::vector<std::vector<KicadPin>> libPins_;
  std::size_t pins_ = 0;
};

} // namespace

Circuit ReadKicadText(std::string_view text, const std::string &fileName) {
  return KicadReader(text, fileName).Run();
}

} // namespace tarnwick::circuit
