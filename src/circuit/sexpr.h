#pragma once

// A small reader of S-expressions, the syntax of KiCad's netlists: lists in parentheses of
// atoms and lists, atoms bare (R1, 10k) or quoted with backslash escapes ("GND", "a \"b\"").
// Depth, atom length and the number of elements are bounded, so that no input can exhaust the
// stack or memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::circuit {

struct Sexpr {
  bool IsList = false;
  bool Quoted = false; // an atom written in quotes
  std::string Text;    // an atom's text, escapes resolved
  std::vector<Sexpr> Items;
  std::int64_t Line = 0; // where it starts, from 1

  // A list's first item when that is an atom ("comp" of (comp ...)), else "".
  const std::string &Head() const;
  // The first list among Items whose head is name, or nullptr.
  const Sexpr *Find(std::string_view name) const;
  // The atom after the head of that list: "R1" of (ref "R1"); nullptr when there is none.
  const std::string *Value(std::string_view name) const;
};

struct SexprLimits {
  std::size_t MaxDepth = 64;
  std::size_t MaxElements = 500'000; // atoms and lists together; a netlist of 500 parts has 100,000
  std::size_t MaxAtomLength = 4096;
};

// The one list the text holds (white space around it allowed). Throws TarnwickError
// "<fileName>: line <n>: <what>" for unbalanced parentheses, an unterminated string, control
// characters, text outside the list, or an input beyond the limits.
Sexpr ParseSexpr(std::string_view text, const std::string &fileName,
                 const SexprLimits &limits = {});

} // namespace tarnwick::circuit
