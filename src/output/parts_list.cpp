#include "output/parts_list.h"

#include "editing/component_entry.h"
#include "editing/socket_templates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace tarnwick {
namespace {

const char *const DipSocketKind = "DIP Socket";

std::string Hole(std::int64_t trace, std::int64_t row) {
  return std::to_string(trace + 1) + ":" + std::to_string(row + 1);
}

std::string Span(std::int64_t t1, std::int64_t r1, std::int64_t t2, std::int64_t r2) {
  if (t1 == t2 && r1 == r2)
    return Hole(t1, r1);
  return Hole(t1, r1) + "-" + Hole(t2, r2);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digit runs compare as numbers, everything else byte by byte.
bool NaturalLess(const std::string &a, const std::string &b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && IsDigit(a[ei]))
        ++ei;
      while (ej < b.size() && IsDigit(b[ej]))
        ++ej;
      // Leading zeros aside, the longer run is the larger number.
      std::size_t zi = i, zj = j;
      while (zi + 1 < ei && a[zi] == '0')
        ++zi;
      while (zj + 1 < ej && b[zj] == '0')
        ++zj;
      if (ei - zi != ej - zj)
        return ei - zi < ej - zj;
      const int c = a.compare(zi, ei - zi, b, zj, ej - zj);
      if (c != 0)
        return c < 0;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j])
        return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  if (a.size() - i != b.size() - j)
    return a.size() - i < b.size() - j;
  return a < b;
}

std::size_t Digits(std::string_view s, std::size_t i) {
  while (i < s.size() && IsDigit(s[i]))
    ++i;
  return i;
}

// The power of ten of a multiplier letter, or 0 when c is none.
int Multiplier(std::string_view s, std::size_t i, std::size_t &length) {
  length = 1;
  if (s.substr(i, 2) == "\xC2\xB5") { // the micro sign
    length = 2;
    return -6;
  }
  switch (s[i]) {
  case 'p':
    return -12;
  case 'n':
    return -9;
  case 'u':
    return -6;
  case 'm':
    return -3;
  case 'R':
  case 'r':
    return 100; // the unit itself: a decimal point
  case 'k':
  case 'K':
    return 3;
  case 'M':
    return 6;
  case 'G':
    return 9;
  default:
    return 0;
  }
}

// A unit after the value, as written on parts: "10uF", "4k7Ohm", "9V".
std::size_t UnitLength(std::string_view rest) {
  static constexpr std::string_view units[] = {"ohm", "Ohm", "\xCE\xA9", "Hz", "F",
                                               "H",   "V",   "A",        "W"};
  for (std::string_view unit : units)
    if (rest.starts_with(unit))
      return unit.size();
  return 0;
}

} // namespace

std::optional<double> EngineeringValue(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-'))
    ++i;
  const std::size_t intStart = i, intEnd = Digits(text, i);
  // A value starts with a digit: "R1" is a name.
  if (intEnd == intStart)
    return std::nullopt;
  std::string number(text.substr(intStart, intEnd - intStart));
  i = intEnd;
  int power = 0;
  std::size_t length = 0;
  if (i < text.size() && text[i] == '.') {
    const std::size_t end = Digits(text, i + 1);
    if (end == i + 1)
      return std::nullopt;
    number += text.substr(i, end - i);
    i = end;
    if (i < text.size() && (power = Multiplier(text, i, length)) != 0)
      i += length;
  } else if (i < text.size() && (power = Multiplier(text, i, length)) != 0) {
    // "4k7": the letter stands where the decimal point would.
    const std::size_t end = Digits(text, i + length);
    number += "." + std::string(text.substr(i + length, end - i - length));
    i = end;
  }
  i += UnitLength(text.substr(i));
  // Anything after the value is a note ("100n, 50 V"); a letter or digit would make it a name.
  if (i < text.size() && std::strchr(" ,;/(\t", text[i]) == nullptr)
    return std::nullopt;
  // Read without the locale, which a desktop may set to a decimal comma.
  double value = 0;
  const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
  if (read.ec != std::errc())
    return std::nullopt;
  if (power != 100)
    value *= std::pow(10.0, power);
  return negative ? -value : value;
}

namespace {

// Single-hole sockets by their hole and label, for finding the pins of a DIP socket template.
// Pins are claimed in board order per hole and label, so each list is used up from its front:
// looking a pin up costs the same however many sockets share a hole.
class SocketPins {
public:
  explicit SocketPins(const Board &board) : claimed_(std::size_t(board.ComponentCount())) {
    for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
      const BoardComponent &c = board.GetComponent(i);
      if (c.Is(ComponentKind::Socket) && c.StartTrace == c.EndTrace)
        at_[{c.StartTrace, c.StartPin, c.Name}].Pins.push_back(i);
    }
  }

  // The template whose upper-left pin is component i, with every pin of it found; claims them.
  const SocketTemplate *ClaimTemplate(const Board &board, std::int32_t i) {
    const BoardComponent &c = board.GetComponent(i);
    for (const SocketTemplate &tpl : SocketTemplates) {
      std::vector<Queue *> pins;
      for (int col = 0; col < tpl.Width(); ++col) {
        const std::int64_t t = std::int64_t{c.StartTrace} + col;
        Queue *upper = Find(t, c.StartPin, tpl.UpperRow[std::size_t(col)]);
        Queue *lower = Find(t, std::int64_t{c.StartPin} + SocketLowerRowOffset,
                            tpl.LowerRow[std::size_t(col)]);
        if (!upper || !lower)
          break;
        pins.push_back(upper);
        pins.push_back(lower);
      }
      if (static_cast<int>(pins.size()) == tpl.PinCount) {
        for (Queue *q : pins)
          claimed_[std::size_t(q->Pins[q->Next++])] = true;
        return &tpl;
      }
    }
    return nullptr;
  }

  bool Claimed(std::int32_t i) const { return claimed_[std::size_t(i)]; }

private:
  struct Queue {
    std::vector<std::int32_t> Pins; // in board order
    std::size_t Next = 0;           // the first not yet claimed
  };
  using Key = std::tuple<std::int64_t, std::int64_t, std::string>;

  // The sockets at (trace, row) labelled label that are not yet part of a DIP socket, or null.
  Queue *Find(std::int64_t trace, std::int64_t row, const char *label) {
    const auto it = at_.find(Key{trace, row, label});
    return it == at_.end() || it->second.Next == it->second.Pins.size() ? nullptr : &it->second;
  }

  std::map<Key, Queue> at_;
  std::vector<bool> claimed_;
};

// Where a line goes among the others: the component dialog's order of kinds, DIP sockets
// right after the single sockets, kinds the dialog does not know last.
int KindRank(std::uint8_t kind) {
  const int item = ItemOfKind(kind);
  return item >= 0 ? 2 * item : 1000 + kind;
}
int DipSocketRank() { return 2 * SocketItem + 1; }

std::string KindCaption(std::uint8_t kind) {
  const int item = ItemOfKind(kind);
  return item >= 0 ? KindItems[std::size_t(item)].Caption : "Kind " + std::to_string(kind);
}

struct Group {
  int Rank;
  PartsLine Line;
};

std::string Folded(std::string s) {
  for (char &c : s)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Values that differ only in the case of their letters ("10K", "10k") are one line, shown as
// the first of them on the board spells it.
using Groups = std::map<std::pair<int, std::string>, Group>;

void Add(Groups &groups, int rank, std::string kind, std::string value,
         const std::string &position) {
  Group &g = groups[{rank, Folded(value)}];
  g.Rank = rank;
  if (g.Line.Quantity++ == 0) {
    g.Line.Kind = std::move(kind);
    g.Line.Value = std::move(value);
    g.Line.Positions = position;
  } else {
    g.Line.Positions += " " + position;
  }
}

// Within a kind: values that read as numbers by their size ("470" before "4k7" before "47k"),
// then the others in natural order, letter case aside.
bool ValueLess(const std::string &a, const std::string &b) {
  const std::optional<double> x = EngineeringValue(a), y = EngineeringValue(b);
  if (x.has_value() != y.has_value())
    return x.has_value();
  if (x && *x != *y)
    return *x < *y;
  const std::string fa = Folded(a), fb = Folded(b);
  if (fa != fb)
    return NaturalLess(fa, fb);
  return NaturalLess(a, b);
}

// A field as RFC 4180 writes it: quoted, with doubled quotes, when it holds a comma, a quote
// or a line break. A field that a spreadsheet would take for a formula (it starts with "=",
// "+", "-" or "@", or a tab or CR that some skip) gets a leading "'" and quotes, so that it
// reads as text: "+9V" is a name, not a sum.
std::string CsvField(const std::string &text) {
  const bool formula = !text.empty() && std::strchr("=+-@\t\r", text.front()) != nullptr;
  if (!formula && text.find_first_of(",\"\r\n") == std::string::npos)
    return text;
  std::string out = formula ? "\"'" : "\"";
  for (char c : text) {
    if (c == '"')
      out += '"';
    out += c;
  }
  return out + "\"";
}

} // namespace

std::vector<PartsLine> ListParts(const Board &board) {
  SocketPins sockets(board);
  Groups groups;
  // DIP sockets first, so that none of their pins is counted as a single socket, whatever the
  // order of the pins on the board.
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    if (!c.Is(ComponentKind::Socket) || c.StartTrace != c.EndTrace || sockets.Claimed(i))
      continue;
    if (const SocketTemplate *tpl = sockets.ClaimTemplate(board, i)) {
      const std::int64_t last = std::int64_t{c.StartTrace} + tpl->Width() - 1;
      Add(groups, DipSocketRank(), DipSocketKind, std::to_string(tpl->PinCount) + " pins",
          Span(c.StartTrace, c.StartPin, last, std::int64_t{c.StartPin} + SocketLowerRowOffset));
    }
  }
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    if (c.Is(ComponentKind::Label) || c.Is(ComponentKind::TraceCut) || sockets.Claimed(i))
      continue;
    std::string value = c.Name == UnnamedComponent ? std::string() : c.Name;
    if (c.Is(ComponentKind::Wire)) {
      // As the builder counts along the strip row: both end holes included.
      const std::int64_t holes = std::abs(std::int64_t{c.EndTrace} - c.StartTrace) + 1;
      value = std::to_string(holes) + (holes == 1 ? " hole" : " holes");
    }
    Add(groups, KindRank(c.Kind), KindCaption(c.Kind), std::move(value),
        Span(c.StartTrace, c.StartPin, c.EndTrace, c.StartPin));
  }
  std::vector<Group> sorted;
  for (auto &[key, g] : groups)
    sorted.push_back(std::move(g));
  std::stable_sort(sorted.begin(), sorted.end(), [](const Group &a, const Group &b) {
    if (a.Rank != b.Rank)
      return a.Rank < b.Rank;
    return ValueLess(a.Line.Value, b.Line.Value);
  });
  std::vector<PartsLine> lines;
  for (Group &g : sorted)
    lines.push_back(std::move(g.Line));
  return lines;
}

std::string FormatPartsList(const Board &board) {
  std::string s = "Kind,Value,Quantity,Positions\r\n";
  for (const PartsLine &l : ListParts(board))
    s += CsvField(l.Kind) + "," + CsvField(l.Value) + "," + std::to_string(l.Quantity) + "," +
         CsvField(l.Positions) + "\r\n";
  return s;
}

} // namespace tarnwick
