cmake_policy(SET CMP0007 NEW)

# Copies the product data folders (those that exist) into the product folder, and makes the driver
# tree: one folder per Windows generation and architecture, each with the modem and the port package
# written for the platform decorations that generation reads.
foreach(dir config Localize)
  if(EXISTS "${SRC}/${dir}")
    file(COPY "${SRC}/${dir}" DESTINATION "${DST}")
  endif()
endforeach()

# folder | models-section decoration ("" for Windows 2000, which reads no decorations)
set(tree
  "Win2K|"
  "WinXP|NTx86"
  "WinXP-AMD64|NTamd64"
  "Vista/X86|NTx86"
  "Vista/AMD64|NTamd64"
  "Win7/Win32|NTx86"
  "Win7/Win64|NTamd64")
foreach(row IN LISTS tree)
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 folder)
  list(LENGTH row n)
  set(decoration "")
  if(n GREATER 1)
    list(GET row 1 decoration)
  endif()
  if(decoration STREQUAL "")
    set(DECORATION "")
    set(DECORATION_LIST "")
  else()
    set(DECORATION ".${decoration}")
    set(DECORATION_LIST ",${decoration}")
  endif()
  foreach(package DrvsetupModem DrvsetupPort)
    configure_file("${SRC}/packages/${package}.inf.in" "${DST}/Driver/${folder}/${package}.inf" @ONLY NEWLINE_STYLE CRLF)
  endforeach()
endforeach()
