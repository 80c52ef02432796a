// Simulated machine: threads, events, waiting and sleeping. One simulated thread runs at a time: it
// holds the baton until it waits (Sleep, WaitForSingleObject, a system window it waits for) or
// ends; then the thread that became ready first runs, and when every thread waits the clock moves
// to the earliest wake-up. So a scenario with several threads comes out the same on every run.
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/module.h"
#include "platform/sim/machine.h"
#include "platform/sim/threads.h"
#include "platform/sync.h"
#include "platform/thread.h"

namespace sim {

namespace {

// Thrown by FreeLibraryAndExitThread; the thread's start frame catches it after the library's own
// frames are gone, and only then gives the library up.
struct ThreadExit {
  win::HMODULE module;
  win::DWORD code;
};

struct ThreadObject : Waitable {
  bool IsSignalled() const override { return ended; }

  win::DWORD id = 0;
  int priority = win::THREAD_PRIORITY_NORMAL;
  bool ended = false;
  win::DWORD exitCode = win::STILL_ACTIVE;
  // Scheduling state, under the scheduler's lock.
  bool registered = false;               // takes part in the baton
  std::shared_ptr<Waitable> waitingFor;  // while it waits for an object
  bool timed = false;                    // its wait has a limit, at `deadline` (machine milliseconds)
  std::uint64_t deadline = 0;
  bool released = false;  // the object ended its last wait
};

struct Scheduler {
  std::mutex lock;
  std::condition_variable turn;
  ThreadObject* running = nullptr;                     // the thread holding the baton
  std::deque<std::shared_ptr<ThreadObject>> ready;     // in the order they became ready
  std::vector<std::shared_ptr<ThreadObject>> waiting;  // in the order they began to wait
  win::DWORD nextId = 0x100;
  bool frozen = false;  // the process is ending: nothing more is scheduled
};

// Never destroyed: threads that were never stopped may still wait in it while the process ends.
Scheduler& Sched() {
  static Scheduler* scheduler = new Scheduler;
  return *scheduler;
}

bool IsMainThread() {
  return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

void Finish(const std::shared_ptr<ThreadObject>& self, win::DWORD code);

// The calling host thread's thread object, made on first use. A host thread that was not made by
// CreateThread (the program's main thread, a thread a library starts by itself) joins the baton
// at its first wait or CreateThread call, and leaves it when it ends.
struct SelfSlot {
  std::shared_ptr<ThreadObject> self;
  ~SelfSlot() {
    if (!self || self->ended) return;
    if (IsMainThread()) {
      // The process is ending: threads that still wait must not run while it tears down.
      std::lock_guard<std::mutex> guard(Sched().lock);
      Sched().frozen = true;
      return;
    }
    Finish(self, 0);
  }
};
thread_local SelfSlot t_self;

std::shared_ptr<ThreadObject> Self() {
  if (!t_self.self) {
    auto t = std::make_shared<ThreadObject>();
    std::lock_guard<std::mutex> guard(Sched().lock);
    t->id = Sched().nextId += 4;
    t_self.self = t;
  }
  return t_self.self;
}

void AwaitTurn(std::unique_lock<std::mutex>& lock, ThreadObject* self) {
  Sched().turn.wait(lock, [&] { return Sched().running == self; });
}

// Makes the calling thread a member of the baton; it returns holding the baton.
void Enter(std::unique_lock<std::mutex>& lock, const std::shared_ptr<ThreadObject>& self) {
  Scheduler& s = Sched();
  if (self->registered) return;
  self->registered = true;
  if (!s.running && !s.frozen) {
    s.running = self.get();
    return;
  }
  s.ready.push_back(self);
  AwaitTurn(lock, self.get());
}

// Machine time moves to `deadline`: at once on the virtual clock, by sleeping on the real one.
void AdvanceTo(std::uint64_t deadline) {
  Machine& m = Current();
  const std::uint64_t now = m.Elapsed();
  if (deadline <= now) return;
  if (m.Desc().clock.virtualTime) {
    m.Advance(static_cast<win::DWORD>(deadline - now));
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(deadline - now));
  }
}

// The baton holder gives the baton up (it waits or ends): the first ready thread gets it, or, when
// every thread waits, the clock moves to the earliest limit and that thread's wait times out.
void PassOn() {
  Scheduler& s = Sched();
  s.running = nullptr;
  if (s.frozen) return;
  if (!s.ready.empty()) {
    s.running = s.ready.front().get();
    s.ready.pop_front();
    s.turn.notify_all();
    return;
  }
  auto next = s.waiting.end();
  for (auto it = s.waiting.begin(); it != s.waiting.end(); ++it) {
    if ((*it)->timed && (next == s.waiting.end() || (*it)->deadline < (*next)->deadline)) next = it;
  }
  if (next == s.waiting.end()) {
    if (s.waiting.empty()) return;
    // On Windows the process would hang here for ever; a simulation says so and ends.
    std::fprintf(stderr,
                 "simulated machine: every thread waits without a time limit for something no thread will do\n");
    std::fflush(stderr);
    std::abort();
  }
  std::shared_ptr<ThreadObject> t = *next;
  s.waiting.erase(next);
  AdvanceTo(t->deadline);
  t->waitingFor.reset();
  t->released = false;
  s.running = t.get();
  s.turn.notify_all();
}

// Lets go the waiters of `object` that its signal releases, in the order they began to wait.
void ReleaseWaiters(Waitable* object) {
  Scheduler& s = Sched();
  for (auto it = s.waiting.begin(); it != s.waiting.end() && object->IsSignalled();) {
    if ((*it)->waitingFor.get() != object) {
      ++it;
      continue;
    }
    object->Acquired();
    (*it)->waitingFor.reset();
    (*it)->released = true;
    s.ready.push_back(*it);
    it = s.waiting.erase(it);
  }
}

void Finish(const std::shared_ptr<ThreadObject>& self, win::DWORD code) {
  std::lock_guard<std::mutex> guard(Sched().lock);
  self->ended = true;
  self->exitCode = code;
  ReleaseWaiters(self.get());
  if (Sched().running == self.get()) PassOn();
}

void RunThread(const std::shared_ptr<ThreadObject>& self, win::LPTHREAD_START_ROUTINE start, win::LPVOID parameter) {
  t_self.self = self;
  {
    std::unique_lock<std::mutex> lock(Sched().lock);
    AwaitTurn(lock, self.get());
  }
  win::DWORD code = 0;
  win::HMODULE release = nullptr;
  try {
    code = start(parameter);
  } catch (const ThreadExit& exit) {
    code = exit.code;
    release = exit.module;
  }
  if (release) win::FreeLibrary(release);
  Finish(self, code);
}

const win::HANDLE kCurrentThread = reinterpret_cast<win::HANDLE>(static_cast<std::intptr_t>(-2));

std::shared_ptr<ThreadObject> ThreadOf(win::HANDLE handle) {
  if (handle == kCurrentThread) return Self();
  return Handles().Get<ThreadObject>(handle);
}

}  // namespace

bool WaitFor(const std::shared_ptr<Waitable>& object, win::DWORD milliseconds) {
  const std::shared_ptr<ThreadObject> self = Self();
  Scheduler& s = Sched();
  std::unique_lock<std::mutex> lock(s.lock);
  Enter(lock, self);
  if (object && object->IsSignalled()) {
    object->Acquired();
    return true;
  }
  if (milliseconds == 0) {
    if (!object && !s.ready.empty()) {  // Sleep(0): the ready threads run first
      s.ready.push_back(self);
      PassOn();
      AwaitTurn(lock, self.get());
    }
    return false;
  }
  self->waitingFor = object;
  self->timed = milliseconds != win::INFINITE;
  self->deadline = Current().Elapsed() + milliseconds;
  self->released = false;
  s.waiting.push_back(self);
  PassOn();
  AwaitTurn(lock, self.get());
  return self->released;
}

void SetEventState(const std::shared_ptr<EventObject>& event, bool state) {
  std::lock_guard<std::mutex> guard(Sched().lock);
  event->state = state;
  if (state) ReleaseWaiters(event.get());
}

}  // namespace sim

namespace win {

HANDLE CreateThread(void* security, std::size_t /*stackSize*/, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, DWORD* threadId) {
  if (security || !start || flags != 0) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HANDLE>(nullptr));
  const auto self = sim::Self();
  auto thread = std::make_shared<sim::ThreadObject>();
  sim::Scheduler& s = sim::Sched();
  {
    // The creator holds the baton and runs on; the new thread waits for its turn.
    std::unique_lock<std::mutex> lock(s.lock);
    sim::Enter(lock, self);
    thread->id = s.nextId += 4;
    thread->registered = true;
    s.ready.push_back(thread);
  }
  try {
    std::thread([thread, start, parameter] { sim::RunThread(thread, start, parameter); }).detach();
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> guard(s.lock);
    std::erase(s.ready, thread);
    return sim::Fail(ERROR_NOT_ENOUGH_MEMORY, static_cast<HANDLE>(nullptr));
  }
  if (threadId) *threadId = thread->id;
  return sim::Handles().Add(thread);
}

HANDLE GetCurrentThread() {
  return sim::kCurrentThread;
}

DWORD GetCurrentThreadId() {
  return sim::Self()->id;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  const auto t = sim::ThreadOf(thread);
  if (!t) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
      break;
    default:
      return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  std::lock_guard<std::mutex> guard(sim::Sched().lock);
  t->priority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  const auto t = sim::ThreadOf(thread);
  if (!t) return sim::Fail(ERROR_INVALID_HANDLE, THREAD_PRIORITY_ERROR_RETURN);
  std::lock_guard<std::mutex> guard(sim::Sched().lock);
  return t->priority;
}

void FreeLibraryAndExitThread(HMODULE module, DWORD exitCode) {
  throw sim::ThreadExit{module, exitCode};
}

HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  if (security || name) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HANDLE>(nullptr));
  return sim::Handles().Add(std::make_shared<sim::EventObject>(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
  const auto e = sim::Handles().Get<sim::EventObject>(event);
  if (!e) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  sim::SetEventState(e, true);
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  const auto e = sim::Handles().Get<sim::EventObject>(event);
  if (!e) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  sim::SetEventState(e, false);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  std::shared_ptr<sim::Waitable> waitable =
      object == sim::kCurrentThread ? sim::Self() : sim::Handles().Get<sim::Waitable>(object);
  if (!waitable) return sim::Fail(ERROR_INVALID_HANDLE, WAIT_FAILED);
  return sim::WaitFor(waitable, milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

}  // namespace win
