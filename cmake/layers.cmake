# The source folders form one chain, bottom to top. Each folder is a static library that sees the
# headers of its own folder and of the folders below it, and no others, so an include against the
# chain does not compile. Headers are named with their folder ("list/install_context.h"): every
# library gets a folder of links to just the source folders it may use. A relative include
# ("../app/...") would slip past that, so the build refuses those before it compiles anything.
set(QV_LAYERS support list ui files package install uninstall app)
set(QV_SEES_support support)
set(QV_SEES_list support list res)
set(QV_SEES_ui support list ui res)
set(QV_SEES_files support list ui files res)
set(QV_SEES_package support list files ui package res)
set(QV_SEES_install support list files ui package install res)
set(QV_SEES_uninstall support list files ui package uninstall res)
set(QV_SEES_app support list files ui package install uninstall app res)

# Sources that need no Windows: the text type and its helpers, and every text the program
# composes (paths, commands, dialog and message texts, the batch script), and the decoders of a
# packed program's compressed data. They build natively too and are tested there under the
# sanitizers.
set(QV_PORTABLE_PATTERN "(_texts|_rules|_script|_decoder)\\.cpp$|/text_helpers\\.cpp$|/path_buffer\\.cpp$|/install_context\\.cpp$")

# A folder of links named after the folders given, for an include path that shows only them.
function(qv_view name)
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${ARGN})
    if(folder STREQUAL "res")
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/res ${view}/res SYMBOLIC)
    else()
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
endfunction()

add_custom_target(qv_include_check
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src -P ${PROJECT_SOURCE_DIR}/cmake/check-includes.cmake
  COMMENT "Checking that no source includes by relative path")

# One library per folder, qv_<folder>, from its portable sources only or from all of them;
# options are the compile options. src/app/main.cpp and src/app/program_entry.cpp are the
# program's entry, not part of a library.
function(qv_add_layers portableOnly)
  set(below "")
  foreach(layer ${QV_LAYERS})
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/app/(main|program_entry)\\.cpp$")
    if(portableOnly)
      list(FILTER sources INCLUDE REGEX "${QV_PORTABLE_PATTERN}")
    endif()
    add_library(qv_${layer} STATIC ${sources})
    add_dependencies(qv_${layer} qv_include_check)
    target_compile_options(qv_${layer} PRIVATE ${ARGN})
    qv_view(${layer} ${QV_SEES_${layer}})
    target_include_directories(qv_${layer} PRIVATE ${CMAKE_BINARY_DIR}/layers/${layer})
    foreach(lower ${QV_SEES_${layer}})
      if(NOT lower STREQUAL layer AND NOT lower STREQUAL "res")
        target_link_libraries(qv_${layer} PUBLIC qv_${lower})
      endif()
    endforeach()
  endforeach()
  # Tests see every folder.
  qv_view(tests ${QV_SEES_app})
endfunction()
