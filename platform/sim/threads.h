// Simulated machine: the objects a thread can wait for, and the scheduler that runs one simulated
// thread at a time (docs/simulated-machine.md, "Threads and windows").
#pragma once

#include <memory>

#include "platform/sim/objects.h"
#include "platform/types.h"

namespace sim {

/// An object a thread can wait for. Its state is read and changed only under the scheduler's lock.
struct Waitable : Object {
  virtual bool IsSignalled() const = 0;
  /// A waiter was released by the signal (an auto-reset event resets itself).
  virtual void Acquired() {}
};

struct EventObject : Waitable {
  EventObject(bool manual, bool initial) : manualReset(manual), state(initial) {}
  bool IsSignalled() const override { return state; }
  void Acquired() override {
    if (!manualReset) state = false;
  }
  bool manualReset;
  bool state;
};

/// Blocks the calling thread until `object` is signalled or `milliseconds` of machine time passed
/// (INFINITE: no limit; null object: only the time). Other simulated threads run meanwhile; the
/// clock moves only when every simulated thread waits. Returns true when the object released it.
/// The caller must not hold the machine's lock.
bool WaitFor(const std::shared_ptr<Waitable>& object, win::DWORD milliseconds);

/// Sets or resets an event and releases the waiters a set event lets go. Does not block.
void SetEventState(const std::shared_ptr<EventObject>& event, bool state);

}  // namespace sim
