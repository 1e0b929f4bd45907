# One static library per layer. A layer lists its own sources and headers and the
# layers it may use; every quoted include of its files must name one of its own
# headers or a header of a layer below, and the check runs before the layer compiles,
# so an upward include fails the build instead of quietly growing a cycle.

set(FK_LAYER_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_includes.cmake)

# fk_layer_check(NAME FILES... ALLOWED... [QT]) checks FILES against ALLOWED headers.
function(fk_layer_check name)
  cmake_parse_arguments(ARG "QT" "" "FILES;ALLOWED" ${ARGN})
  set(list_file ${CMAKE_BINARY_DIR}/layers/${name}.cmake)
  set(content "set(FK_FILES \"${ARG_FILES}\")\nset(FK_ALLOWED \"${ARG_ALLOWED}\")\nset(FK_QT ${ARG_QT})\n")
  file(GENERATE OUTPUT ${list_file} CONTENT "${content}")
  set(stamp ${CMAKE_BINARY_DIR}/layers/${name}.checked)
  set(absolute "")
  foreach(f ${ARG_FILES})
    list(APPEND absolute ${CMAKE_SOURCE_DIR}/${f})
  endforeach()
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFK_LIST=${list_file} -DFK_ROOT=${CMAKE_SOURCE_DIR}
            -DFK_LAYER=${name} -P ${FK_LAYER_CHECK_SCRIPT}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${absolute} ${list_file} ${FK_LAYER_CHECK_SCRIPT}
    COMMENT "Checking the includes of ${name}")
  add_custom_target(${name}_includes DEPENDS ${stamp})
endfunction()

# fk_layer(NAME SOURCES... HEADERS... [USES layers...] [LIBS libs...] [QT])
function(fk_layer name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;HEADERS;USES;LIBS" ${ARGN})
  set(allowed ${ARG_HEADERS})
  foreach(dep ${ARG_USES})
    get_property(dep_allowed GLOBAL PROPERTY FK_ALLOWED_${dep})
    list(APPEND allowed ${dep_allowed})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY FK_ALLOWED_${name} ${allowed})

  set(files ${ARG_SOURCES} ${ARG_HEADERS})
  list(TRANSFORM files PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE paths)
  add_library(${name} STATIC ${paths})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${FK_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_USES} ${ARG_LIBS})
  if(ARG_QT)
    fk_layer_check(${name} FILES ${files} ALLOWED ${allowed} QT)
  else()
    fk_layer_check(${name} FILES ${files} ALLOWED ${allowed})
  endif()
  add_dependencies(${name} ${name}_includes)
endfunction()

# Headers every layer below `layer` and `layer` itself offer, for programs and tests
# that sit on top of it.
function(fk_allowed_headers out)
  set(all "")
  foreach(layer ${ARGN})
    get_property(a GLOBAL PROPERTY FK_ALLOWED_${layer})
    list(APPEND all ${a})
  endforeach()
  list(REMOVE_DUPLICATES all)
  set(${out} ${all} PARENT_SCOPE)
endfunction()
