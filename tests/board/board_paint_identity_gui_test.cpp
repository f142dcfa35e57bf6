// Guards the board's look against changes made for speed: the painter, with all its prepared
// pictures and caches, must produce exactly the pixels of a plain painter that draws every
// strip, hole, line, ellipse and text one by one with QPainter.
//
// The plain painter lives here, in the test, and draws through the same Qt raster engine and
// the same fonts as the program. Both run on the same machine in the same process, so the
// comparison holds whatever fonts are installed (with fonts-liberation, as installed by
// scripts/install-deps, "Arial" resolves to Liberation Sans). If the board's look is changed on
// purpose, change the plain painter below the same way.
#include "board/board_view.h"
#include "board/glyphs.h"
#include "ui/main_form.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace tarnwick;

namespace {

// A straightforward drawing surface: outline colour, fill colour, fill style and text colour
// carry over between calls; boxes exclude their right and bottom edges.
class PlainCanvas {
public:
  PlainCanvas(QPainter &p, QFont font) : p_(p) {
    font.setStyleStrategy(QFont::NoAntialias);
    font_ = font;
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setFont(font_);
  }

  QColor pen{Qt::black}, brush{Qt::white}, text{Qt::black};
  bool solid = true;

  void SetBold(bool bold) {
    font_.setBold(bold);
    p_.setFont(font_);
  }
  QFontMetrics Metrics() const { return QFontMetrics(font_); }

  void Fill(int l, int t, int r, int b, QColor c) {
    if (r > l && b > t)
      p_.fillRect(l, t, r - l, b - t, c);
  }
  void Rectangle(int l, int t, int r, int b) {
    if (r <= l || b <= t)
      return;
    if (solid)
      p_.fillRect(l, t, r - l, b - t, brush);
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    if (r - l == 1 || b - t == 1)
      p_.fillRect(l, t, r - l, b - t, pen);
    else
      p_.drawRect(l, t, r - l - 1, b - t - 1);
  }
  void Ellipse(int l, int t, int r, int b) {
    if (r - l < 2 || b - t < 2) {
      Fill(l, t, r, b, pen);
      return;
    }
    p_.setPen(pen);
    p_.setBrush(solid ? QBrush(brush) : QBrush(Qt::NoBrush));
    p_.drawEllipse(l, t, r - l - 1, b - t - 1);
  }
  void Line(int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2)
      return;
    p_.setPen(pen);
    p_.drawLine(x1, y1, x2 - (x2 > x1) + (x2 < x1), y2 - (y2 > y1) + (y2 < y1));
  }
  void TextOut(int x, int y, const QString &s) {
    if (s.isEmpty())
      return;
    const QFontMetrics fm = Metrics();
    if (solid)
      p_.fillRect(x, y, fm.horizontalAdvance(s), fm.height(), brush);
    p_.setPen(text);
    p_.drawText(x, y + fm.ascent(), s);
  }
  void TextCentered(int l, int t, int r, int b, const QString &s) {
    const QFontMetrics fm = Metrics();
    TextOut(l + (r - l - fm.horizontalAdvance(s)) / 2, t + (b - t - fm.height()) / 2, s);
  }
  void FocusRect(int l, int t, int r, int b) {
    if (r <= l || b <= t)
      return;
    QPolygon points;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if ((x == l || x == r - 1 || y == t || y == b - 1) && ((x - l) + (y - t)) % 2 == 0)
          points << QPoint(x, y);
    p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p_.setPen(QColor(255, 255, 255));
    p_.drawPoints(points);
    p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  void Image(int x, int y, const QImage &img) { p_.drawImage(x, y, img); }

private:
  QPainter &p_;
  QFont font_;
};

// The five passes, drawn one primitive at a time.
class PlainPainter {
public:
  PlainPainter(QPainter &p, const Board &b, const QFont &font) : c_(p, font), b_(b) {}

  void Paint(QSize size) {
    c_.Fill(0, 0, size.width(), size.height(), QColor(16, 16, 16));
    Traces();
    c_.solid = true;
    if (b_.ShowFlow())
      Flow();
    c_.solid = true;
    for (int i = 0; i < b_.ComponentCount(); ++i)
      Component(b_.GetComponent(i));
    c_.solid = true;
    const GridRect &s = b_.SizePreview;
    if (s.Right > 0 && s.Bottom > 0)
      c_.FocusRect(2, 2, s.Right * 18 + 2, s.Bottom * 15 + 2);
  }

private:
  void Traces() {
    const int pins = b_.PinCount();
    const auto [lo, hi] = std::minmax(b_.HighlightTrace, b_.HighlightEndTrace);
    c_.pen = Qt::black;
    for (int t = 0; t < b_.TraceCount(); ++t) {
      const int left = 18 * t + 3;
      const std::string &name = b_.GetTrace(t).Name;
      c_.brush = t == b_.HighlightTrace      ? QColor(255, 0, 0)
                 : t == b_.HighlightEndTrace ? QColor(0, 128, 0)
                 : !name.empty()             ? QColor(144, 128, 80)
                                             : QColor(128, 112, 64);
      c_.Rectangle(left, 4, left + 15, 15 * pins + 4);
      for (int p = 0; p < pins; ++p) {
        const bool lit = lo >= 0 && lo <= t && t <= hi && p == b_.HighlightPin;
        c_.brush = lit ? QColor(0, 0, 255) : QColor(0, 0, 0);
        c_.Ellipse(left + 4, 15 * p + 8, left + 11, 15 * p + 15);
      }
      if (!name.empty()) {
        int ty = 15 * pins + 8;
        if (t % 2 != 0)
          ty += c_.Metrics().height() + 1;
        c_.text = t == b_.HighlightTrace ? QColor(255, 0, 0) : QColor(255, 255, 255);
        c_.solid = true;
        c_.TextOut(left, ty, QString::fromStdString(name));
      }
    }
  }

  void Flow() {
    c_.brush = QColor(128, 0, 128);
    c_.pen = Qt::black;
    for (int t = 0; t < b_.TraceCount(); ++t) {
      std::vector<const BoardComponent *> touching;
      for (int i = 0; i < b_.ComponentCount(); ++i) {
        const BoardComponent &c = b_.GetComponent(i);
        const auto [lo, hi] = std::minmax(c.StartTrace, c.EndTrace);
        if (c.Is(ComponentKind::TraceCut) ? lo <= t && t <= hi
                                          : c.StartTrace == t || c.EndTrace == t)
          touching.push_back(&c);
      }
      std::stable_sort(touching.begin(), touching.end(),
                       [](auto *a, auto *b) { return a->StartPin < b->StartPin; });
      for (std::size_t k = 1; k < touching.size(); ++k) {
        const BoardComponent *prev = touching[k - 1], *cur = touching[k];
        if (!prev->Is(ComponentKind::TraceCut) && !cur->Is(ComponentKind::TraceCut))
          c_.Rectangle(TraceX(t) - 2, PinY(prev->StartPin), TraceX(t) + 3, PinY(cur->StartPin));
      }
    }
  }

  void Component(const BoardComponent &c) {
    const int x1 = TraceX(c.StartTrace), x2 = TraceX(c.EndTrace), y = PinY(c.StartPin);
    const int span = std::abs(c.StartTrace - c.EndTrace);
    const auto [xmin, xmax] = std::minmax(x1, x2);
    const auto kind = c.kind();
    const QColor white(255, 255, 255), black(0, 0, 0);
    if ((kind == ComponentKind::Resistor || kind == ComponentKind::Diode) && span < 2) {
      c_.pen = white;
      c_.brush = black;
      c_.Ellipse(x1 - 8, y - 8, x1 + 8, y + 8);
    }
    if (kind == ComponentKind::TraceCut) {
      c_.Fill(xmin - 9, y - 4, xmax + 9, y + 4, black);
    } else {
      c_.pen = white;
      if (kind != ComponentKind::ElectrolyticRadial && kind != ComponentKind::Label)
        c_.Line(x1, y, x2, y);
      const auto k = static_cast<std::size_t>(c.Kind);
      if (span >= 2 && k < glyphs_.Normal.size()) {
        const QImage &img = x1 > x2 ? glyphs_.Reversed[k] : glyphs_.Normal[k];
        if (!img.isNull())
          c_.Image(x1 + (x2 - x1 - 24) / 2, y - 11, img);
      }
      Name(c, x1, x2, y);
      if (kind == ComponentKind::Socket) {
        c_.Fill(xmin - 9, y - 6, xmax + 9, y + 6, white);
        c_.brush = black;
        c_.pen = white;
        for (int i = 0; i <= span; ++i) {
          const int cx = xmin + 14 * i;
          c_.Ellipse(cx - 6, y - 6, cx + 6, y + 6);
          c_.Ellipse(cx - 1, y - 1, cx + 1, y + 1);
        }
      } else if (kind == ComponentKind::ElectrolyticRadial) {
        c_.brush = white;
        c_.pen = white;
        c_.Ellipse(x1 - 3, y - 3, x1 + 4, y + 4);
        c_.Ellipse(x2 - 3, y - 3, x2 + 4, y + 4);
        c_.solid = false;
        c_.text = black;
        c_.TextCentered(x1 - 15, y - 15, x1 + 15, y + 15, QStringLiteral("+"));
        c_.TextCentered(x2 - 15, y - 15, x2 + 15, y + 15, QStringLiteral("-"));
        c_.text = white;
        const int cx = (x1 + x2) / 2, r = 9 * c.CapWidth + 1;
        c_.Ellipse(cx - r, y - r, cx + r, y + r);
        c_.solid = true;
      }
    }
    c_.pen = black;
    if (b_.SelectedComponent == &c)
      c_.FocusRect(xmin - 9, y - 8, xmax + 9, y + 8);
  }

  void Name(const BoardComponent &c, int x1, int x2, int y) {
    if (c.Name == UnnamedComponent)
      return;
    const QString name = QString::fromStdString(c.Name);
    c_.text = QColor(255, 255, 255);
    c_.solid = false;
    if (c.Is(ComponentKind::Label)) {
      c_.SetBold(true);
      c_.TextOut(x1, y, name);
      c_.SetBold(false);
    } else if (b_.ShowLabels() && !name.isEmpty()) {
      int dy = 8;
      switch (c.kind()) {
      case ComponentKind::Wire:
        dy = 4;
        break;
      case ComponentKind::ElectrolyticRadial:
        dy = 6;
        break;
      case ComponentKind::ElectrolyticAxial:
      case ComponentKind::Diode:
        dy = 12;
        break;
      default:
        break;
      }
      const int w = c_.Metrics().horizontalAdvance(name);
      c_.TextOut(x1 + (x2 - x1 - w) / 2, y + dy, name);
    }
    c_.solid = true;
  }

  PlainCanvas c_;
  const Board &b_;
  GlyphSet glyphs_ = GlyphSet::Load();
};

class PaintIdentity : public ::testing::Test {
protected:
  void SetUp() override { view.setFont(ChooseBoardFont()); }

  BoardComponent *Add(ComponentKind k, int start, int end, int pin, std::string name,
                      int capWidth = 1) {
    auto c = std::make_unique<BoardComponent>();
    c->Kind = static_cast<std::uint8_t>(k);
    c->StartTrace = start;
    c->EndTrace = end;
    c->StartPin = pin;
    c->Name = std::move(name);
    c->CapWidth = capWidth;
    return view.AddComponent(std::move(c));
  }

  // Every kind, both directions, spans 0 to 5, all sorts of names, on a board of the given
  // size; a few components reach beyond the strips.
  void BuildVariedBoard(int traces, int pins) {
    view.InitBoard(traces, 40);
    view.Resize(traces, pins);
    for (int t = 0; t < traces; t += 1 + t % 3)
      view.GetTrace(t).Name = t % 5 == 0 ? "GND" : "N" + std::to_string(t) + (t % 2 ? "xy" : "");
    const std::string names[] = {"R1", "",   UnnamedComponent, "C&12", "Long name Wg", "µ7",
                                 "j",  "+5V"};
    int n = 0, pin = 1;
    for (int kind = 0; kind < 9; ++kind)
      for (int span = 0; span <= 5; ++span)
        for (int dir = 0; dir < 2; ++dir, ++n) {
          const int start = 1 + (n * 7) % std::max(traces - 7, 1);
          const int end = dir == 0 ? start + span : start - span;
          pin = (pin + 5) % (pins + 2); // a few rows beyond the last pin
          Add(static_cast<ComponentKind>(kind), start, end, pin, names[n % 8], span + dir);
        }
    Add(ComponentKind::ElectrolyticRadial, 4, 6, 3, "big", 30); // body larger than the board
    Add(ComponentKind::ElectrolyticRadial, 2, 2, 5, "zero", 0);
    Add(ComponentKind::ElectrolyticRadial, 5, 4, 7, "neg", -2);
    Add(ComponentKind::Socket, traces - 2, traces + 3, 2, "IC9"); // past the last strip
    Add(ComponentKind::Label, -1, 2, -1, "edge");
    Add(ComponentKind::Wire, 0, traces - 1, pins - 1, "bus");
    Add(ComponentKind::TraceCut, 3, 8, 4, "");
    Add(ComponentKind::Resistor, 3, 3, 9, "R9");
    BoardComponent *unknown = Add(ComponentKind::Wire, 6, 9, 11, "odd kind");
    unknown->Kind = 12;
    view.SelectedComponent = &view.GetComponent(20);
    view.HighlightTrace = 5;
    view.HighlightEndTrace = 2;
    view.HighlightPin = pins - 1;
    view.SizePreview = GridRect{0, 0, traces / 2, pins / 2};
    view.SetShowFlow(true);
  }

  // How a picture is painted: the image, the surface size handed to the painter (normally
  // the image's size), an optional clip on the painter and a shift of its origin.
  struct Target {
    QSize image;
    QImage::Format format = QImage::Format_RGB32;
    QSize surface{};
    QRect clip{};
    QPoint shift{};
  };

  QImage Render(const Target &target, bool plain) {
    QImage img(target.image, target.format);
    img.fill(Qt::magenta);
    QPainter p(&img);
    if (!target.clip.isNull())
      p.setClipRect(target.clip);
    p.translate(target.shift);
    const QSize surface = target.surface.isEmpty() ? target.image : target.surface;
    if (plain)
      PlainPainter(p, view, view.DrawingFont()).Paint(surface);
    else
      view.PaintBoard(p, surface);
    return img;
  }

  QImage Painted(QSize size, QImage::Format format) { return Render({size, format}, false); }

  static QSize BoardSize(const Board &b) {
    return {b.TraceCount() * 18 + 3, b.PinCount() * 15 + 55};
  }

  // Compares both painters pixel by pixel; on a mismatch, set TARNWICK_TEST_SHOTS to a folder
  // to get both pictures.
  void ExpectSame(const Target &target, const char *what) {
    const QImage want = Render(target, true);
    const QImage got = Render(target, false);
    ASSERT_EQ(got.size(), want.size());
    int differing = 0, fx = -1, fy = -1;
    for (int y = 0; y < want.height(); ++y)
      for (int x = 0; x < want.width(); ++x)
        if (got.pixel(x, y) != want.pixel(x, y) && differing++ == 0)
          fx = x, fy = y;
    EXPECT_EQ(differing, 0) << what << ": first difference at " << fx << "," << fy;
    if (differing != 0)
      if (const char *dir = std::getenv("TARNWICK_TEST_SHOTS")) {
        want.save(QStringLiteral("%1/%2_want.png").arg(QString::fromLocal8Bit(dir), what));
        got.save(QStringLiteral("%1/%2_got.png").arg(QString::fromLocal8Bit(dir), what));
      }
  }
  void ExpectSame(QSize size, QImage::Format format, const char *what) {
    ExpectSame(Target{size, format}, what);
  }

  // How many pixels differ from the background: a guard against comparing two blank pictures.
  static int Drawn(const QImage &img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        n += (img.pixel(x, y) | 0xFF000000) != qRgb(16, 16, 16);
    return n;
  }

  BoardView view;
};

TEST_F(PaintIdentity, VariedBoardMatchesPlainDrawingOnEveryImageFormat) {
  BuildVariedBoard(30, 24);
  const QSize size = BoardSize(view);
  const QImage sample = Painted(size, QImage::Format_RGB32);
  ASSERT_GT(Drawn(sample), size.width() * size.height() / 3);
  // Texts are there: turning the names off changes the picture.
  view.SetShowLabels(false);
  ASSERT_NE(Painted(size, QImage::Format_RGB32), sample);
  ExpectSame(size, QImage::Format_RGB32, "labels_off");
  view.SetShowLabels(true);

  ExpectSame(size, QImage::Format_RGB32, "rgb32");
  ExpectSame(size, QImage::Format_ARGB32_Premultiplied, "argb32pm");
  ExpectSame(size, QImage::Format_ARGB32, "argb32");
  ExpectSame(size, QImage::Format_RGB888, "rgb888");
  // Surfaces that cut the board off, or leave room around it.
  ExpectSame({size.width() / 2, size.height() / 3}, QImage::Format_RGB32, "cut");
  ExpectSame({size.width() + 40, size.height() + 70}, QImage::Format_RGB32, "roomy");
  ExpectSame({size.width() / 2, size.height() / 3}, QImage::Format_RGB888, "cut_rgb888");
  // A surface smaller than the image, and a painter with a clip: the pixels cannot simply be
  // written, everything goes through the painter.
  ExpectSame(Target{size + QSize(30, 40), QImage::Format_RGB32, size / 2}, "small_surface");
  ExpectSame(Target{size, QImage::Format_RGB32, {}, QRect(20, 33, size.width() / 2, size.height())},
             "clipped");
  ExpectSame(Target{size, QImage::Format_RGB32, {}, {}, QPoint(-37, 21)}, "shifted");
}

TEST_F(PaintIdentity, OversizedNamesSocketsAndBodies) {
  BuildVariedBoard(30, 40);
  // Far too long to prepare as pictures: drawn directly, also across bands of rows. A trace
  // label that long also stops the one-sweep drawing of background and strips.
  const std::string endless(900, 'W');
  view.GetComponent(5).Name = endless;
  Add(ComponentKind::Label, 2, 3, 21, endless + "label");
  Add(ComponentKind::Socket, 1, 121, 30, "wide");            // a bar wider than prepared bars
  Add(ComponentKind::ElectrolyticRadial, 9, 11, 33, "", 14); // a body larger than prepared ones
  const QSize size = BoardSize(view);
  ExpectSame(size, QImage::Format_RGB32, "oversized");
  view.GetTrace(3).Name = endless;
  ExpectSame(size, QImage::Format_RGB32, "long_trace_label");
  ExpectSame(size, QImage::Format_RGB888, "long_trace_label_rgb888");
}

TEST_F(PaintIdentity, HundredPinsFlowOffAndEverySelection) {
  BuildVariedBoard(41, 40);
  view.Resize(41, 100); // beyond what a new board allows
  view.SetShowFlow(false);
  view.HighlightTrace = 40;
  view.HighlightEndTrace = 0;
  view.HighlightPin = 99;
  ExpectSame(BoardSize(view), QImage::Format_RGB32, "pins100");
  // The frame of every component, one after the other, with the size preview off.
  view.SizePreview = GridRect{};
  for (int i = 0; i < view.ComponentCount(); i += 7) {
    view.SelectedComponent = &view.GetComponent(i);
    ExpectSame(BoardSize(view), QImage::Format_RGB32, "selection");
  }
}

// The net tint is a switch of its own: off, a clicked strip looks exactly as it always did,
// also after the tint was shown; on, the picture changes.
TEST_F(PaintIdentity, ShowNetsOffLeavesEveryPixel) {
  BuildVariedBoard(30, 24);
  const QSize size = BoardSize(view);
  view.HighlightTrace = 0;
  view.ClickedPin = 23; // on the bus wire's row: its net spans the board
  const QImage off = Painted(size, QImage::Format_RGB32);
  view.SetShowNets(true);
  ASSERT_NE(Painted(size, QImage::Format_RGB32), off);
  view.SetShowNets(false);
  EXPECT_EQ(Painted(size, QImage::Format_RGB32), off);
  ExpectSame(size, QImage::Format_RGB32, "show_nets_off");
}

TEST_F(PaintIdentity, RepaintsFollowChangedNamesFontsAndHighlights) {
  BuildVariedBoard(16, 12);
  const QSize size = BoardSize(view);
  ExpectSame(size, QImage::Format_RGB32, "first");
  // Prepared pictures must not outlive what they show.
  view.GetComponent(3).Name = "renamed";
  view.GetComponent(9).Name = "";
  view.GetComponent(10).Name = UnnamedComponent;
  view.GetTrace(0).Name = "";
  view.GetTrace(1).Name = "VCC";
  view.HighlightTrace = -1;
  view.HighlightPin = 0;
  ExpectSame(size, QImage::Format_RGB32, "renamed");
  view.Resize(17, 13);
  ExpectSame(BoardSize(view), QImage::Format_RGB32, "resized");
  QFont bigger(QStringLiteral("Liberation Serif"));
  bigger.setPointSize(11);
  view.setFont(bigger);
  ExpectSame(BoardSize(view), QImage::Format_RGB32, "font");
  // Slanted letters reach out of their boxes ("f", "j").
  bigger.setItalic(true);
  view.setFont(bigger);
  view.GetComponent(4).Name = "fjf Wj";
  ExpectSame(BoardSize(view), QImage::Format_RGB32, "italic_font");
  QFont boldFont = ChooseBoardFont();
  boldFont.setBold(true);
  view.setFont(boldFont);
  ExpectSame(BoardSize(view), QImage::Format_RGB32, "bold_font");
  view.Clear();
  ExpectSame({200, 100}, QImage::Format_RGB32, "cleared");
}

} // namespace
