#include "layout/layout_grid.h"

#include <algorithm>

namespace tarnwick::layout {

Rect Rect::With(std::int32_t t0, std::int32_t r0, std::int32_t t1, std::int32_t r1) const {
  if (Empty())
    return {t0, r0, t1, r1};
  return {std::min(Left, t0), std::min(Top, r0), std::max(Right, t1), std::max(Bottom, r1)};
}

Grid::Grid(std::int32_t traces, std::int32_t rows)
    : traces_(traces), rows_(rows),
      lead_(static_cast<std::size_t>(traces) * static_cast<std::size_t>(rows), NoNet),
      covered_(lead_.size(), 0), cut_(lead_.size(), 0) {}

bool Grid::RowFree(std::int32_t r, std::int32_t t0, std::int32_t t1) const {
  if (r < 0 || r >= rows_ || t0 < 0 || t1 >= traces_)
    return false;
  for (std::int32_t t = t0; t <= t1; ++t)
    if (covered_[At(t, r)])
      return false;
  return true;
}

StripNeighbours Grid::Neighbours(std::int32_t t, std::int32_t r) const {
  StripNeighbours n;
  n.Top = 0;
  n.Bottom = rows_ - 1;
  for (std::int32_t y = r - 1; y >= 0; --y) {
    if (cut_[At(t, y)]) {
      n.Top = y + 1;
      break;
    }
    if (lead_[At(t, y)] != NoNet) {
      n.AboveRow = y;
      n.AboveNet = lead_[At(t, y)];
      break;
    }
  }
  for (std::int32_t y = r + 1; y < rows_; ++y) {
    if (cut_[At(t, y)]) {
      n.Bottom = y - 1;
      break;
    }
    if (lead_[At(t, y)] != NoNet) {
      n.BelowRow = y;
      n.BelowNet = lead_[At(t, y)];
      break;
    }
  }
  return n;
}

bool Grid::LeadFits(std::int32_t t, std::int32_t r, std::int32_t net) const {
  if (!Inside(t, r) || lead_[At(t, r)] != NoNet || cut_[At(t, r)])
    return false;
  if (r > 0 && lead_[At(t, r - 1)] != NoNet && lead_[At(t, r - 1)] != net)
    return false;
  if (r + 1 < rows_ && lead_[At(t, r + 1)] != NoNet && lead_[At(t, r + 1)] != net)
    return false;
  return true;
}

bool Grid::GapsOpen(std::int32_t t0, std::int32_t t1) const {
  for (std::int32_t t = std::max(t0, 0); t <= std::min(t1, traces_ - 1); ++t) {
    std::int32_t lastNet = NoNet;
    std::int32_t lastFree = -1; // the last free hole since the last lead
    for (std::int32_t r = 0; r < rows_; ++r) {
      const std::size_t at = At(t, r);
      if (cut_[at]) {
        lastNet = NoNet;
        continue;
      }
      if (lead_[at] == NoNet) {
        if (!covered_[at])
          lastFree = r;
        continue;
      }
      if (lastNet != NoNet && lead_[at] != lastNet && lastFree < 0)
        return false;
      lastNet = lead_[at];
      lastFree = -1;
    }
  }
  return true;
}

bool Grid::LastGap(std::int32_t t, std::int32_t r) const {
  std::int32_t above = NoNet, below = NoNet;
  for (std::int32_t y = r - 1; y >= 0 && above == NoNet; --y) {
    const std::size_t at = At(t, y);
    if (cut_[at])
      return false;
    if (lead_[at] != NoNet)
      above = lead_[at];
    else if (!covered_[at])
      return false;
  }
  for (std::int32_t y = r + 1; y < rows_ && below == NoNet; ++y) {
    const std::size_t at = At(t, y);
    if (cut_[at])
      return false;
    if (lead_[at] != NoNet)
      below = lead_[at];
    else if (!covered_[at])
      return false;
  }
  return above != NoNet && below != NoNet && above != below;
}

void Grid::Cover(std::int32_t r, std::int32_t t0, std::int32_t t1) {
  for (std::int32_t t = std::max(t0, 0); t <= std::min(t1, traces_ - 1); ++t)
    if (r >= 0 && r < rows_)
      covered_[At(t, r)] = 1;
}

void Grid::PutLead(std::int32_t t, std::int32_t r, std::int32_t net) { lead_[At(t, r)] = net; }

void Grid::PutTemplateCut(std::int32_t t, std::int32_t r) { cut_[At(t, r)] = 1; }

} // namespace tarnwick::layout
