# Installation and packages (./scripts/package.sh builds both archives),
# included by the top-level CMakeLists.txt.
#
# Linux: the programs in <prefix>/bin, the Chinese guide and the examples in
# <prefix>/share/doc/dsdemos. Windows: one folder holding the programs, the
# examples, a demo-<program>.bat per program and the guide as README.txt.
# Both carry the browser edition when it has been built.
# CPack archives that tree as dsdemos-<version>-<system>.tar.gz or .zip.
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
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples)
  foreach(program ${DSD_PROGRAMS})
    dsd_windows_text(${PROJECT_SOURCE_DIR}/scripts/windows/demo-${program}.bat
                     ${PROJECT_BINARY_DIR}/windows/demo-${program}.bat)
    install(PROGRAMS ${PROJECT_BINARY_DIR}/windows/demo-${program}.bat DESTINATION .)
  endforeach()
  # UTF-8 with a byte order mark: Notepad shows it right on every Windows,
  # whatever the system's code page, and no character of the guide is lost.
  dsd_windows_text(${DSD_GUIDE} ${PROJECT_BINARY_DIR}/windows/README.txt BOM)
  install(FILES ${PROJECT_BINARY_DIR}/windows/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  include(GNUInstallDirs)
  install(TARGETS ${DSD_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  install(FILES ${DSD_GUIDE} DESTINATION ${CMAKE_INSTALL_DOCDIR})
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
