# Compile options for the project's own targets (not for third-party code built alongside).
function(drv_project_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wpedantic -Werror)
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()

# A static library of project code.
function(drv_library target)
  add_library(${target} STATIC ${ARGN})
  drv_project_options(${target})
endfunction()
