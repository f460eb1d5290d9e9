# Brings the build tree's sample device up to date with examples/device.
#   cmake -DSOURCE=<examples/device> -DDEVICE=<build>/device -DMANIFEST=<file> -P InstallDevice.cmake
#
# The device is also the user's playground (`dayglass prefs set …` writes into it),
# so a file is only replaced while it still holds what the build put there:
#   - missing from the device: copied;
#   - unchanged since the build installed it, and its example has changed: copied again;
#   - changed in the device since (by the user): kept, and the build says so.
# Delete a file, or the whole device folder, to get the example back.
# MANIFEST records the hash of each file as installed.
cmake_minimum_required(VERSION 3.25)
cmake_policy(SET CMP0009 NEW)

if(EXISTS ${MANIFEST})
  include(${MANIFEST})
endif()
set(manifest "")

file(GLOB_RECURSE entries RELATIVE ${SOURCE} LIST_DIRECTORIES false ${SOURCE}/*)
list(SORT entries)
foreach(entry IN LISTS entries)
  set(source ${SOURCE}/${entry})
  set(target ${DEVICE}/${entry})
  if(IS_SYMLINK ${source})
    # "var" → "private/var", as on the phone.
    if(NOT EXISTS ${target} AND NOT IS_SYMLINK ${target})
      file(READ_SYMLINK ${source} link)
      get_filename_component(folder ${target} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${link} ${target} SYMBOLIC)
    endif()
    continue()
  endif()

  file(SHA256 ${source} sourceHash)
  set(installedHash "${installed_${entry}}")
  if(NOT EXISTS ${target})
    set(copy TRUE)
  else()
    file(SHA256 ${target} targetHash)
    if(targetHash STREQUAL sourceHash)
      set(copy FALSE)
    elseif(targetHash STREQUAL installedHash)
      set(copy TRUE)
    else()
      message(STATUS "Sample device: keeping your changed ${entry}")
      set(copy FALSE)
      set(sourceHash ${installedHash})
    endif()
  endif()
  if(copy)
    get_filename_component(folder ${target} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${source} ${target})
  endif()
  string(APPEND manifest "set(\"installed_${entry}\" \"${sourceHash}\")\n")
endforeach()

file(WRITE ${MANIFEST} "${manifest}")
