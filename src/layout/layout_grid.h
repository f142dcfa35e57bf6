#pragma once

// The board the search works on: which hole holds a lead of which net, which holes a component
// covers, and where a DIP template cuts the strips. A strip's copper is split wherever two
// neighbouring leads on it belong to different nets (a cut goes between them, so they may not
// sit on neighbouring rows) and at a template's cut; the leads of one net between two splits
// form one island.
#include <cstdint>
#include <vector>

namespace tarnwick::layout {

inline constexpr std::int32_t NoNet = -1;

struct Rect {
  std::int32_t Left = 0, Top = 0, Right = -1, Bottom = -1; // inclusive; empty when Right < Left
  bool Empty() const { return Right < Left; }
  std::int64_t Area() const {
    return Empty() ? 0 : std::int64_t{Right - Left + 1} * (Bottom - Top + 1);
  }
  Rect With(std::int32_t t0, std::int32_t r0, std::int32_t t1, std::int32_t r1) const;
};

// The nearest leads above and below a hole on its strip, up to a template's cut.
struct StripNeighbours {
  std::int32_t AboveRow = -1, AboveNet = NoNet; // AboveNet NoNet: none up to the cut or edge
  std::int32_t BelowRow = -1, BelowNet = NoNet;
  std::int32_t Top = 0, Bottom = 0; // the rows the copper could reach: edges or template cuts
};

class Grid {
public:
  Grid(std::int32_t traces, std::int32_t rows);

  std::int32_t Traces() const { return traces_; }
  std::int32_t Rows() const { return rows_; }
  bool Inside(std::int32_t t, std::int32_t r) const {
    return t >= 0 && r >= 0 && t < traces_ && r < rows_;
  }
  std::int32_t LeadNet(std::int32_t t, std::int32_t r) const { return lead_[At(t, r)]; }
  bool Covered(std::int32_t t, std::int32_t r) const { return covered_[At(t, r)] != 0; }
  bool TemplateCut(std::int32_t t, std::int32_t r) const { return cut_[At(t, r)] != 0; }
  // Whether holes t0 .. t1 of row r are inside the board and free of every component.
  bool RowFree(std::int32_t r, std::int32_t t0, std::int32_t t1) const;

  StripNeighbours Neighbours(std::int32_t t, std::int32_t r) const;
  // Whether a lead of `net` may go into a free hole: no lead of another net on the rows right
  // above or below it on its strip (there would be no hole left for the cut).
  bool LeadFits(std::int32_t t, std::int32_t r, std::int32_t net) const;

  // Whether between every two neighbouring leads of different nets on strips t0 .. t1 a hole
  // is left that no component lies over, for the cut: a cut shares its row with nothing.
  bool GapsOpen(std::int32_t t0, std::int32_t t1) const;

  // Whether a free hole is the last one between two leads of different nets that no component
  // lies over: covering it would leave their cut no row of its own.
  bool LastGap(std::int32_t t, std::int32_t r) const;

  void Cover(std::int32_t r, std::int32_t t0, std::int32_t t1);
  void PutLead(std::int32_t t, std::int32_t r, std::int32_t net);
  void PutTemplateCut(std::int32_t t, std::int32_t r);

  const Rect &Bounds() const { return bounds_; }
  void Extend(std::int32_t t0, std::int32_t r0, std::int32_t t1, std::int32_t r1) {
    bounds_ = bounds_.With(t0, r0, t1, r1);
  }

private:
  std::size_t At(std::int32_t t, std::int32_t r) const {
    return static_cast<std::size_t>(t) * static_cast<std::size_t>(rows_) +
           static_cast<std::size_t>(r);
  }
  std::int32_t traces_, rows_;
  std::vector<std::int32_t> lead_;
  std::vector<std::uint8_t> covered_;
  std::vector<std::uint8_t> cut_;
  Rect bounds_;
};

} // namespace tarnwick::layout
