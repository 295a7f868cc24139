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

# ---- The registry for the C++ beside the programs --------------------------
#
# dsd_write_programs_header(<programs>) writes programs.gen.h into the build
# tree (DSD_GENERATED_DIR, which the lab's and the kit's targets include):
# one line per program of <programs> (DSD_PROGRAMS, in the registry's
# order), so that lab/compare.h, lab/cases.h, the browser entries and the
# grading kit declare and list the programs without naming them:
#
#   DSD_PROGRAM(name, Name, output, input, input_file, compares, makes)
#
# name and Name (the first letter upper case, as the script's factory),
# bare words; output and input_file string literals or NULL; input 'd'
# (document), 'c' (console) or 'a' (args); compares and makes 1 where the
# program has its own comparison (lab/<name>/compare.cpp) and exercise maker
# (lab/<name>/cases.cpp), 0 where it has not. A stanza's fields are read
# as `field: '...'` (or null) within its braces. It also sets, for each
# program, DSD_<name>_OUTPUT (the literal), DSD_<name>_COMPARES and
# DSD_<name>_MAKES.
set(DSD_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
function(dsd_write_programs_header programs)
  file(READ ${DSD_REGISTRY_FILE} registry)
  string(REGEX MATCHALL "\\{[ \t]*name:[ \t]*'[a-z][a-z0-9_]*'[^}]*\\}" stanzas "${registry}")
  set(lines "")
  foreach(stanza ${stanzas})
    string(REGEX REPLACE "^\\{[ \t]*name:[ \t]*'([a-z][a-z0-9_]*)'.*" "\\1" name "${stanza}")
    if(NOT name IN_LIST programs)
      continue()
    endif()
    foreach(field output inputFile input)
      if(stanza MATCHES "[ \t\n]${field}:[ \t]*'([^']*)'")
        set(${field} "\"${CMAKE_MATCH_1}\"")
      else()
        set(${field} NULL)
      endif()
    endforeach()
    if(input STREQUAL "\"document\"")
      set(input "'d'")
    elseif(input STREQUAL "\"console\"")
      set(input "'c'")
    elseif(input STREQUAL "\"args\"")
      set(input "'a'")
    else()
      message(FATAL_ERROR "web/programs.js: ${name}'s input is 'document', 'console' or 'args'")
    endif()
    string(SUBSTRING ${name} 0 1 first)
    string(SUBSTRING ${name} 1 -1 rest)
    string(TOUPPER ${first} first)
    set(compares 0)
    set(makes 0)
    # A part added or removed later configures anew: the folders' times.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lab)
    if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/lab/${name})
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lab/${name})
    endif()
    if(EXISTS ${PROJECT_SOURCE_DIR}/lab/${name}/compare.cpp)
      set(compares 1)
    endif()
    if(EXISTS ${PROJECT_SOURCE_DIR}/lab/${name}/cases.cpp)
      set(makes 1)
    endif()
    # The same, for cmake/web.cmake's defines of lab/page.cpp.
    set(DSD_${name}_OUTPUT ${output} PARENT_SCOPE)
    set(DSD_${name}_COMPARES ${compares} PARENT_SCOPE)
    set(DSD_${name}_MAKES ${makes} PARENT_SCOPE)
    string(APPEND lines "    DSD_PROGRAM(${name}, ${first}${rest}, ${output}, ${input}, ${inputFile}, ${compares}, ${makes}) \\\n")
  endforeach()
  file(CONFIGURE OUTPUT ${DSD_GENERATED_DIR}/programs.gen.h CONTENT
"/* programs.gen.h -- the programs of web/programs.js, written by
 * cmake/registry.cmake: change the registry, not this file. Expand with
 * DSD_PROGRAM defined as the reader needs it. */
#define DSD_EACH_PROGRAM \\
@lines@    /* end */

/* DSD_WHEN_1(x) is x, DSD_WHEN_0(x) nothing; DSD_UNLESS_ the other way. */
#define DSD_WHEN_1(x) x
#define DSD_WHEN_0(x)
#define DSD_UNLESS_1(x)
#define DSD_UNLESS_0(x) x
" @ONLY)
endfunction()
