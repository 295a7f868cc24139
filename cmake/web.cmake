# The browser edition: each program, built by emscripten from the same
# <program>_core and main.cpp as the console program, becomes one
# self-contained classic script <program>.js in DSD_WEB_DIR (scripts/web.sh
# copies the page beside them).
#
# Why these settings:
#   SINGLE_FILE        the WebAssembly binary travels inside the script, since
#                      a browser refuses to load a separate .wasm, or an ES
#                      module, into a page opened from file://;
#   MODULARIZE         the script defines one factory, Evaluator, Bitree,
#                      Translator or Josephus, that makes a fresh instance per
#                      run: an instance cannot run main twice;
#   INVOKE_RUN=0       main runs only when the page calls callMain;
#   EXIT_RUNTIME       exit() flushes the C streams and ends the run with its
#                      status, as on the console;
#   FORCE_FILESYSTEM   the page puts the input files into the instance's file
#                      system and reads the output files back through FS;
#   ALLOW_MEMORY_GROWTH  a rule file's growing sentences need more than
#                      the initial 16 MiB.
#
# emcc without the Closure compiler (which Debian's emscripten lacks) leaves
# the JavaScript around the WebAssembly with its long names, the same 70 KB
# in each of the four scripts. Debian's terser, when it is there (scripts/
# web.sh installs it), shortens the local names and folds constants after
# the link: a quarter of each script, with the same code. It keeps the
# factory's name and _scriptDir, the one variable around the factory that
# the factory reads: the page's worker (engine.js) runs the factory's own
# source text, with _scriptDir declared beside it.
find_program(DSD_TERSER terser)

# A program's step writer (lab/<program>/steps.cpp, where there is
# one) is linked beside its main as the exported function WriteSteps: it runs
# the program's own core functions on the same input and writes each step of
# the technique as JSON for the page's pictures. The console program never
# calls it.
foreach(program ${DSD_PROGRAMS})
  # _malloc for every program: the page passes byte arguments to main in
  # memory it allocates (web/worker/runner.js).
  set(exports _main _fflush _malloc)
  set(steps ${PROJECT_SOURCE_DIR}/lab/${program}/steps.cpp)
  if(EXISTS ${steps})
    target_sources(${program} PRIVATE ${steps})
    target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR}/lab)
    list(APPEND exports _WriteSteps)
  endif()
  string(SUBSTRING ${program} 0 1 first)
  string(SUBSTRING ${program} 1 -1 rest)
  string(TOUPPER ${first} first)
  # The comparison of a student's output with ours and the exercise maker
  # (lab/compare.h, lab/cases.h), with the entries the page and
  # web/tools/compare.mjs call (lab/page.cpp): CompareMain, ExerciseMain.
  # The defines tell lab/page.cpp which program it is built into (as
  # programs.gen.h has it); the program's own parts of lab/ are linked
  # where it has them.
  target_sources(${program} PRIVATE ${DSD_LAB_COMMON} ${PROJECT_SOURCE_DIR}/lab/page.cpp)
  foreach(part compare cases)
    if(EXISTS ${PROJECT_SOURCE_DIR}/lab/${program}/${part}.cpp)
      target_sources(${program} PRIVATE ${PROJECT_SOURCE_DIR}/lab/${program}/${part}.cpp)
    endif()
  endforeach()
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR}/lab ${DSD_GENERATED_DIR})
  target_compile_definitions(${program} PRIVATE DSD_NAME=${first}${rest} DSD_PROGRAM_NAME="${program}"
                             DSD_OUTPUT=${DSD_${program}_OUTPUT}
                             DSD_COMPARES=${DSD_${program}_COMPARES} DSD_MAKES=${DSD_${program}_MAKES})
  list(APPEND exports _CompareMain _ExerciseMain)
  list(JOIN exports "','" exports)
  set_target_properties(${program} PROPERTIES
    SUFFIX .js
    RUNTIME_OUTPUT_DIRECTORY ${DSD_WEB_DIR})
  target_link_options(${program} PRIVATE
    -sSINGLE_FILE=1 -sMODULARIZE=1 -sEXPORT_NAME=${first}${rest}
    -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=web,worker,node
    "-sEXPORTED_RUNTIME_METHODS=['FS','callMain']"
    "-sEXPORTED_FUNCTIONS=['${exports}']")
  if(DSD_TERSER)
    # In place, after each link; the stamp says the script was shortened.
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${program}.terser.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
              ${DSD_TERSER} $<TARGET_FILE:${program}> --mangle reserved=[_scriptDir] --compress
              -o $<TARGET_FILE:${program}>
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${program}
      VERBATIM)
    add_custom_target(${program}_terser ALL DEPENDS ${stamp})
  endif()
endforeach()
