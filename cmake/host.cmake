# Native build: the portable sources and their tests, under AddressSanitizer and UBSan.
set(QV_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

qv_add_layers(TRUE ${QV_SANITIZERS} -g)
target_link_options(qv_support INTERFACE ${QV_SANITIZERS})

add_subdirectory(tests/host)
