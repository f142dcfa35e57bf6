#include "board/glyphs.h"

#include "board/board.h"

namespace tarnwick {
namespace {

// 24 x 24 pixel pictures; row 11 is the lead row. '.' transparent, 'K' black, 'W' white.
// Rows not listed (21 to 23) are transparent.
constexpr const char *ResistorRows[] = {
    "........................", "........................", "........................",
    "........................", "........................", "........................",
    "...KKKKKKKKKKKKKKKKKK...", "..KWWWWWWWWWWWWWWWWWWK..", ".KWKKKKKKKKKKKKKKKKKKWK.",
    ".KWKKKKKKKKKKKKKKKKKKWK.", ".KWKKKKKKKKKKKKKKKKKKWK.", "WWWKKKKKKKKKKKKKKKKKKWWW",
    ".KWKKKKKKKKKKKKKKKKKKWK.", ".KWKKKKKKKKKKKKKKKKKKWK.", ".KWKKKKKKKKKKKKKKKKKKWK.",
    "..KWWWWWWWWWWWWWWWWWWK..", "...KKKKKKKKKKKKKKKKKK...", "........................",
    "........................", "........................", "........................",
};

constexpr const char *CapacitorRows[] = {
    "........................", "........................", "........................",
    "........................", ".....KKKKKKKKKK.........", ".....KWWWKKWWWK.........",
    ".....KWWWKKWWWK.........", ".....KWWWKKWWWK.........", ".....KWWWKKWWWK.........",
    ".....KWWWKKWWWK.........", ".....KWWWKKWWWK.........", "WWWWWKWWWKKWWWKWWWWWWWWW",
    ".....KWWWKKWWWK.........", ".....KWWWKKWWWK.........", ".....KWWWKKWWWK.........",
    ".....KWWWKKWWWK.........", ".....KWWWKKWWWK.........", ".....KKKKKKKKKK.........",
    "........................", "........................", "........................",
};

constexpr const char *ElectrolyticRows[] = {
    "........................", "........................", "...KKK..KKKKK...........",
    "...KWK..KWWWK...KKKK....", ".KKKWKKKKWWWK..KWWWWK...", ".KWWWWWKKWWWK..KWWWK....",
    ".KKKWKKKKWWWK.KWWWK.....", "...KWK..KWWWKKKWWWK.....", "...KKK..KWWWKKWWWK......",
    "........KWWWKKWWWK......", "........KWWWKKWWWK......", "WWWWWWWWWWWWKKWWWWWWWWWW",
    "........KWWWKKWWWK......", "........KWWWKKWWWK......", "........KWWWKKWWWK......",
    "........KWWWKKKWWWK.....", "........KWWWKKKWWWK.....", "........KWWWK..KWWWK....",
    "........KWWWK..KWWWWK...", "........KWWWK...KKKK....", "........KKKKK...........",
};

constexpr const char *DiodeRows[] = {
    "........................", "........................", "........................",
    "........................", "........................", ".......KK.....KKKK......",
    ".......KWK....KWWK......", ".......KWWK...KWWK......", ".......KWWWK..KWWK......",
    ".......KWWWWK.KWWK......", ".......KWWWWWKKWWK......", "WWWWWWWWWWWWWWWWWWWWWWWW",
    ".......KWWWWWKKWWK......", ".......KWWWWK.KWWK......", ".......KWWWK..KWWK......",
    ".......KWWK...KWWK......", ".......KWK....KWWK......", ".......KK.....KKKK......",
    "........................", "........................", "........................",
};

QImage FromRows(const char *const (&rows)[21]) {
  QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 24; ++x) {
      const char c = rows[y][x];
      if (c == 'K')
        img.setPixel(x, y, 0xFF000000);
      else if (c == 'W')
        img.setPixel(x, y, 0xFFFFFFFF);
    }
  return img;
}

} // namespace

GlyphSet GlyphSet::Load() {
  GlyphSet g;
  auto set = [&g](ComponentKind k, QImage normal, bool mirrored) {
    const auto i = static_cast<std::size_t>(k);
    g.Reversed[i] = mirrored ? normal.mirrored(true, false) : normal.copy();
    g.Normal[i] = std::move(normal);
  };
  set(ComponentKind::Resistor, FromRows(ResistorRows), false);
  set(ComponentKind::Capacitor, FromRows(CapacitorRows), false);
  set(ComponentKind::ElectrolyticAxial, FromRows(ElectrolyticRows), true);
  set(ComponentKind::Diode, FromRows(DiodeRows), true);
  return g;
}

} // namespace tarnwick
