#pragma once

class QString;

namespace tarnwick {

// What the desktop side (recent layouts, the recovery copy) hears of the document.
class DocumentHooks {
public:
  virtual ~DocumentHooks() = default;
  // The layout got a change that is not saved.
  virtual void LayoutChanged() = 0;
  // The layout was opened from or saved to this file and has no unsaved changes.
  virtual void LayoutFiled(const QString &fileName) = 0;
  // Unsaved changes, if any, were thrown away: a new or reset layout, or the end of the run.
  virtual void LayoutDiscarded() = 0;
};

} // namespace tarnwick
