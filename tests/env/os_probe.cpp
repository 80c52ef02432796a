// Prints and checks what the Win32 layer answers for the Windows generation and architecture.
//   os_probe EXPECTED_CODE EXPECTED_64 -> exit 0 when both match, 1 otherwise.
#include <cstdio>
#include <cstdlib>

#include "env/os_version.h"

int main(int argc, char** argv) {
  const int code = GetOsVersionCode();
  const bool is64 = Is64BitWindows();
  const bool again = Is64BitWindows();
  std::printf("GetOsVersionCode=%d Is64BitWindows=%d\n", code, is64 ? 1 : 0);
  if (argc != 3) return 2;
  const bool ok = code == std::atoi(argv[1]) && is64 == (std::atoi(argv[2]) != 0) && again == is64;
  std::printf("%s\n", ok ? "as expected" : "NOT as expected");
  return ok ? 0 : 1;
}
