# Fails when LIBRARY exports a symbol whose demangled name matches FORBIDDEN (a
# regular expression), and lists them. NM is the toolchain's nm.
#   cmake -DNM=nm -DLIBRARY=libx.so -DFORBIDDEN=ns:: -P CheckExports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${NM} --dynamic --defined-only --demangle ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} cannot read ${LIBRARY}")
endif()
string(REPLACE "\n" ";" symbols "${symbols}")
list(FILTER symbols INCLUDE REGEX "${FORBIDDEN}")
list(LENGTH symbols count)
if(count GREATER 0)
  list(JOIN symbols "\n" listed)
  message(FATAL_ERROR "${LIBRARY} exports ${count} symbols it keeps to itself (${FORBIDDEN}):\n${listed}")
endif()
