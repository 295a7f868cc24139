# Installation and packages (./scripts/package.sh builds both archives),
# included by the top-level CMakeLists.txt.
#
# Linux: the programs and the grading kit in <prefix>/bin, the Chinese
# guide, README.md (with its pages under docs/) and the examples in
# <prefix>/share/doc/dsdemos; the tar.gz adds a README at its
# top that says where they are. Windows: one folder holding the programs
# and the grading kit,
# the examples, a demo-<program>.bat per program and the guide as
# README.txt, all text with CRLF line ends. Both carry the browser edition
# when it has been built. CPack archives that tree as
# dsdemos-<version>-<system>.tar.gz or .zip.
set(DSD_GUIDE ${PROJECT_SOURCE_DIR}/docs/guide-zh.md)

# dsd_windows_text(source output [BOM]): writes source to output with CRLF
# line ends (and a UTF-8 byte order mark with BOM), as cmd and Notepad read
# text best; done again whenever source changes.
function(dsd_windows_text source output)
  cmake_parse_arguments(ARG "BOM" "" "" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  set(bom "")
  if(ARG_BOM)
    string(ASCII 239 187 191 bom)
  endif()
  file(WRITE ${output} "${bom}${text}")
endfunction()

if(WIN32)
  install(TARGETS ${DSD_PROGRAMS} RUNTIME DESTINATION .)
  if(TARGET grader)
    install(TARGETS grader RUNTIME DESTINATION .)
  endif()
  # CRLF line ends, so that Notepad before Windows 10 1809 shows the examples
  # as lines; the programs read both. Written afresh, so that an example
  # removed from the sources leaves no copy behind.
  file(REMOVE_RECURSE ${PROJECT_BINARY_DIR}/windows/examples)
  file(GLOB_RECURSE examples RELATIVE ${PROJECT_SOURCE_DIR}/examples CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/examples/*)
  foreach(example ${examples})
    dsd_windows_text(${PROJECT_SOURCE_DIR}/examples/${example}
                     ${PROJECT_BINARY_DIR}/windows/examples/${example})
  endforeach()
  install(DIRECTORY ${PROJECT_BINARY_DIR}/windows/examples/ DESTINATION examples)
  # A program's demo, where it has one (scripts/windows/demo-<program>.bat).
  foreach(program ${DSD_PROGRAMS})
    set(demo ${PROJECT_SOURCE_DIR}/scripts/windows/demo-${program}.bat)
    if(EXISTS ${demo})
      dsd_windows_text(${demo} ${PROJECT_BINARY_DIR}/windows/demo-${program}.bat)
      install(PROGRAMS ${PROJECT_BINARY_DIR}/windows/demo-${program}.bat DESTINATION .)
    endif()
  endforeach()
  # UTF-8 with a byte order mark: Notepad shows it right on every Windows,
  # whatever the system's code page, and no character of the guide is lost.
  dsd_windows_text(${DSD_GUIDE} ${PROJECT_BINARY_DIR}/windows/README.txt BOM)
  install(FILES ${PROJECT_BINARY_DIR}/windows/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
  # No folder of the zip's own: Windows' "Extract All" already suggests a
  # folder named after the zip, and one inside it would double the path.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  install(TARGETS ${DSD_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The grading kit beside the programs it grades against; it finds the
  # examples in the documentation folder.
  if(TARGET grader)
    install(TARGETS grader RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  install(FILES ${DSD_GUIDE} ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # The README's pages (install, browser, testing, benchmarks, layout), where
  # its links find them.
  file(GLOB pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
  list(REMOVE_ITEM pages ${DSD_GUIDE})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
  # The tar.gz's README, at the top of the archive alone: an installation
  # into a prefix such as /usr/local must not put a file there. It is its
  # own component, left out of cmake --install and added by CPack, which
  # still makes one archive with one top folder.
  list(JOIN DSD_PROGRAMS ", " DSD_PROGRAM_NAMES)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package-readme.txt.in
                 ${PROJECT_BINARY_DIR}/linux/README @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/linux/README DESTINATION . COMPONENT archive_top
          EXCLUDE_FROM_ALL)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL Unspecified archive_top)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR} CPACK_SYSTEM_NAME)
endif()
# The browser edition, where scripts/web.sh has built it into DSD_WEB_DIR:
# the folder web\ of the zip, share/doc/dsdemos/web of the Linux tree. The
# browser checks' screenshots (shots/) stay out.
if(EXISTS ${DSD_WEB_DIR}/index.html)
  if(WIN32)
    set(web_destination web)
  else()
    set(web_destination ${CMAKE_INSTALL_DOCDIR}/web)
  endif()
  install(DIRECTORY ${DSD_WEB_DIR}/ DESTINATION ${web_destination} PATTERN shots EXCLUDE)
endif()
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_VENDOR ${PROJECT_NAME})
# A source package (make package_source) holds the sources alone: no build
# tree and no git data. The patterns are regular expressions matched against
# whole paths, so the source folder's own path is escaped in them.
string(REGEX REPLACE "([][+.*?()^$|\\])" "\\\\\\1" source_pattern "${PROJECT_SOURCE_DIR}")
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "^${source_pattern}/build[^/]*/" "^${source_pattern}/\\.git(/|$)"
                              "/__pycache__/")
include(CPack)
