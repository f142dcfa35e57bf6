#include "layout/auto_layout.h"

#include "layout/layout_board.h"
#include "layout/layout_cost.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <numeric>

namespace tarnwick::layout {
namespace {

// A small generator whose sequence is the same everywhere (the standard distributions are not).
class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
  std::uint64_t state_;
};

// One try: the items placed in an order, then routed and cut.
struct Attempt {
  bool Valid = false;
  std::string Why;
  std::int32_t FailedAt = -1; // the place in the order of the item that did not fit
  LayoutCost Cost;
  std::vector<layout::Placed> Placed;
  std::vector<Link> Links;
  std::vector<Cut> Cuts;
};

struct Canvas {
  std::int32_t Traces = 0, Rows = 0;
};

Attempt Try(const LayoutProblem &problem, const std::vector<std::int32_t> &order,
            const PlacementWeights &weights, const Canvas &canvas,
            const std::function<bool()> &interrupted) {
  Attempt a;
  Grid grid(canvas.Traces, canvas.Rows);
  if (!PlaceItems(problem, order, weights, grid, a.Placed, a.Links, a.FailedAt, interrupted)) {
    a.Why = "the parts and their links do not fit on " + std::to_string(canvas.Traces) +
            " traces by " + std::to_string(canvas.Rows) + " rows";
    return a;
  }
  std::int32_t failed = NoNet;
  std::vector<std::int32_t> nets(static_cast<std::size_t>(problem.NetCount));
  std::iota(nets.begin(), nets.end(), 0);
  if (!RouteLinks(grid, nets, a.Links, failed) ||
      !grid.GapsOpen(grid.Bounds().Left, grid.Bounds().Right)) {
    const std::string &name = problem.NetNames[static_cast<std::size_t>(failed)];
    a.Why = "no room for the links of net " + (name.empty() ? std::string("(unnamed)") : name);
    return a;
  }
  a.Cuts = PlaceCuts(grid);
  a.Cost = CostOf(problem, a.Placed, a.Links, a.Cuts);
  a.Valid = true;
  return a;
}

// What the annealing minimises: area first, links and cuts a little.
double Energy(const LayoutCost &c) {
  return static_cast<double>(c.Holes()) + 0.3 * static_cast<double>(c.Links) +
         0.02 * static_cast<double>(c.CutHoles);
}

// Largest items first, each next one the item sharing the most nets with those before it.
std::vector<std::int32_t> ConnectedOrder(const LayoutProblem &problem) {
  const std::size_t n = problem.Items.size();
  std::vector<bool> used(n, false), netSeen(static_cast<std::size_t>(problem.NetCount), false);
  std::vector<std::int32_t> order;
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t best = n;
    std::int64_t bestScore = -1;
    for (std::size_t i = 0; i < n; ++i) {
      if (used[i])
        continue;
      std::int64_t shared = 0;
      for (const ShapePin &p : problem.Items[i].Shapes[0].Pins)
        shared += netSeen[static_cast<std::size_t>(p.Net)] ? 1 : 0;
      const std::int64_t score = shared * 10000 + problem.Items[i].Size();
      if (score > bestScore) {
        bestScore = score;
        best = i;
      }
    }
    used[best] = true;
    order.push_back(static_cast<std::int32_t>(best));
    for (const ShapePin &p : problem.Items[best].Shapes[0].Pins)
      netSeen[static_cast<std::size_t>(p.Net)] = true;
  }
  return order;
}

class Search {
public:
  Search(const LayoutProblem &problem, const LayoutOptions &options, const std::atomic<bool> *stop,
         const std::function<void(const LayoutProgress &)> &progress)
      : problem_(problem), options_(options), stop_(stop), progress_(progress),
        random_(options.Seed), start_(std::chrono::steady_clock::now()) {
    canvas_.Rows = std::clamp(options.MaxRows, MinBoardRows, MaxBoardRows);
    // Room for every item side by side at its narrowest, and for the links around them.
    std::int64_t wide = 8;
    for (const Item &item : problem.Items)
      wide += item.Shapes.front().Width + 1;
    canvas_.Traces = static_cast<std::int32_t>(
        std::min<std::int64_t>(wide, std::clamp(options.MaxTraces, 1, MaxLayoutTraces)));
    // Five tries a part up to twenty parts, three for each part beyond: a try takes longer the
    // more parts there are, and a large circuit gains less from each.
    const std::int64_t items = static_cast<std::int64_t>(problem.Items.size());
    budget_ = options.Steps > 0 ? options.Steps
                                : 48 + 5 * std::min<std::int64_t>(items, 20) +
                                      3 * std::max<std::int64_t>(items - 20, 0);
  }

  LayoutResult Run();

private:
  // Whether the search must end, or this phase of it, which ends at step `end`.
  bool Over(std::int64_t end) const { return steps_ >= end || steps_ >= budget_ || Interrupted(); }
  // Whether the caller stopped the search or its time is up.
  bool Interrupted() const {
    if (stop_ && stop_->load())
      return true;
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start_;
    return spent.count() > options_.Seconds;
  }
  Attempt Step(const std::vector<std::int32_t> &order, const PlacementWeights &weights);
  void Phase(PlacementWeights weights, std::int64_t end, bool largestFirst);
  void Keep(const Attempt &a);

  const LayoutProblem &problem_;
  const LayoutOptions &options_;
  const std::atomic<bool> *stop_;
  const std::function<void(const LayoutProgress &)> &progress_;
  Random random_;
  std::chrono::steady_clock::time_point start_;
  Canvas canvas_;
  std::int64_t budget_ = 0, steps_ = 0;
  bool found_ = false;
  LayoutCost best_;
  MadeBoard bestBoard_;
  std::string why_;
};

Attempt Search::Step(const std::vector<std::int32_t> &order, const PlacementWeights &weights) {
  ++steps_;
  // A large circuit's try takes long: a stop or the end of the time is heeded between items.
  Attempt a = Try(problem_, order, weights, canvas_, [this] { return Interrupted(); });
  if (a.Valid)
    Keep(a);
  else if (why_.empty())
    why_ = a.Why;
  return a;
}

void Search::Keep(const Attempt &a) {
  if (found_ && !(a.Cost < best_))
    return;
  MadeBoard board = MakeBoard(problem_, a.Placed, a.Links, a.Cuts);
  const std::string fault = FaultOf(problem_, board);
  if (!fault.empty()) {
    why_ = "the board found was unsound (" + fault + ")";
    return;
  }
  found_ = true;
  best_ = a.Cost;
  bestBoard_ = std::move(board);
  if (progress_)
    progress_({best_, steps_, budget_});
}

void Search::Phase(PlacementWeights weights, std::int64_t end, bool largestFirst) {
  std::vector<std::int32_t> order = ConnectedOrder(problem_);
  if (largestFirst)
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
      return problem_.Items[static_cast<std::size_t>(a)].Size() >
             problem_.Items[static_cast<std::size_t>(b)].Size();
    });
  Attempt current = Step(order, weights);
  // Until one order works, the item that found no place moves ahead of some of those before
  // it, and every few tries the islands weigh more.
  for (int i = 1; !current.Valid && !Over(end); ++i) {
    if (i % 8 == 0)
      weights.Island += 8;
    const std::size_t at = current.FailedAt > 0 ? static_cast<std::size_t>(current.FailedAt)
                                                : random_.Below(order.size());
    const std::int32_t moved = order[at];
    order.erase(order.begin() + static_cast<std::ptrdiff_t>(at));
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(random_.Below(at + 1)), moved);
    current = Step(order, weights);
  }
  // Annealing over the order: swap two items or move one, keep what is not much worse.
  const double hot = 4.0, cold = 0.05;
  const std::int64_t first = steps_;
  const std::int64_t span = std::max<std::int64_t>(end - first, 1);
  while (!Over(end) && order.size() > 1) {
    const double progress = static_cast<double>(steps_ - first) / static_cast<double>(span);
    const double temperature = hot * std::pow(cold / hot, progress);
    std::vector<std::int32_t> next = order;
    const std::size_t i = random_.Below(next.size()), j = random_.Below(next.size());
    if (random_.Next() & 1) {
      std::swap(next[i], next[j]);
    } else {
      const std::int32_t moved = next[i];
      next.erase(next.begin() + static_cast<std::ptrdiff_t>(i));
      next.insert(next.begin() + static_cast<std::ptrdiff_t>(j), moved);
    }
    Attempt a = Step(next, weights);
    if (!a.Valid)
      continue;
    const double delta = current.Valid ? Energy(a.Cost) - Energy(current.Cost) : -1;
    if (delta <= 0 || random_.Unit() < std::exp(-delta / temperature)) {
      order = std::move(next);
      current = std::move(a);
    }
  }
}

LayoutResult Search::Run() {
  // Three runs, each with its own weight of a new island against area (which packs a circuit
  // best differs from circuit to circuit), the second from the largest items first.
  const std::array<std::int32_t, 3> islandWeights{16, 8, 24};
  for (std::size_t p = 0; p < islandWeights.size() && !Over(budget_); ++p) {
    PlacementWeights weights;
    weights.Island = islandWeights[p];
    const std::int64_t left = budget_ - steps_;
    Phase(weights, steps_ + left / static_cast<std::int64_t>(islandWeights.size() - p), p == 1);
  }
  LayoutResult result;
  result.Steps = steps_;
  result.Found = found_;
  if (found_) {
    result.Layout = std::move(bestBoard_.Layout);
    result.Cost = best_;
  } else {
    result.Why = "The circuit could not be laid out: " +
                 (Interrupted() ? std::string("the search was stopped or its time ran out before "
                                              "it found a board")
                                : why_) +
                 ".";
  }
  return result;
}

} // namespace

LayoutResult LayOut(const circuit::Circuit &circuit, const LayoutOptions &options,
                    const std::atomic<bool> *stop,
                    const std::function<void(const LayoutProgress &)> &progress) {
  const LayoutProblem problem = MakeProblem(circuit);
  if (problem.Items.empty()) {
    LayoutResult result;
    result.Why = "The circuit has no parts to lay out.";
    return result;
  }
  Search search(problem, options, stop, progress);
  return search.Run();
}

} // namespace tarnwick::layout
