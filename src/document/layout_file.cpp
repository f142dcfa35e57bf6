#include "document/layout_file.h"

#include "document/layout_text.h"
#include "document/replacing_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

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

} // namespace

struct LayoutReader::State {
  enum class Phase { Key, Leading, Value, Skip };

  std::string fileName;
  bool inSection = false;
  bool atFileStart = true;
  // The line being read.
  Phase phase = Phase::Key;
  std::string key;
  bool keyTooLong = false;
  bool sawEquals = false;
  std::string value;
  bool valueMore = false; // a non-blank byte follows the kept part of the value
  KeyRef ref;             // what the line's key names, once its "=" was read
  char lower[MaxKeyBytes] = {};
  // What was found so far; a count is known once its first occurrence was read.
  std::int32_t counts[3] = {0, 40, 20}; // PartCount, TraceCount, PinCount
  bool countSeen[3] = {};
  std::string name;
  bool nameSeen = false;
  std::vector<TraceText> traces;
  std::vector<RawKomp> komps;

  void Segment(const char *p, std::size_t n);
  std::string_view TrimmedKey();
  std::string_view LowerKey();
  void EndLine();
  void Header(std::string_view line);
  void Store(const KeyRef &ref);
  std::optional<std::int32_t> IntegerValue() const;
  std::string TextValue() const;
  std::int32_t EntryLimit(int countIndex, std::int32_t hardLimit) const;
};

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
        // Only lines of the section with a key this reader knows need their value.
        ref = (inSection && !keyTooLong) ? ClassifyKey(LowerKey()) : KeyRef{};
        phase = ref.field != Field::None ? Phase::Leading : Phase::Skip;
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

std::string_view LayoutReader::State::TrimmedKey() {
  std::string_view k(key);
  if (atFileStart && k.starts_with("\xEF\xBB\xBF"))
    k.remove_prefix(3); // a byte order mark
  while (!k.empty() && IsLayoutBlank(k.front()))
    k.remove_prefix(1);
  while (!k.empty() && IsLayoutBlank(k.back()))
    k.remove_suffix(1);
  return k;
}

std::string_view LayoutReader::State::LowerKey() {
  const std::string_view k = TrimmedKey();
  for (std::size_t i = 0; i < k.size(); ++i)
    lower[i] = static_cast<char>((k[i] >= 'A' && k[i] <= 'Z') ? k[i] - 'A' + 'a' : k[i]);
  return std::string_view(lower, k.size());
}

void LayoutReader::State::EndLine() {
  const std::string_view k = TrimmedKey();
  atFileStart = false;
  if (!k.empty() && k.front() == '[')
    Header(keyTooLong ? std::string_view("[") : k);
  else if (ref.field != Field::None)
    Store(ref);
  ref = {};
  phase = Phase::Key;
  key.clear();
  keyTooLong = false;
  sawEquals = false;
  value.clear();
  valueMore = false;
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
}

std::optional<std::int32_t> LayoutReader::State::IntegerValue() const {
  if (valueMore)
    return std::nullopt;
  std::string_view v(value);
  while (!v.empty() && IsLayoutBlank(v.back()))
    v.remove_suffix(1);
  return ParseLayoutInteger(v);
}

std::string LayoutReader::State::TextValue() const {
  std::string_view v(value);
  if (!valueMore)
    while (!v.empty() && IsLayoutBlank(v.back()))
      v.remove_suffix(1);
  return DecodeLayoutText(v, MaxLayoutTextLength);
}

// Entries numbered beyond this are never used: beyond the count once it is known, beyond
// the largest count this reader accepts before that.
std::int32_t LayoutReader::State::EntryLimit(int countIndex, std::int32_t hardLimit) const {
  return countSeen[countIndex] ? std::min(counts[countIndex], hardLimit) : hardLimit;
}

void LayoutReader::State::Store(const KeyRef &ref) {
  switch (ref.field) {
  case Field::PartCount:
  case Field::TraceCount:
  case Field::PinCount: {
    const int i = static_cast<int>(ref.field) - static_cast<int>(Field::PartCount);
    if (countSeen[i])
      return;
    countSeen[i] = true;
    static constexpr std::int32_t defaults[3] = {0, 40, 20};
    counts[i] = IntegerValue().value_or(defaults[i]);
    if (i == 0 && counts[0] > MaxLayoutParts)
      throw TarnwickError("Unable to open " + fileName + ": PartCount " +
                          std::to_string(counts[0]) + " is above the limit of " +
                          std::to_string(MaxLayoutParts));
    if (i == 1 && counts[1] > MaxLayoutTraces)
      throw TarnwickError("Unable to open " + fileName + ": TraceCount " +
                          std::to_string(counts[1]) + " is above the limit of " +
                          std::to_string(MaxLayoutTraces));
    return;
  }
  case Field::Name:
    if (!nameSeen) {
      nameSeen = true;
      name = TextValue();
    }
    return;
  case Field::TraceName: {
    if (ref.n > EntryLimit(1, MaxLayoutTraces))
      return;
    const auto at = static_cast<std::size_t>(ref.n - 1);
    if (traces.size() <= at)
      traces.resize(at + 1);
    if (!traces[at].Seen) {
      traces[at].Seen = true;
      traces[at].Name = TextValue();
    }
    return;
  }
  default:
    break;
  }
  if (ref.n > EntryLimit(0, MaxLayoutParts))
    return;
  const auto at = static_cast<std::size_t>(ref.n - 1);
  if (komps.size() <= at)
    komps.resize(at + 1);
  RawKomp &k = komps[at];
  const int bit = static_cast<int>(ref.field) - static_cast<int>(Field::KompName);
  if (k.Seen & (1u << bit))
    return;
  k.Seen = static_cast<std::uint8_t>(k.Seen | (1u << bit));
  if (ref.field == Field::KompName) {
    k.Name = TextValue();
    return;
  }
  if (const auto v = IntegerValue())
    k.Values[bit - 1] = *v;
}

LayoutReader::LayoutReader(std::string fileName) : s_(std::make_unique<State>()) {
  s_->fileName = std::move(fileName);
}

LayoutReader::~LayoutReader() = default;

void LayoutReader::Feed(std::string_view bytes) {
  const char *p = bytes.data();
  const char *end = p + bytes.size();
  while (p < end) {
    const char *nl =
        static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    s_->Segment(p, static_cast<std::size_t>((nl ? nl : end) - p));
    if (!nl)
      break;
    s_->EndLine();
    p = nl + 1;
  }
}

namespace {

BoardComponent MakeComponent(const RawKomp &raw) {
  BoardComponent c;
  c.Name = raw.Name;
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
  if (!s.key.empty() || s.sawEquals)
    s.EndLine();
  LayoutData d;
  d.PartCount = s.counts[0];
  d.TraceCount = s.counts[1];
  d.PinCount = s.counts[2];
  d.Name = std::move(s.name);
  if (d.TraceCount > 0) {
    d.TraceNames.resize(static_cast<std::size_t>(d.TraceCount));
    const auto known = std::min(s.traces.size(), d.TraceNames.size());
    for (std::size_t i = 0; i < known; ++i)
      d.TraceNames[i] = std::move(s.traces[i].Name);
  }
  const RawKomp missing;
  for (std::int32_t n = 0; n < d.PartCount; ++n) {
    const auto at = static_cast<std::size_t>(n);
    const RawKomp &raw = at < s.komps.size() ? s.komps[at] : missing;
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

LayoutData ReadLayoutFile(const std::string &fileName) {
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(fileName.c_str(), "rb"),
                                                     &std::fclose);
  if (!f)
    throw TarnwickError("Unable to read " + fileName);
  LayoutReader reader(fileName);
  std::vector<char> buffer(1 << 18);
  for (;;) {
    const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), f.get());
    if (n > 0)
      reader.Feed(std::string_view(buffer.data(), n));
    if (n < buffer.size()) {
      if (std::ferror(f.get()))
        throw TarnwickError("Unable to read " + fileName);
      break;
    }
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

class LayoutWriter {
public:
  explicit LayoutWriter(std::string &out) : out_(out) {}

  void Line(std::string_view key, std::int64_t value) {
    out_.append(key);
    out_.push_back('=');
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out_.append(digits, r.ptr);
    out_.append("\r\n");
  }
  // A line break inside a text would end the value and start a key of its own; it is
  // written as a blank instead.
  void Line(std::string_view key, std::string_view text) {
    out_.append(key);
    out_.push_back('=');
    for (char c : text)
      out_.push_back(c == '\r' || c == '\n' ? ' ' : c);
    out_.append("\r\n");
  }
  // The key of entry n: prefix, n, suffix ("Komp" 3 ".Name").
  std::string_view Key(std::string_view prefix, std::int32_t n, std::string_view suffix) {
    key_.assign(prefix);
    char digits[12];
    const auto r = std::to_chars(digits, digits + sizeof digits, n);
    key_.append(digits, r.ptr);
    key_.append(suffix);
    return key_;
  }

private:
  std::string &out_;
  std::string key_;
};

} // namespace

std::string FormatLayout(const Board &board, std::string_view name) {
  std::string out;
  out.reserve(128 + static_cast<std::size_t>(board.TraceCount()) * 24 +
              static_cast<std::size_t>(board.ComponentCount()) * 128);
  LayoutWriter w(out);
  out.append("[Schematic]\r\n");
  w.Line("Version", 1);
  w.Line("PartCount", board.ComponentCount());
  w.Line("TraceCount", board.TraceCount());
  w.Line("PinCount", board.PinCount());
  w.Line("Name", name);
  for (std::int32_t t = 0; t < board.TraceCount(); ++t)
    w.Line(w.Key("Trace", t + 1, ".Name"), board.GetTrace(t).Name);
  for (std::int32_t i = 0; i < board.ComponentCount(); ++i) {
    const BoardComponent &c = board.GetComponent(i);
    const std::int32_t n = i + 1;
    w.Line(w.Key("Komp", n, ".Name"), c.Name);
    w.Line(w.Key("Komp", n, ".StartTrace"), c.StartTrace);
    w.Line(w.Key("Komp", n, ".EndTrace"), c.EndTrace);
    w.Line(w.Key("Komp", n, ".StartPin"), c.StartPin);
    w.Line(w.Key("Komp", n, ".KompTyp"), static_cast<std::int64_t>(c.Kind));
    if (c.Is(ComponentKind::ElectrolyticRadial))
      w.Line(w.Key("Komp", n, ".CapWidth"), c.CapWidth);
  }
  return out;
}

void WriteLayoutFile(const std::string &fileName, const Board &board, std::string_view name) {
  ReplaceFileContent(fileName, FormatLayout(board, name));
}

} // namespace tarnwick
