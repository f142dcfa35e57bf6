#include "circuit/sexpr.h"

#include "board/board.h"

#include <cstdio>

namespace tarnwick::circuit {
namespace {

bool Space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool Control(char c) { return (c >= 0 && c < 0x20) || c == 0x7f; }
bool Delimiter(char c) { return Space(c) || c == '(' || c == ')' || c == '"'; }

class Parser {
public:
  Parser(std::string_view text, const std::string &fileName, const SexprLimits &limits)
      : text_(text), fileName_(fileName), limits_(limits) {}

  Sexpr Run() {
    Sexpr root;
    std::vector<Sexpr *> open; // the lists not yet closed, innermost last
    while (SkipSpace()) {
      const char c = text_[at_];
      if (c == ')') {
        if (open.empty())
          Fail(line_, "unbalanced parenthesis: this ')' closes nothing");
        open.pop_back();
        ++at_;
        continue;
      }
      if (open.empty() && root.IsList)
        Fail(line_, "text after the list that began on line " + std::to_string(root.Line));
      Sexpr item = c == '(' ? List() : Atom();
      if (open.empty() && !item.IsList)
        Fail(item.Line, "text outside the parentheses");
      Sexpr *parent = open.empty() ? &root : &open.back()->Items.emplace_back();
      *parent = std::move(item);
      if (parent->IsList) {
        if (open.size() == limits_.MaxDepth)
          Fail(parent->Line,
               "lists nested more than " + std::to_string(limits_.MaxDepth) + " deep");
        open.push_back(parent);
      }
    }
    if (!open.empty())
      Fail(open.back()->Line, "unbalanced parenthesis: the '(' on this line is never closed");
    if (!root.IsList)
      Fail(0, "the file is empty");
    return root;
  }

private:
  [[noreturn]] void Fail(std::int64_t line, const std::string &what) const {
    throw TarnwickError(fileName_ + (line > 0 ? ": line " + std::to_string(line) : "") + ": " +
                        what);
  }

  // Steps over white space; false at the end of the text.
  bool SkipSpace() {
    while (at_ < text_.size() && Space(text_[at_]))
      line_ += text_[at_++] == '\n';
    return at_ < text_.size();
  }

  void Count() {
    if (++elements_ > limits_.MaxElements)
      Fail(line_, "more than " + std::to_string(limits_.MaxElements) + " elements");
  }

  Sexpr List() {
    Count();
    Sexpr list;
    list.IsList = true;
    list.Line = line_;
    ++at_;
    return list;
  }

  void Push(Sexpr &atom, char c) {
    if (atom.Text.size() == limits_.MaxAtomLength)
      Fail(atom.Line,
           "a text longer than " + std::to_string(limits_.MaxAtomLength) + " characters");
    atom.Text.push_back(c);
  }

  Sexpr Atom() {
    Count();
    Sexpr atom;
    atom.Line = line_;
    if (text_[at_] != '"') {
      for (; at_ < text_.size() && !Delimiter(text_[at_]); ++at_) {
        if (Control(text_[at_]))
          BadByte(text_[at_]);
        Push(atom, text_[at_]);
      }
      return atom;
    }
    atom.Quoted = true;
    for (++at_; at_ < text_.size(); ++at_) {
      char c = text_[at_];
      if (c == '"') {
        ++at_;
        return atom;
      }
      if (c == '\\' && at_ + 1 < text_.size()) {
        c = text_[++at_];
        line_ += c == '\n';
        c = c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
      } else if (c == '\n') {
        ++line_;
      } else if (Control(c) && c != '\t' && c != '\r') {
        BadByte(c);
      }
      Push(atom, c);
    }
    Fail(atom.Line, "a string that starts on this line is never closed");
  }

  [[noreturn]] void BadByte(char c) const {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    Fail(line_, std::string("unexpected control character ") + hex);
  }

  std::string_view text_;
  const std::string &fileName_;
  const SexprLimits &limits_;
  std::size_t at_ = 0;
  std::int64_t line_ = 1;
  std::size_t elements_ = 0;
};

} // namespace

const std::string &Sexpr::Head() const {
  static const std::string none;
  return IsList && !Items.empty() && !Items.front().IsList ? Items.front().Text : none;
}

const Sexpr *Sexpr::Find(std::string_view name) const {
  for (const Sexpr &item : Items)
    if (item.IsList && item.Head() == name)
      return &item;
  return nullptr;
}

const std::string *Sexpr::Value(std::string_view name) const {
  const Sexpr *list = Find(name);
  if (!list || list->Items.size() < 2 || list->Items[1].IsList)
    return nullptr;
  return &list->Items[1].Text;
}

Sexpr ParseSexpr(std::string_view text, const std::string &fileName, const SexprLimits &limits) {
  return Parser(text, fileName, limits).Run();
}

} // namespace tarnwick::circuit
