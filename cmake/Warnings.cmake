# Warnings for the project's own targets; the sanitizers for the asan preset.
add_library(dayglass_options INTERFACE)
target_compile_options(dayglass_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                  -Wno-missing-field-initializers)
if(DAYGLASS_WERROR)
  target_compile_options(dayglass_options INTERFACE -Werror)
endif()

if(DAYGLASS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
