// Basic Windows data types and calling convention as the platform layer passes them.
#pragma once

#include <cstddef>
#include <cstdint>

// Calling convention of Win32 exports and callbacks: stdcall on 32-bit Windows, nothing elsewhere.
#if defined(_WIN32) && defined(__i386__)
#define WINCALL __attribute__((__stdcall__))
#else
#define WINCALL
#endif

namespace win {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using WCHAR = wchar_t;  // one UTF-16 code unit per element on every platform
using DWORD_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPSTR = char*;
using LPCSTR = const char*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline constexpr DWORD MAX_PATH = 260;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// Opaque handle kinds. Their values are only compared, stored and passed back.
using HANDLE = void*;
struct HMODULE__;
using HMODULE = HMODULE__*;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// A procedure looked up by name; cast it to the real signature before calling.
using FARPROC = void (*)();

}  // namespace win
