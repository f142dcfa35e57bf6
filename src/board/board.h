#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick {

// Raised by every operation that stops a command; carries the text the user sees.
class TarnwickError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class ComponentKind : std::uint8_t {
  Wire = 0,
  Resistor = 1,
  Capacitor = 2,
  ElectrolyticAxial = 3,
  Diode = 4,
  Socket = 5,
  TraceCut = 6,
  ElectrolyticRadial = 7,
  Label = 8,
};

// The short type text of the component list; unknown codes read as "---".
std::string KindListText(std::uint8_t kind);

inline constexpr const char *UnnamedComponent = "<unnamed>";

// One copper strip.
struct Trace {
  std::string Name;
};

// One placed component: it lies on pin row StartPin from StartTrace to EndTrace.
struct BoardComponent {
  std::string Name;
  std::uint8_t Kind = 0;
  std::int32_t EndTrace = 0;
  std::int32_t StartTrace = 0;
  std::int32_t StartPin = 0;
  std::int32_t CapWidth = 0;

  ComponentKind kind() const { return static_cast<ComponentKind>(Kind); }
  bool Is(ComponentKind k) const { return Kind == static_cast<std::uint8_t>(k); }
};

struct GridRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// A stretch of one strip's copper: the holes of rows FirstPin .. LastPin of trace Trace.
struct CopperSpan {
  std::int32_t Trace = 0, FirstPin = 0, LastPin = 0;
  bool operator==(const CopperSpan &) const = default;
};

// Copper and components marked for the user, drawn in a tint of their own; empty marks nothing.
// The components are only compared, never read, so a removed one does no harm.
struct BoardTint {
  std::vector<CopperSpan> Copper;
  std::vector<const BoardComponent *> Components;
  bool Empty() const { return Copper.empty() && Components.empty(); }
};

enum class MouseButton { Left, Right, Middle };

// Board geometry in view pixels, origin at the view's top-left corner.
inline constexpr int TracePitch = 18;
inline constexpr int PinPitch = 15;
constexpr std::int32_t TraceX(std::int32_t t) { return TracePitch * t + 10; }
constexpr std::int32_t PinY(std::int32_t p) { return PinPitch * p + 11; }
// C++ integer division truncates toward zero, which is the rule for points left of or above
// the first strip as well.
constexpr std::int32_t TraceAt(std::int32_t x) { return (x - 3) / TracePitch; }
constexpr std::int32_t PinAt(std::int32_t y) { return (y - 4) / PinPitch; }

// The board model: traces, components and the view state the rest of the program reads and
// writes. The widget derives from it and implements Repaint().
class Board {
public:
  using Notification = std::function<void(Board &)>;

  Board() = default;
  virtual ~Board() = default;
  Board(const Board &) = delete;
  Board &operator=(const Board &) = delete;

  void InitBoard(std::int32_t traceCount, std::int32_t pinCount);
  void Resize(std::int32_t traceCount, std::int32_t pinCount);
  void Clear();

  std::int32_t TraceCount() const { return static_cast<std::int32_t>(traces_.size()); }
  std::int32_t PinCount() const { return pinCount_; }
  std::int32_t ComponentCount() const { return static_cast<std::int32_t>(components_.size()); }
  Trace &GetTrace(std::int32_t i);
  const Trace &GetTrace(std::int32_t i) const;
  BoardComponent &GetComponent(std::int32_t i);
  const BoardComponent &GetComponent(std::int32_t i) const;
  // Index of c in the component list, or -1.
  std::int32_t IndexOf(const BoardComponent *c) const;

  BoardComponent *AddComponent(std::unique_ptr<BoardComponent> c);
  void RemoveComponent(BoardComponent *c);
  // Replaces the `count` components from index `first` on by new ones made from `values`, in
  // their place in the list; returns the new components.
  std::vector<BoardComponent *> SpliceComponents(std::size_t first, std::size_t count,
                                                 const std::vector<BoardComponent> &values);
  // Gives the board exactly these trace labels (and so as many traces) and this many pins.
  void SetTraces(const std::vector<std::string> &labels, std::int32_t pinCount);

  // Reports through OnComponentsChange that components were added, removed or rewritten. The
  // list operations above report by themselves; whoever writes component fields calls this.
  // Inside a ChangeBatch the report waits for the batch's end and is made once.
  void ComponentsChanged();
  class ChangeBatch {
  public:
    explicit ChangeBatch(Board &board) : board_(board) { ++board_.batchDepth_; }
    ~ChangeBatch();
    ChangeBatch(const ChangeBatch &) = delete;
    ChangeBatch &operator=(const ChangeBatch &) = delete;

  private:
    Board &board_;
  };

  void SetHighlightTrace(std::int32_t t);
  void SetHighlightEndTrace(std::int32_t t);
  bool ShowLabels() const { return showLabels_; }
  bool ShowFlow() const { return showFlow_; }
  // While on, the copper connected to the clicked hole of the highlighted trace is tinted.
  bool ShowNets() const { return showNets_; }
  void SetShowLabels(bool on);
  void SetShowFlow(bool on);
  void SetShowNets(bool on);

  // A mouse press inside the view: selects a component or highlights a trace and reports the
  // change through the notifications.
  void HandleMousePress(MouseButton button, bool shift, bool doubleClick, std::int32_t x,
                        std::int32_t y);

  // Asks the view to draw itself anew; the plain model has nothing to draw.
  virtual void Repaint() {}

  // View state written directly by the editing commands; whoever writes it repaints.
  std::int32_t HighlightTrace = -1;
  std::int32_t HighlightEndTrace = -1;
  std::int32_t HighlightPin = -1;
  BoardComponent *SelectedComponent = nullptr;
  std::int32_t ClickedPin = 0;
  GridRect SizePreview;
  BoardTint Tint;

  Notification OnHighlightTraceChange;
  Notification OnHighlightKompChange;
  Notification OnComponentEdit;
  Notification OnComponentsChange;

private:
  void Notify(const Notification &n) {
    if (n)
      n(*this);
  }

  std::vector<std::unique_ptr<Trace>> traces_;
  std::vector<std::unique_ptr<BoardComponent>> components_;
  std::int32_t pinCount_ = 0;
  bool showLabels_ = true;
  bool showFlow_ = false;
  int batchDepth_ = 0;
  bool changedInBatch_ = false;
  bool showNets_ = false;
};

} // namespace tarnwick
