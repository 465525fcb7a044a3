# Cross build: Setup.exe, the Windows unit tests and the end-to-end tests, run under Wine.
enable_language(RC)
add_compile_definitions(NOMINMAX _WIN32_WINNT=0x0602 WINVER=0x0602)

qv_add_layers(FALSE ${QV_PRODUCT_FLAGS})
target_link_libraries(qv_support PUBLIC user32 gdi32 advapi32 shell32 ole32)

# The resource script for both the program and the tests that open its dialogs. windres writes
# no dependency file, so the files the script pulls in are named here.
set(QV_RESOURCES ${PROJECT_SOURCE_DIR}/res/setup.rc)
set_source_files_properties(${QV_RESOURCES} PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/res/setup.ico;${PROJECT_SOURCE_DIR}/res/setup.manifest;${PROJECT_SOURCE_DIR}/res/resource.h;${PROJECT_SOURCE_DIR}/res/version.h")

add_executable(Setup WIN32 src/app/main.cpp src/app/program_entry.cpp ${QV_RESOURCES})
target_compile_options(Setup PRIVATE ${QV_PRODUCT_FLAGS})
target_include_directories(Setup PRIVATE ${CMAKE_BINARY_DIR}/layers/app)
target_link_libraries(Setup PRIVATE qv_app)
# Its own entry instead of the C run-time's start-up code (src/app/program_entry.cpp says why it needs
# none): about 10 KB of code, tables and imports less. No auto-import: data imported from a DLL
# would need that start-up code's run-time relocation, so the link refuses it. The product's
# options again, for the link-time optimisation, and memcpy and memset named before it
# (CMakeLists.txt says why).
target_link_options(Setup PRIVATE ${QV_PRODUCT_FLAGS} -s -Wl,--gc-sections -nostartfiles -Wl,--entry=ProgramEntry
                    -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc
                    -Wl,--undefined=memcpy -Wl,--undefined=memset)

# Finds a window of a program under Wine and prints where it is: tools/screens crops its
# screenshots with it.
add_executable(winfind WIN32 tools/winfind.cpp)

add_subdirectory(tests/win)
add_subdirectory(tests/e2e)
