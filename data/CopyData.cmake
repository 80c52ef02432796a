# Copies the product data folders (those that exist) into the product folder.
foreach(dir config Localize Driver)
  if(EXISTS "${SRC}/${dir}")
    file(COPY "${SRC}/${dir}" DESTINATION "${DST}")
  endif()
endforeach()
