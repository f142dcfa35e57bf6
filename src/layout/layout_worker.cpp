#include "layout/layout_worker.h"

#include "board/board.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <utility>

namespace tarnwick {

// What the two threads share, kept alive by both. The circuit and options are only read by the
// searching thread; the result and error are written by it before `Done` is set and read by the
// window after.
struct LayoutWorker::Shared {
  circuit::Circuit Circuit;
  layout::LayoutOptions Options;
  std::atomic<bool> Stop{false};
  std::atomic<bool> Done{false};
  mutable std::mutex Lock; // guards Latest
  std::optional<layout::LayoutProgress> Latest;
  layout::LayoutResult Result;
  std::exception_ptr Error;
  bool Taken = false;
};

LayoutWorker::LayoutWorker(circuit::Circuit circuit, layout::LayoutOptions options)
    : shared_(std::make_shared<Shared>()) {
  shared_->Circuit = std::move(circuit);
  shared_->Options = options;
  thread_ = std::thread([s = shared_] {
    try {
      s->Result =
          layout::LayOut(s->Circuit, s->Options, &s->Stop, [s](const layout::LayoutProgress &p) {
            const std::lock_guard<std::mutex> hold(s->Lock);
            s->Latest = p;
          });
    } catch (...) {
      s->Error = std::current_exception();
    }
    s->Done.store(true, std::memory_order_release);
  });
}

LayoutWorker::~LayoutWorker() {
  Stop();
  if (!thread_.joinable())
    return;
  // A step of the search is not cut short; the window does not wait for it to end.
  if (Done())
    thread_.join();
  else
    thread_.detach();
}

void LayoutWorker::Stop() { shared_->Stop.store(true); }

bool LayoutWorker::Done() const { return shared_->Done.load(std::memory_order_acquire); }

std::optional<layout::LayoutProgress> LayoutWorker::Progress() const {
  const std::lock_guard<std::mutex> hold(shared_->Lock);
  return shared_->Latest;
}

layout::LayoutResult LayoutWorker::TakeResult() {
  if (!Done() || shared_->Taken)
    throw TarnwickError("The layout has no result to take");
  if (thread_.joinable())
    thread_.join();
  shared_->Taken = true;
  if (shared_->Error)
    std::rethrow_exception(shared_->Error);
  return std::move(shared_->Result);
}

} // namespace tarnwick
