#pragma once

#include "output/page_canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

// A page that remembers every shape and text with the drawing state it was made in. Text is
// 10 units wide per byte and 20 units high.
class RecordingPageCanvas : public PageCanvas {
public:
  enum class Op { Line, Circle, Rectangle, FillRect, Text };
  struct Call {
    Op op;
    int a = 0, b = 0, c = 0, d = 0; // Line/Rectangle/FillRect: x1 y1 x2 y2; Circle: cx cy r
    std::string text;               // Text at (a, b)
    PageColour pen;
    int penWidth = 0;
    std::optional<PageColour> fill; // none = transparent
  };

  void SetPenColour(PageColour c) override { pen_ = c; }
  void SetPenWidth(int units) override { width_ = units; }
  void SetFill(PageColour c) override { fill_ = c; }
  void SetFillNone() override { fill_.reset(); }
  void Line(int x1, int y1, int x2, int y2) override { Add(Op::Line, x1, y1, x2, y2); }
  void Circle(int cx, int cy, int r) override { Add(Op::Circle, cx, cy, r, 0); }
  void Rectangle(int x1, int y1, int x2, int y2) override { Add(Op::Rectangle, x1, y1, x2, y2); }
  void FillRect(int x1, int y1, int x2, int y2) override { Add(Op::FillRect, x1, y1, x2, y2); }
  void Text(int x, int y, const std::string &text) override {
    Add(Op::Text, x, y, 0, 0);
    calls.back().text = text;
  }
  int TextWidth(const std::string &text) override { return 10 * static_cast<int>(text.size()); }
  int TextHeight(const std::string &) override { return 20; }

  std::vector<Call> Of(Op op) const {
    std::vector<Call> out;
    for (const Call &c : calls)
      if (c.op == op)
        out.push_back(c);
    return out;
  }

  std::vector<Call> calls;

private:
  void Add(Op op, int a, int b, int c, int d) {
    calls.push_back(Call{op, a, b, c, d, {}, pen_, width_, fill_});
  }
  PageColour pen_{1, 2, 3}; // an odd start colour shows whether the drawing sets its own
  int width_ = 0;
  std::optional<PageColour> fill_;
};

} // namespace tarnwick::test
