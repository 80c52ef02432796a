// ScopedGeneric: the one owner of an acquired platform resource, with traits per handle kind.
#pragma once

#include <utility>

#include "platform/error.h"

namespace win {

// Traits give: `using Handle = ...;`, `static Handle InvalidValue();`, `static void Free(Handle);`.
// Freeing keeps the thread's last error as it was, so an owner that ends on an error path does not
// hide the error its caller is about to read.
template <class Traits>
class ScopedGeneric {
 public:
  using Handle = typename Traits::Handle;

  ScopedGeneric() : m_handle(Traits::InvalidValue()) {}
  explicit ScopedGeneric(Handle handle) : m_handle(handle) {}
  ScopedGeneric(ScopedGeneric&& other) noexcept : m_handle(other.release()) {}
  ScopedGeneric& operator=(ScopedGeneric&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedGeneric(const ScopedGeneric&) = delete;
  ScopedGeneric& operator=(const ScopedGeneric&) = delete;
  ~ScopedGeneric() { reset(); }

  /// Frees the held handle (if valid) and holds `handle` instead.
  void reset(Handle handle = Traits::InvalidValue()) {
    if (is_valid()) {
      const DWORD lastError = GetLastError();
      Traits::Free(m_handle);
      SetLastError(lastError);
    }
    m_handle = handle;
  }

  /// Gives up ownership without freeing.
  Handle release() { return std::exchange(m_handle, Traits::InvalidValue()); }

  Handle get() const { return m_handle; }
  bool is_valid() const { return m_handle != Traits::InvalidValue(); }
  explicit operator bool() const { return is_valid(); }

 private:
  Handle m_handle;
};

}  // namespace win
