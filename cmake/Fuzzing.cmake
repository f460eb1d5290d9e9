# The fuzz preset: every library built with libFuzzer's coverage hooks, ASan and
# UBSan, so that the fuzz targets in tests/fuzz see and check the code they reach.
# Only clang has libFuzzer.
option(DAYGLASS_FUZZ "Build the fuzz targets with libFuzzer (clang only)" OFF)

if(DAYGLASS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "DAYGLASS_FUZZ needs clang: configure with the fuzz preset")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
