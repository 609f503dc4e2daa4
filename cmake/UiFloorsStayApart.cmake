# The screens stand on the shared floors (session, widgets, web) and are
# tied together only from ui/startup. Refuse to configure when an include
# reaches upward: a widget that knows a screen, or a screen that knows the
# start-up, would tangle what can be built and tested alone.
set(_tovalo_ui_screens course exam styles answer results online)

function(_tovalo_refuse_includes folder pattern what)
  file(GLOB_RECURSE sources ${CMAKE_SOURCE_DIR}/src/ui/${folder}/*.cpp
                            ${CMAKE_SOURCE_DIR}/src/ui/${folder}/*.h)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} hits REGEX "^#include \"ui/(${pattern})/")
    if(hits)
      file(RELATIVE_PATH name ${CMAKE_SOURCE_DIR} ${source})
      message(FATAL_ERROR "${name} includes ${what}: ${hits}")
    endif()
  endforeach()
endfunction()

list(JOIN _tovalo_ui_screens "|" _tovalo_screen_pattern)
foreach(floor session widgets web)
  _tovalo_refuse_includes(${floor} "startup|${_tovalo_screen_pattern}" "a screen or the start-up")
endforeach()
foreach(screen IN LISTS _tovalo_ui_screens)
  _tovalo_refuse_includes(${screen} "startup" "the start-up")
endforeach()
