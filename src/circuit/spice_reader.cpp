// Reading a SPICE deck into the circuit model, as a simulator reads it.
#include "circuit/circuit_builder.h"
#include "circuit/circuit_reader.h"
#include "netlist/netlist_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <vector>

namespace tarnwick::circuit {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// One statement of the deck: a line with its '+' continuations, lower-cased, with tabs made
// blanks and in-line comments (from ';', or from '$' after a blank) removed.
struct Statement {
  std::int64_t Line = 0;
  std::string Text;
};

bool IsElement(const std::string &text) { return text[0] >= 'a' && text[0] <= 'z'; }

std::string_view FirstWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && text[end] != ' ')
    ++end;
  return text.substr(0, end);
}

class StatementReader {
public:
  StatementReader(const CircuitBuilder &errors, std::function<void(const Statement &)> take)
      : errors_(errors), take_(std::move(take)) {}

  void Read(std::string_view text) {
    std::int64_t number = 0;
    std::size_t at = 0;
    while (at <= text.size() && !ended_) {
      std::size_t end = text.find('\n', at);
      if (end == std::string_view::npos)
        end = text.size();
      ++number;
      if (number > 1) // the first line is the title
        Physical(number, text.substr(at, end - at));
      at = end + 1;
    }
    Flush();
  }

private:
  void Physical(std::int64_t number, std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && Blank(line[first]))
      ++first;
    if (first == line.size() || line[first] == '*')
      return; // blank lines and comments may stand between a line and its continuation
    if (line[first] == '+') {
      if (open_)
        Append(line.substr(first + 1), pending_.Line);
      return;
    }
    Flush();
    if (ended_)
      return;
    open_ = true;
    pending_.Line = number;
    pending_.Text.clear();
    comment_ = false;
    Append(line.substr(first), number);
  }

  void Append(std::string_view piece, std::int64_t line) {
    if (comment_)
      return;
    if (!pending_.Text.empty())
      pending_.Text.push_back(' ');
    for (std::size_t i = 0; i < piece.size(); ++i) {
      char c = piece[i];
      if (c == ';' || (c == '$' && (i == 0 || Blank(piece[i - 1])))) {
        comment_ = true;
        break;
      }
      if (Blank(c))
        c = ' ';
      else if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
      if (pending_.Text.size() == MaxNetlistLineLength) {
        // Control lines may run long; only their first words matter.
        if (pending_.Text[0] == '.')
          break;
        errors_.Fail(line, "longer than " + std::to_string(MaxNetlistLineLength) +
                               " characters; nothing was read");
      }
      pending_.Text.push_back(c);
    }
  }

  void Flush() {
    if (!open_)
      return;
    open_ = false;
    while (!pending_.Text.empty() && pending_.Text.back() == ' ')
      pending_.Text.pop_back();
    if (pending_.Text.empty())
      return;
    if (FirstWord(pending_.Text) == ".end") {
      ended_ = true;
      return;
    }
    take_(pending_);
  }

  const CircuitBuilder &errors_;
  std::function<void(const Statement &)> take_;
  Statement pending_;
  bool open_ = false;
  bool comment_ = false;
  bool ended_ = false;
};

// Where the element lines of a deck stand: outside every .subckt, or inside top-level
// definitions (counted from 1), skipping .control blocks.
class Nesting {
public:
  // The subcircuit the statement stands in (0: outside), or -1 for a line that is not part of
  // any netlist (control blocks, the definition lines themselves, lines of a nested definition).
  int Place(const std::string &text) {
    const std::string_view word = FirstWord(text);
    if (control_) {
      control_ = word != ".endc";
      return -1;
    }
    if (word == ".control") {
      control_ = true;
      return -1;
    }
    if (word == ".subckt") {
      if (depth_++ == 0)
        ++top_;
      return -1;
    }
    if (word == ".ends") {
      if (depth_ > 0)
        --depth_;
      return -1;
    }
    if (depth_ > 1)
      return -1;
    return depth_ == 0 ? 0 : top_;
  }

private:
  int depth_ = 0;
  int top_ = 0;
  bool control_ = false;
};

std::vector<std::string> Fields(const std::string &text) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ')
      ++at;
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (end > at)
      fields.emplace_back(text.substr(at, end - at));
    at = end;
  }
  return fields;
}

class SpiceParts {
public:
  explicit SpiceParts(CircuitBuilder &builder) : b_(builder) {}

  void Element(const Statement &s) {
    std::vector<std::string> f = Fields(s.Text);
    switch (s.Text[0]) {
    case 'r':
      TwoLead(s, f, PartKind::Resistor, "a resistor needs two nodes and a value");
      break;
    case 'c':
      TwoLead(s, f, CapacitorKind(f), "a capacitor needs two nodes and a value");
      break;
    case 'd':
      TwoLead(s, f, f.size() > 3 && f[3].rfind("led", 0) == 0 ? PartKind::Led : PartKind::Diode,
              "a diode needs two nodes and a model");
      break;
    case 'q':
    case 'j':
      Need(s, f, 5, "a transistor needs three nodes and a model");
      Add(s, f[0], f[4], PartKind::InLine, {f.begin() + 1, f.begin() + 4});
      break;
    case 'x':
      Subcircuit(s, f);
      break;
    case 'v':
    case 'i':
      break; // sources feed the circuit from outside the board
    default:
      b_.AddUnread(s.Line, s.Text);
    }
  }

private:
  static PartKind CapacitorKind(const std::vector<std::string> &f) {
    double farads = 0;
    // 1 µF and more is an electrolytic; the margin absorbs the rounding of "1u" as a double.
    return f.size() > 3 && SpiceNumber(f[3], farads) && farads >= 1e-6 * (1 - 1e-9)
               ? PartKind::Electrolytic
               : PartKind::FilmCapacitor;
  }

  void Need(const Statement &s, const std::vector<std::string> &f, std::size_t n,
            const char *what) {
    if (f.size() < n)
      b_.Fail(s.Line, Printable(f[0]) + " has too few fields: " + what);
  }

  void TwoLead(const Statement &s, const std::vector<std::string> &f, PartKind kind,
               const char *what) {
    Need(s, f, 4, what);
    Add(s, f[0], f[3], kind, {f.begin() + 1, f.begin() + 3});
  }

  // "xu1 n1 ... nk name [params: ...]": an IC of k pins, an in-line part of three.
  void Subcircuit(const Statement &s, std::vector<std::string> f) {
    std::size_t used = 1;
    while (used < f.size() && f[used] != "params:" && f[used].find('=') == std::string::npos)
      ++used;
    f.resize(used);
    Need(s, f, 3, "a subcircuit instance needs its nodes and the subcircuit's name");
    const std::size_t nodes = f.size() - 2;
    const PartKind kind = nodes == 3   ? PartKind::InLine
                          : nodes >= 4 ? PartKind::Ic
                                       : PartKind::OffBoard;
    // The schematic calls XU1 "u1"; X1 has no other name.
    std::string reference = f[0];
    if (reference.size() > 1 && reference[1] >= 'a' && reference[1] <= 'z')
      reference.erase(0, 1);
    Add(s, reference, f.back(), kind, {f.begin() + 1, f.end() - 1});
  }

  void Add(const Statement &s, std::string reference, std::string value, PartKind kind,
           std::vector<std::string> nodes) {
    Part part;
    part.Reference = std::move(reference);
    part.Value = std::move(value);
    part.Kind = kind;
    part.Line = s.Line;
    for (std::size_t k = 0; k < nodes.size(); ++k)
      part.Pins.push_back({std::to_string(k + 1), b_.Net(nodes[k], s.Line)});
    b_.AddPart(std::move(part));
  }

  CircuitBuilder &b_;
};

} // namespace

bool SpiceNumber(std::string_view text, double &value) {
  std::size_t i = 0;
  std::string digits;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    digits.push_back(text[i++]);
  bool any = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits.size() < 64) {
    digits.push_back(text[i++]);
    any = true;
  }
  if (i < text.size() && text[i] == '.') {
    digits.push_back(text[i++]);
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits.size() < 64) {
      digits.push_back(text[i++]);
      any = true;
    }
  }
  if (!any)
    return false;
  if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (text[j] == '+' || text[j] == '-')
      exponent.push_back(text[j++]);
    const std::size_t start = j;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9' && j - start < 4)
      exponent.push_back(text[j++]);
    if (j > start) {
      digits += exponent;
      i = j;
    }
  }
  // from_chars reads the point whatever the locale (the window sets the user's); it takes no
  // leading '+'.
  const char *first = digits.data() + (digits[0] == '+');
  if (std::from_chars(first, digits.data() + digits.size(), value).ec != std::errc())
    return false;
  const std::string rest = LowerAscii(text.substr(i, 3));
  static constexpr struct {
    const char *Suffix;
    double Scale;
  } scales[] = {{"meg", 1e6},
                {"mil", 25.4e-6},
                {"t", 1e12},
                {"g", 1e9},
                {"k", 1e3},
                {"m", 1e-3},
                {"u", 1e-6},
                {"n", 1e-9},
                {"p", 1e-12},
                {"f", 1e-15},
                {"\xC2\xB5", 1e-6} /* µ */,
                {"\xCE\xBC", 1e-6} /* Greek mu */};
  for (const auto &s : scales) {
    if (rest.rfind(s.Suffix, 0) == 0) {
      value *= s.Scale;
      break;
    }
  }
  return std::isfinite(value);
}

Circuit ReadSpiceText(std::string_view text, const std::string &fileName) {
  CircuitBuilder builder(fileName);
  // First pass: do all element lines stand inside one subcircuit definition?
  std::size_t outside = 0, inside = 0;
  int only = 0; // the one definition that holds element lines, -1 when more than one
  {
    Nesting nesting;
    StatementReader(builder, [&](const Statement &s) {
      const int place = nesting.Place(s.Text);
      if (place < 0 || !IsElement(s.Text))
        return;
      if (place == 0) {
        ++outside;
      } else {
        ++inside;
        only = only == 0 || only == place ? place : -1;
      }
      if (outside + inside > MaxNetlistParts)
        builder.Fail(s.Line, "more than " + std::to_string(MaxNetlistParts) +
                                 " element lines; nothing was read");
    }).Read(text);
  }
  const int wanted = outside == 0 && inside > 0 && only > 0 ? only : 0;
  Nesting nesting;
  SpiceParts parts(builder);
  StatementReader(builder, [&](const Statement &s) {
    if (nesting.Place(s.Text) != wanted)
      return;
    if (IsElement(s.Text))
      parts.Element(s);
    else if (s.Text[0] != '.')
      builder.AddUnread(s.Line, s.Text); // not an element, a comment nor a control line
  }).Read(text);
  return builder.Finish();
}

} // namespace tarnwick::circuit
