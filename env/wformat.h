// Windows-style wide printf formatting, the same on every platform.
#pragma once

#include <cstdarg>
#include <cstddef>

/// Formats `format` with `args` the way the Windows C runtime's wide printf does: %s and %c take wide
/// text, %hs / %S and %hc / %C narrow text, %ls / %ws wide; %d %i %u %x %X %o %p %e %f %g with the
/// usual flags, width, precision and the h, l, ll, I32, I64 and I size prefixes; %% a percent sign.
/// A null string prints as "(null)". Writes at most `capacity` - 1 characters and always a
/// terminating zero (when `capacity` > 0). Returns the count written, or -1 when the text was cut.
int FormatWide(wchar_t* buffer, std::size_t capacity, const wchar_t* format, va_list args);
