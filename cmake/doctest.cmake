# doctest from Debian's doctest-dev, header only. Not through find_package: in the cross build
# its package config is not found, and if forced it puts the host's /usr/include in front of
# MinGW's headers.
add_library(doctest_hdr INTERFACE)
target_include_directories(doctest_hdr SYSTEM INTERFACE /usr/include/doctest)
include(/usr/lib/cmake/doctest/doctest.cmake)
