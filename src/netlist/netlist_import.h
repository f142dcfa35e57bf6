#pragma once

#include "board/board.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class TTokenizer;

// One element line kept from a netlist: its number in the file (from 1) and its text,
// lower-cased, without CR characters.
struct NetlistLine {
  std::int64_t Number = 0;
  std::string Text;
};
using NetlistLines = std::vector<NetlistLine>;

// Bounds that keep a hostile or mistaken file (a binary, a generated giant) from exhausting
// memory. Only element lines count; comments and other lines of any length are skipped while
// reading. No stripboard layout comes near them.
inline constexpr std::size_t MaxNetlistParts = 10000;
inline constexpr std::size_t MaxNetlistLineLength = 4096;

// The element lines of a netlist, in file order: lines whose first character is c, d, j, q or
// r in either case. A line ends at LF; CR characters are dropped. Throws TarnwickError when the
// text holds more than MaxNetlistParts element lines or one longer than MaxNetlistLineLength;
// fileName names the text in that message.
NetlistLines ReadNetlistText(std::string_view text, const std::string &fileName);
// The same for a file, read in pieces so that memory stays bounded whatever its size. A file
// that cannot be opened or read gives no lines and no error.
NetlistLines ReadNetlistFile(const std::string &path);

// Takes the first `count` fields of an element line into fields[0 .. count - 1], with the
// tokenizer set to blanks as separators. Every field but the last must be followed by another
// one; a line with too few fields stops with the import's "Assertion failure" TarnwickError.
void SplitNetlistFields(TTokenizer &tokenizer, const NetlistLine &line, std::string *fields,
                        std::size_t count);

// The import's random numbers: a 32-bit linear congruential generator,
// seed := seed * 134775813 + 1 (mod 2^32), random(n) := seed * n div 2^32.
class NetlistRandom {
public:
  explicit NetlistRandom(std::uint32_t seed = 0) : seed_(seed) {}
  // An integer in 0 .. n - 1; n must be positive.
  std::int32_t Next(std::int32_t n);
  std::uint32_t Seed() const { return seed_; }

private:
  std::uint32_t seed_;
};

// The process's one generator. It starts at 0 and the program never reseeds it, so the first
// import after start always gives the same pin rows and later imports continue the sequence.
NetlistRandom &ProcessNetlistRandom();
// Test hook, never called by the program: puts the process's generator back to its state at
// start, so a test can play "the first import after start" inside a long-running test process.
void ResetProcessNetlistRandomForTesting();

// Where an import puts what it builds.
class NetlistTarget {
public:
  virtual ~NetlistTarget() = default;
  // The board to build on. It must be empty when the import starts.
  virtual Board &TargetBoard() = 0;
  // Takes a placed component. The main window appends a list row, sets its modified flag and
  // adds the component to its board.
  virtual void AddComponentToLayout(std::unique_ptr<BoardComponent> c) = 0;
};

// A target that is only a board in memory: no window, no list.
class BoardTarget : public NetlistTarget {
public:
  explicit BoardTarget(Board &board) : board_(board) {}
  Board &TargetBoard() override { return board_; }
  void AddComponentToLayout(std::unique_ptr<BoardComponent> c) override;
  // Set once a component was added, as the editor's modified flag would be.
  bool Modified() const { return modified_; }

private:
  Board &board_;
  bool modified_ = false;
};

// Builds the layout of a netlist on the target's empty board: 60 traces of 30 pins, every node
// on a trace of its own, three single-hole sockets and a ground trace per transistor, wire
// links between traces of the same node, then the capacitors, diodes and resistors across the
// traces of their nodes. Stops with a TarnwickError carrying the user's message ("too many
// transistors", "too many nodes :(", "Assertion failure: ..." for a line with too few fields);
// what was placed before stays. The board is repainted at the end in every case.
void PlaceNetlist(const NetlistLines &lines, NetlistTarget &target, NetlistRandom &random);

// Reads a netlist file and builds its layout on an empty board in memory, drawing from the
// process's generator: what File > Import Netlist does after its questions, without a window.
// Errors as for ReadNetlistText and PlaceNetlist; a read error leaves the board untouched.
void ImportNetlistFile(const std::string &path, Board &board,
                       NetlistRandom &random = ProcessNetlistRandom());

} // namespace tarnwick
