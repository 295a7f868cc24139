# The programs, read from the page's registry (web/programs.js), so that a
# program is named there once and the build follows it.
#
# Each stanza of the registry opens with its name on a line of its own
# pattern, `{ name: '<name>',`; that line is all this file reads. The
# registry's order is the tabs' order, which the build does not need.
set(DSD_REGISTRY_FILE ${PROJECT_SOURCE_DIR}/web/programs.js)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DSD_REGISTRY_FILE})
file(STRINGS ${DSD_REGISTRY_FILE} stanzas REGEX "^[ \t]*\\{[ \t]*name:[ \t]*'[a-z][a-z0-9_]*'")
set(DSD_REGISTRY "")
foreach(stanza ${stanzas})
  string(REGEX REPLACE "^[ \t]*\\{[ \t]*name:[ \t]*'([a-z][a-z0-9_]*)'.*" "\\1" name "${stanza}")
  list(APPEND DSD_REGISTRY ${name})
endforeach()
if(NOT DSD_REGISTRY)
  message(FATAL_ERROR "web/programs.js names no program (a stanza opens with { name: '<name>', ...)")
endif()
