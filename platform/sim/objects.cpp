// The simulated machine's handle table.
#include "platform/sim/objects.h"

namespace sim {

win::HANDLE HandleTable::Add(std::shared_ptr<Object> object) {
  std::lock_guard<std::mutex> guard(m_lock);
  const std::uintptr_t value = m_next;
  m_next += 4;  // handle values are multiples of four, as Windows hands them out
  m_objects[value] = std::move(object);
  return reinterpret_cast<win::HANDLE>(value);
}

std::shared_ptr<Object> HandleTable::Lookup(win::HANDLE handle) const {
  std::lock_guard<std::mutex> guard(m_lock);
  auto it = m_objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == m_objects.end() ? nullptr : it->second;
}

bool HandleTable::Close(win::HANDLE handle) {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_objects.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
}

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

}  // namespace sim
