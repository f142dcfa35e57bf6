#pragma once

#include "board/board.h"
#include "board/canvas.h"
#include "board/glyphs.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <array>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tarnwick {

// Draws a board: background, strips with their holes and labels, flow bars, components and
// the size preview, in that order. The same painter serves the screen and the image export.
//
// A full repaint of a large board draws thousands of small shapes and texts. Drawn one by one
// through QPainter that costs far more than a screen refresh, so every picture that repeats
// (strips, holes, markers, sockets, capacitor bodies, glyphs and each distinct text) is drawn
// once into a sprite and blitted from then on. Sprites are drawn by the very primitives the
// board would use, so the pixels stay exactly the same.
class BoardPainter {
public:
  BoardPainter();

  // Paints the whole board onto a raster surface of the given size (an image, or the view's
  // off-screen buffer). The board is laid out in device pixels: under a scaling painter the
  // prepared pictures would be scaled as pictures, so callers paint one to one, as the view and
  // the image export do.
  //
  // fromBelow draws the board as the copper side shows it: the leads in their holes and the
  // bodies, which lie on the other side, as thin outlines (the caller mirrors the board).
  //
  // Besides the board's selected component, the components in `framed` get the selection frame
  // (the view frames every selected one).
  void PaintBoard(QPainter &painter, const Board &board, const QFont &font, QSize surface,
                  bool fromBelow = false,
                  const std::unordered_set<const BoardComponent *> *framed = nullptr);

private:
  class Pass;

  // A text as it is drawn with its top-left corner at the sprite's anchor.
  struct TextPicture {
    Sprite sprite;
    int width = 0;         // advance, for centring
    int height = 0;        // line height
    bool tooLarge = false; // drawn directly instead of from a sprite
    unsigned lastPaint = 0;
  };
  // What a text picture depends on besides the drawing font.
  struct TextKey {
    std::string text;
    bool bold = false;
    QRgb colour = 0;
    QRgb box = 0; // the background box's colour; 0 for a transparent background
    bool operator==(const TextKey &) const = default;
  };
  struct TextKeyHash {
    std::size_t operator()(const TextKey &k) const;
  };

  // A component end on a strip, for the flow bars.
  struct FlowEnd {
    int pin;   // its StartPin
    int order; // its place in the component list
    bool cut;
  };

  static TextPicture MakeText(TextSpriteMaker &maker, const TextKey &key);
  void UseFont(const QFont &font, QPoint dotsPerMeter);
  void ForgetUnusedTexts(std::size_t usedThisPaint);
  const Sprite &Strip(QRgb colour, int pinCount);
  const Sprite *Socket(int span);
  const Sprite *Ring(int radius);

  std::array<Sprite, 9> normalGlyphs_;
  std::array<Sprite, 9> reversedGlyphs_;
  Sprite marker_;
  Sprite blueHole_;
  Sprite blackHole_;
  Sprite radialLead_;
  std::map<std::pair<QRgb, int>, Sprite> strips_;
  std::map<int, Sprite> sockets_;
  std::map<int, Sprite> rings_;

  // Texts depend on the font and on the resolution of the surface it is resolved against.
  QFont font_;
  QPoint dotsPerMeter_;
  std::unordered_map<TextKey, TextPicture, TextKeyHash> texts_;
  unsigned paintCount_ = 0;
  std::vector<std::vector<FlowEnd>> flowEnds_;
  Canvas::Collection collected_;
  // The background and strip sweep: per strip row, 0 for none, else its prepared row; the
  // prepared rows.
  std::vector<int> sweepKinds_;
  std::vector<QRgb> sweepRows_;
};

} // namespace tarnwick
