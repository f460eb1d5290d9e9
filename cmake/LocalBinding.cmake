# For the shared libraries (the platform, the host, the extension): calls from a
# library to its own functions go straight to them instead of through the dynamic
# loader, which then has several hundred fewer symbols to look up when a process
# starts. Exported symbols stay exported, and data (class objects, type info,
# function-local statics) still binds process-wide, so every library keeps
# sharing the one runtime.
add_library(dayglass_local_binding INTERFACE)
target_compile_options(dayglass_local_binding INTERFACE -fno-semantic-interposition)
target_link_options(dayglass_local_binding INTERFACE -Wl,-Bsymbolic-functions)
