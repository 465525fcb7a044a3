# Fails when a source includes a header by a relative path: headers are named with their folder,
# so that each folder's include path decides which folders it may use.
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(bad "")
foreach(source ${sources})
  file(STRINGS ${source} lines REGEX "^#include \"[^\"]*\\.\\.")
  foreach(line ${lines})
    file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
    string(APPEND bad "\n  src/${name}: ${line}")
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Include headers by folder (\"list/install_context.h\"), not by relative path:${bad}")
endif()
