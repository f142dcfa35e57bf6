#include "document/layout_file.h"

#include "document/layout_text.h"
#include "document/regular_file.h"
#include "document/replacing_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace tarnwick {
namespace {

enum class Field {
  None,
  PartCount,
  TraceCount,
  PinCount,
  Name,
  TraceName,
  KompName,
  KompStartTrace,
  KompEndTrace,
  KompStartPin,
  KompTyp,
  KompCapWidth,
};

struct KeyRef {
  Field field = Field::None;
  std::int32_t n = 0; // the entry number of TraceN / KompN keys, from 1
};

// The entry number right after a key's prefix: decimal, no leading zero, and small enough
// that any number beyond the limits is simply not an entry this reader keeps.
bool EntryNumber(std::string_view &key, std::int32_t &n) {
  std::size_t i = 0;
  std::int64_t v = 0;
  while (i < key.size() && key[i] >= '0' && key[i] <= '9' && i < 8)
    v = v * 10 + (key[i++] - '0');
  if (i == 0 || key[0] == '0' || (i < key.size() && key[i] >= '0' && key[i] <= '9'))
    return false;
  n = static_cast<std::int32_t>(v);
  key.remove_prefix(i);
  return true;
}

// key is already in lower case.
KeyRef ClassifyKey(std::string_view key) {
  if (key == "partcount")
    return {Field::PartCount};
  if (key == "tracecount")
    return {Field::TraceCount};
  if (key == "pincount")
    return {Field::PinCount};
  if (key == "name")
    return {Field::Name};
  KeyRef ref;
  if (key.starts_with("trace")) {
    key.remove_prefix(5);
    if (EntryNumber(key, ref.n) && key == ".name")
      ref.field = Field::TraceName;
    return ref;
  }
  if (key.starts_with("komp")) {
    key.remove_prefix(4);
    if (!EntryNumber(key, ref.n))
      return ref;
    static constexpr std::pair<std::string_view, Field> fields[] = {
        {".name", Field::KompName},         {".starttrace", Field::KompStartTrace},
        {".endtrace", Field::KompEndTrace}, {".startpin", Field::KompStartPin},
        {".komptyp", Field::KompTyp},       {".capwidth", Field::KompCapWidth},
    };
    for (const auto &[text, field] : fields)
      if (key == text)
        ref.field = field;
  }
  return ref;
}

// A component entry as far as its keys were found; each key counts at its first occurrence.
struct RawKomp {
  std::string Name = UnnamedComponent;
  std::int32_t Values[5] = {-1, -1, -1, 0, 0}; // StartTrace, EndTrace, StartPin, KompTyp, CapWidth
  std::uint8_t Seen = 0;                       // bit 0: Name, bits 1..5: Values
};

struct TraceText {
  std::string Name;
  bool Seen = false;
};

constexpr std::size_t MaxKeyBytes = 64;
// Enough bytes for MaxLayoutTextLength characters however they are encoded.
constexpr std::size_t MaxValueBytes = 4 * MaxLayoutTextLength + 4;

// One line as read: the text before its first "=" (the whole line when there is none), and
// the value after it with its leading blanks skipped, cut after MaxValueBytes bytes.
struct RawLine {
  std::string_view Key;
  bool KeyTooLong = false;
  bool SawEquals = false;
  std::string_view Value;
  bool ValueMore = false; // a non-blank byte follows the part of the value kept
};

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsLayoutBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsLayoutBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool AllBlank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return IsLayoutBlank(c); });
}

std::optional<std::int32_t> IntegerValue(const RawLine &line) {
  if (line.ValueMore)
    return std::nullopt;
  return ParseLayoutInteger(TrimBlanks(line.Value));
}

std::string TextValue(const RawLine &line, bool &eightBit) {
  const std::string_view v = line.ValueMore ? line.Value : TrimBlanks(line.Value);
  return DecodeLayoutText(v, MaxLayoutTextLength, eightBit);
}

std::string TooLarge(const std::string &fileName) {
  return "Unable to open " + fileName + ": the file is larger than " +
         std::to_string(MaxLayoutFileBytes >> 20) + " MB";
}

} // namespace

struct LayoutReader::State {
  enum class Phase { Key, Leading, Value, Skip };

  std::string fileName;
  std::int32_t maxParts = MaxLayoutParts;
  bool inSection = false;
  bool sawSection = false; // a [Schematic] header was read: the file is a layout
  bool atFileStart = true;
  // A line that continues in the next piece, collected up to the bounds.
  Phase phase = Phase::Key;
  std::string key;
  bool keyTooLong = false;
  bool sawEquals = false;
  std::string value;
  bool valueMore = false;
  // What was found so far; a count is known once its first occurrence was read.
  std::int32_t counts[3] = {0, 40, 20}; // PartCount, TraceCount, PinCount
  bool countSeen[3] = {};
  std::string name;
  bool nameSeen = false;
  bool eightBit = false; // a text held bytes that are not UTF-8
  std::vector<TraceText> traces;
  std::vector<RawKomp> komps;

  bool LineStarted() const { return !key.empty() || sawEquals; }
  void WholeLine(std::string_view line);
  void Segment(const char *p, std::size_t n);
  void EndLine();
  void Line(const RawLine &line);
  void Header(std::string_view line);
  void Store(const KeyRef &ref, const RawLine &line);
  void StoreCount(int i, const RawLine &line);
  void StoreTraceName(std::int32_t n, const RawLine &line);
  void StoreKomp(const KeyRef &ref, const RawLine &line);
  std::int32_t EntryLimit(int countIndex, std::int32_t hardLimit) const;
};

// A line that lies whole in one piece is read where it is, without copying.
void LayoutReader::State::WholeLine(std::string_view text) {
  RawLine line;
  const auto eq = text.find('=');
  line.Key = text.substr(0, eq);
  if (line.Key.size() > MaxKeyBytes) {
    line.Key = line.Key.substr(0, MaxKeyBytes);
    line.KeyTooLong = true;
  }
  if (eq != std::string_view::npos) {
    line.SawEquals = true;
    std::string_view v = text.substr(eq + 1);
    while (!v.empty() && IsLayoutBlank(v.front()))
      v.remove_prefix(1);
    if (v.size() > MaxValueBytes) {
      line.ValueMore = !AllBlank(v.substr(MaxValueBytes));
      v = v.substr(0, MaxValueBytes);
    }
    line.Value = v;
  }
  Line(line);
}

void LayoutReader::State::Segment(const char *p, std::size_t n) {
  const char *end = p + n;
  while (p < end) {
    switch (phase) {
    case Phase::Key: {
      const char *eq =
          static_cast<const char *>(std::memchr(p, '=', static_cast<std::size_t>(end - p)));
      const char *stop = eq ? eq : end;
      const auto room = MaxKeyBytes - std::min(MaxKeyBytes, key.size());
      const auto take = std::min<std::size_t>(room, static_cast<std::size_t>(stop - p));
      key.append(p, take);
      if (take < static_cast<std::size_t>(stop - p))
        keyTooLong = true;
      p = stop;
      if (eq) {
        sawEquals = true;
        ++p;
        phase = (inSection && !keyTooLong) ? Phase::Leading : Phase::Skip;
      }
      break;
    }
    case Phase::Leading:
      while (p < end && IsLayoutBlank(*p))
        ++p;
      if (p < end)
        phase = Phase::Value;
      break;
    case Phase::Value: {
      const auto take = std::min(MaxValueBytes - value.size(), static_cast<std::size_t>(end - p));
      value.append(p, take);
      p += take;
      if (value.size() == MaxValueBytes) {
        while (p < end && IsLayoutBlank(*p))
          ++p;
        if (p < end) {
          valueMore = true;
          phase = Phase::Skip;
        }
      }
      break;
    }
    case Phase::Skip:
      p = end;
      break;
    }
  }
}

void LayoutReader::State::EndLine() {
  Line({key, keyTooLong, sawEquals, value, valueMore});
  phase = Phase::Key;
  key.clear();
  keyTooLong = false;
  sawEquals = false;
  value.clear();
  valueMore = false;
}

void LayoutReader::State::Line(const RawLine &line) {
  std::string_view k = line.Key;
  if (atFileStart && k.starts_with("\xEF\xBB\xBF"))
    k.remove_prefix(3); // a byte order mark
  atFileStart = false;
  k = TrimBlanks(k);
  if (!k.empty() && k.front() == '[') {
    Header(line.KeyTooLong ? std::string_view("[") : k);
    return;
  }
  if (!line.SawEquals || !inSection || line.KeyTooLong)
    return;
  char lower[MaxKeyBytes];
  for (std::size_t i = 0; i < k.size(); ++i)
    lower[i] = static_cast<char>((k[i] >= 'A' && k[i] <= 'Z') ? k[i] - 'A' + 'a' : k[i]);
  const KeyRef ref = ClassifyKey(std::string_view(lower, k.size()));
  if (ref.field != Field::None)
    Store(ref, line);
}

void LayoutReader::State::Header(std::string_view line) {
  line.remove_prefix(1);
  const auto close = line.find(']');
  std::string_view section = line.substr(0, close);
  while (!section.empty() && IsLayoutBlank(section.front()))
    section.remove_prefix(1);
  while (!section.empty() && IsLayoutBlank(section.back()))
    section.remove_suffix(1);
  constexpr std::string_view wanted = "schematic";
  inSection = close != std::string_view::npos && section.size() == wanted.size() &&
              std::equal(section.begin(), section.end(), wanted.begin(), [](char a, char b) {
                return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
              });
  sawSection = sawSection || inSection;
}

// Entries numbered beyond this are never used: beyond the count once it is known, beyond
// the largest count this reader accepts before that.
std::int32_t LayoutReader::State::EntryLimit(int countIndex, std::int32_t hardLimit) const {
  return countSeen[countIndex] ? std::min(counts[countIndex], hardLimit) : hardLimit;
}

void LayoutReader::State::Store(const KeyRef &ref, const RawLine &line) {
  switch (ref.field) {
  case Field::PartCount:
  case Field::TraceCount:
  case Field::PinCount:
    StoreCount(static_cast<int>(ref.field) - static_cast<int>(Field::PartCount), line);
    return;
  case Field::Name:
    if (!nameSeen) {
      nameSeen = true;
      name = TextValue(line, eightBit);
    }
    return;
  case Field::TraceName:
    StoreTraceName(ref.n, line);
    return;
  default:
    StoreKomp(ref, line);
    return;
  }
}

// A count beyond the limits stops the reading at once, before anything is built.
void LayoutReader::State::StoreCount(int i, const RawLine &line) {
  if (countSeen[i])
    return;
  countSeen[i] = true;
  static constexpr std::int32_t defaults[3] = {0, 40, 20};
  const std::int32_t limits[3] = {maxParts, MaxLayoutTraces, INT32_MAX};
  static constexpr const char *keys[3] = {"PartCount", "TraceCount", "PinCount"};
  counts[i] = IntegerValue(line).value_or(defaults[i]);
  if (counts[i] > limits[i])
    throw TarnwickError("Unable to open " + fileName + ": " + keys[i] + " " +
                        std::to_string(counts[i]) + " is above the limit of " +
                        std::to_string(limits[i]));
}

void LayoutReader::State::StoreTraceName(std::int32_t n, const RawLine &line) {
  if (n > EntryLimit(1, MaxLayoutTraces))
    return;
  const auto at = static_cast<std::size_t>(n - 1);
  if (traces.size() <= at)
    traces.resize(at + 1);
  if (!traces[at].Seen) {
    traces[at].Seen = true;
    traces[at].Name = TextValue(line, eightBit);
  }
}

void LayoutReader::State::StoreKomp(const KeyRef &ref, const RawLine &line) {
  if (ref.n > EntryLimit(0, maxParts))
    return;
  const auto at = static_cast<std::size_t>(ref.n - 1);
  if (komps.size() <= at)
    komps.resize(at + 1);
  RawKomp &k = komps[at];
  const int bit = static_cast<int>(ref.field) - static_cast<int>(Field::KompName);
  if (k.Seen & (1u << bit))
    return;
  k.Seen = static_cast<std::uint8_t>(k.Seen | (1u << bit));
  if (ref.field == Field::KompName)
    k.Name = TextValue(line, eightBit);
  else if (const auto v = IntegerValue(line))
    k.Values[bit - 1] = *v;
}

LayoutReader::LayoutReader(std::string fileName, std::int32_t maxParts)
    : s_(std::make_unique<State>()) {
  s_->fileName = std::move(fileName);
  s_->maxParts = std::min(maxParts, MaxLayoutParts);
}

LayoutReader::~LayoutReader() = default;

void LayoutReader::Feed(std::string_view bytes) {
  const char *p = bytes.data();
  const char *end = p + bytes.size();
  while (p < end) {
    const char *nl =
        static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (!nl) {
      s_->Segment(p, static_cast<std::size_t>(end - p));
      break;
    }
    if (s_->LineStarted()) {
      s_->Segment(p, static_cast<std::size_t>(nl - p));
      s_->EndLine();
    } else {
      s_->WholeLine(std::string_view(p, static_cast<std::size_t>(nl - p)));
    }
    p = nl + 1;
  }
}

namespace {

BoardComponent MakeComponent(RawKomp &raw) {
  BoardComponent c;
  c.Name = std::move(raw.Name);
  c.StartTrace = raw.Values[0];
  c.EndTrace = raw.Values[1];
  c.StartPin = raw.Values[2];
  c.Kind = static_cast<std::uint8_t>(raw.Values[3] & 0xFF);
  if (c.Is(ComponentKind::ElectrolyticRadial)) {
    c.CapWidth = raw.Values[4];
    const std::int64_t span = std::abs(std::int64_t{c.StartTrace} - c.EndTrace);
    if (span >= c.CapWidth && c.CapWidth < INT32_MAX)
      ++c.CapWidth;
  }
  return c;
}

} // namespace

LayoutData LayoutReader::Finish() {
  State &s = *s_;
  if (s.LineStarted())
    s.EndLine();
  // Every layout this program writes has the section; any other file (a picture, a text, a
  // netlist) opened as a layout would show as an empty board and be overwritten by the next
  // save.
  if (!s.sawSection)
    throw TarnwickError((s.fileName.empty() ? std::string("The text") : s.fileName) +
                        " is not a Tarnwick layout: it has no [Schematic] section");
  LayoutData d;
  d.PartCount = s.counts[0];
  d.TraceCount = s.counts[1];
  d.PinCount = s.counts[2];
  d.Name = std::move(s.name);
  d.EightBit = s.eightBit;
  if (d.TraceCount > 0) {
    d.TraceNames.resize(static_cast<std::size_t>(d.TraceCount));
    const auto known = std::min(s.traces.size(), d.TraceNames.size());
    for (std::size_t i = 0; i < known; ++i)
      d.TraceNames[i] = std::move(s.traces[i].Name);
  }
  if (d.PartCount > 0)
    d.Components.reserve(std::min(s.komps.size(), static_cast<std::size_t>(d.PartCount)));
  RawKomp missing;
  for (std::int32_t n = 0; n < d.PartCount; ++n) {
    const auto at = static_cast<std::size_t>(n);
    RawKomp &raw = at < s.komps.size() ? s.komps[at] : missing;
    if (raw.Values[0] == -1 || raw.Values[1] == -1 || raw.Values[2] == -1) {
      ++d.Dropped;
      continue;
    }
    d.Components.push_back(MakeComponent(raw));
  }
  s.komps.clear();
  s.traces.clear();
  return d;
}

LayoutData ParseLayout(std::string_view bytes, const std::string &fileName) {
  LayoutReader reader(fileName);
  reader.Feed(bytes);
  return reader.Finish();
}

namespace {

// Refused unless it is a regular file of a size the reader takes.
void CheckLayoutFile(const RegularFile &file, const std::string &fileName) {
  if (!file.IsOpen()) {
    if (file.Why() == "it is not a regular file")
      throw TarnwickError("Unable to open " + fileName + ": it is not a regular file");
    throw TarnwickError("Unable to read " + fileName);
  }
  if (file.Size() > MaxLayoutFileBytes)
    throw TarnwickError(TooLarge(fileName));
}

} // namespace

LayoutData ReadLayoutFile(const std::string &fileName, std::int32_t maxParts) {
  RegularFile file(fileName);
  CheckLayoutFile(file, fileName);
  LayoutReader reader(fileName, maxParts);
  std::vector<char> buffer(1 << 18);
  std::uint64_t total = 0;
  for (;;) {
    const std::int64_t n = file.Read(buffer.data(), buffer.size());
    if (n < 0)
      throw TarnwickError("Unable to read " + fileName);
    if (n == 0)
      break;
    // A file that grows while it is read is held to the same limit.
    total += static_cast<std::uint64_t>(n);
    if (total > MaxLayoutFileBytes)
      throw TarnwickError(TooLarge(fileName));
    reader.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
  return reader.Finish();
}

void BuildBoard(const LayoutData &data, Board &board) {
  board.InitBoard(data.TraceCount, data.PinCount);
  const auto traces =
      std::min<std::size_t>(data.TraceNames.size(), static_cast<std::size_t>(board.TraceCount()));
  for (std::size_t i = 0; i < traces; ++i)
    board.GetTrace(static_cast<std::int32_t>(i)).Name = data.TraceNames[i];
  for (const BoardComponent &c : data.Components)
    board.AddComponent(std::make_unique<BoardComponent>(c));
}

namespace {

// Appends "key=value" lines, CR LF ended; keys of entries are written as prefix, number,
// suffix ("Komp" 3 ".Name").
class LayoutWriter {
public:
  LayoutWriter(std::string &out, bool eightBit) : out_(out), eightBit_(eightBit) {}

  void Key(std::string_view key) { out_.append(key).push_back('='); }
  void Key(std::string_view prefix, std::int32_t n, std::string_view suffix) {
    out_.append(prefix);
    Number(n);
    out_.append(suffix).push_back('=');
  }
  void Value(std::int64_t value) {
    Number(value);
    out_.append("\r\n", 2);
  }
  // A line break inside a text would end the value and start a key of its own; it is
  // written as a blank instead.
  void Value(std::string_view text) {
    std::optional<std::string> bytes;
    if (eightBit_) {
      // The writer is only asked for 8-bit text when every text fits.
      bytes = EncodeEightBitText(text);
      if (bytes)
        text = *bytes;
    }
    if (text.find_first_of("\r\n") == std::string_view::npos) {
      out_.append(text);
    } else {
      for (char c : text)
        out_.push_back(c == '\r' || c == '\n' ? ' ' : c);
    }
    out_.append("\r\n", 2);
  }

private:
  void Number(std::int64_t value) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out_.append(digits, r.ptr);
  }

  std::string &out_;
  bool eightBit_;
};

bool AllFitEightBit(const Board &board, std::string_view name) {
  if (!EncodeEightBitText(name))
    return false;
  for (std::int32_t t = 0; t < board.TraceCount(); ++t)
    if (!EncodeEightBitText(board.GetTrace(t).Name))
      return false;
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i)
    if (!EncodeEightBitText(board.GetComponent(i).Name))
      return false;
  return true;
}

} // namespace

std::string FormatLayout(const Board &board, std::string_view name, bool eightBit) {
  std::string out;
  out.reserve(128 + name.size() + static_cast<std::size_t>(board.TraceCount()) * 24 +
              static_cast<std::size_t>(board.ComponentCount()) * 128);
  LayoutWriter w(out, eightBit && AllFitEightBit(board, name));
  out.append("[Schematic]\r\n");
  w.Key("Version");
  w.Value(1);
  w.Key("PartCount");
  w.Value(board.ComponentCount());
  w.Key("TraceCount");
  w.Value(board.TraceCount());
  w.Key("PinCount");
  w.Value(board.PinCount());
  w.Key("Name");
  w.Value(name);
  for (std::int32_t t = 0; t < board.TraceCount(); ++t) {
    w.Key("Trace", t + 1, ".Name");
    w.Value(board.GetTrace(t).Name);
  }
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    const std::int32_t n = i + 1;
    w.Key("Komp", n, ".Name");
    w.Value(c.Name);
    w.Key("Komp", n, ".StartTrace");
    w.Value(c.StartTrace);
    w.Key("Komp", n, ".EndTrace");
    w.Value(c.EndTrace);
    w.Key("Komp", n, ".StartPin");
    w.Value(c.StartPin);
    w.Key("Komp", n, ".KompTyp");
    w.Value(std::int64_t{c.Kind});
    if (c.Is(ComponentKind::ElectrolyticRadial)) {
      w.Key("Komp", n, ".CapWidth");
      w.Value(c.CapWidth);
    }
  }
  return out;
}

void WriteLayoutFile(const std::string &fileName, const Board &board, std::string_view name,
                     bool eightBit) {
  const std::string content = FormatLayout(board, name, eightBit);
  try {
    ReplaceFileContent(fileName, content);
  } catch (const TarnwickError &) {
    // Whatever failed (folder, rename, disk), the layout reports it in one wording.
    throw TarnwickError("Unable to write to " + fileName);
  }
}

} // namespace tarnwick
