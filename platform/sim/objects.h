// Kernel objects of the simulated machine and the checked handle table that hands them out.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/types.h"

namespace sim {

struct Object {
  virtual ~Object() = default;
};

/// Process-wide table of open handles. A handle value that the table did not hand out, or that was
/// closed, is refused (the caller fails with ERROR_INVALID_HANDLE), as Windows refuses it.
class HandleTable {
 public:
  win::HANDLE Add(std::shared_ptr<Object> object);

  template <class T>
  std::shared_ptr<T> Get(win::HANDLE handle) const {
    return std::dynamic_pointer_cast<T>(Lookup(handle));
  }

  /// Removes the handle; false when it is not open.
  bool Close(win::HANDLE handle);

  /// Whether the handle is open and refers to an object of type T.
  template <class T>
  bool Holds(win::HANDLE handle) const {
    return Get<T>(handle) != nullptr;
  }

 private:
  std::shared_ptr<Object> Lookup(win::HANDLE handle) const;

  mutable std::mutex m_lock;
  std::map<std::uintptr_t, std::shared_ptr<Object>> m_objects;
  std::uintptr_t m_next = 0x1000;
};

HandleTable& Handles();

/// Sets the thread's last error and returns `result`, for the failure paths of the Win32 functions.
template <class R>
R Fail(win::DWORD error, R result);

}  // namespace sim

#include "platform/error.h"

namespace sim {
template <class R>
R Fail(win::DWORD error, R result) {
  win::SetLastError(error);
  return result;
}
}  // namespace sim
