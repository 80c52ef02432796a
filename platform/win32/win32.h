// Include order for the Win32 implementation: every platform header first, then <windows.h>.
// The platform headers declare constants with the names windows.h gives its macros, so they must be
// parsed before those macros exist. After this header, a bare name such as ERROR_SUCCESS is Windows'
// macro and win::X is the platform layer's declaration.
#pragma once

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/debug.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/gdi.h"
#include "platform/handle.h"
#include "platform/inf.h"
#include "platform/module.h"
#include "platform/newdev.h"
#include "platform/nls.h"
#include "platform/registry.h"
#include "platform/scoped.h"
#include "platform/setupapi.h"
#include "platform/types.h"
#include "platform/version.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace win32 {

template <class To, class From>
inline To As(From value) {
  return reinterpret_cast<To>(value);
}

}  // namespace win32
