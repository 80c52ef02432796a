# Compile options for the project's own targets (not for third-party code built alongside).
function(drv_project_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wpedantic -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports impossible overlaps in inlined std::basic_string code at -O2 and above (GCC bug 105329).
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()

# A static library of project code.
function(drv_library target)
  add_library(${target} STATIC ${ARGN})
  drv_project_options(${target})
endfunction()
