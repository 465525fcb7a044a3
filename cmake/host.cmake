# Native build: the portable sources and their tests, under AddressSanitizer and UBSan.
set(QV_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(quorvane_portable STATIC ${QV_PORTABLE_SOURCES})
target_compile_options(quorvane_portable PRIVATE ${QV_SANITIZERS} -g)
target_include_directories(quorvane_portable PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_options(quorvane_portable INTERFACE ${QV_SANITIZERS})

add_subdirectory(tests/host)
