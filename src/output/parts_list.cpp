#include "output/parts_list.h"

#include "editing/component_entry.h"
#include "editing/socket_templates.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
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

// Single-hole sockets by their hole, for finding the pins of a DIP socket template.
class SocketPins {
public:
  explicit SocketPins(const Board &board) {
    for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
      const BoardComponent &c = board.GetComponent(i);
      if (c.Is(ComponentKind::Socket) && c.StartTrace == c.EndTrace)
        at_[{c.StartTrace, c.StartPin}].push_back(i);
    }
  }

  // The component of a socket at (trace, row) labelled label that is not yet part of a DIP
  // socket, or -1.
  std::int32_t Find(const Board &board, std::int64_t trace, std::int64_t row,
                    const char *label) const {
    const auto it = at_.find({trace, row});
    if (it == at_.end())
      return -1;
    for (std::int32_t i : it->second)
      if (!claimed_.count(i) && board.GetComponent(i).Name == label)
        return i;
    return -1;
  }

  // The template whose upper-left pin is component i, with every pin of it found; claims them.
  const SocketTemplate *ClaimTemplate(const Board &board, std::int32_t i) {
    const BoardComponent &c = board.GetComponent(i);
    for (const SocketTemplate &tpl : SocketTemplates) {
      std::vector<std::int32_t> pins;
      for (int col = 0; col < tpl.Width(); ++col) {
        const std::int64_t t = std::int64_t{c.StartTrace} + col;
        const std::int32_t upper = Find(board, t, c.StartPin, tpl.UpperRow[std::size_t(col)]);
        const std::int32_t lower = Find(board, t, std::int64_t{c.StartPin} + SocketLowerRowOffset,
                                        tpl.LowerRow[std::size_t(col)]);
        if (upper < 0 || lower < 0)
          break;
        pins.push_back(upper);
        pins.push_back(lower);
      }
      if (static_cast<int>(pins.size()) == tpl.PinCount) {
        claimed_.insert(pins.begin(), pins.end());
        return &tpl;
      }
    }
    return nullptr;
  }

  bool Claimed(std::int32_t i) const { return claimed_.count(i) != 0; }

private:
  std::map<std::pair<std::int64_t, std::int64_t>, std::vector<std::int32_t>> at_;
  std::set<std::int32_t> claimed_;
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

void Add(std::map<std::pair<int, std::string>, Group> &groups, int rank, std::string kind,
         std::string value, const std::string &position) {
  Group &g = groups[{rank, value}];
  g.Rank = rank;
  if (g.Line.Quantity++ == 0) {
    g.Line.Kind = std::move(kind);
    g.Line.Value = std::move(value);
    g.Line.Positions = position;
  } else {
    g.Line.Positions += " " + position;
  }
}

// A field as RFC 4180 writes it: quoted, with doubled quotes, when it holds a comma, a quote
// or a line break.
std::string CsvField(const std::string &text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos)
    return text;
  std::string out = "\"";
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
  std::map<std::pair<int, std::string>, Group> groups;
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
    return NaturalLess(a.Line.Value, b.Line.Value);
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
