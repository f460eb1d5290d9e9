# Every layer publishes its own headers and no others, under its folder's name
# (<listview/DGLEventTable.h>): a folder of the build tree holds nothing but a
# link to the layer's sources, and the layer's target puts that folder on the
# include path of whoever links it. An include of a layer that the target does
# not link then fails to build. scripts/check-layers says which layer may link
# which.
function(dayglass_publish_headers target)
  get_filename_component(layer ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(folder ${CMAKE_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${folder})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${folder}/${layer} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${folder})
  else()
    target_include_directories(${target} PUBLIC ${folder})
  endif()
endfunction()
