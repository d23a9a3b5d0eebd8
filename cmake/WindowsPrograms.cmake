# The cross-built Windows test programs run under Wine in one batch, since every
# start of the test VM and every first Wine process costs tens of seconds: the
# test "windows_programs" makes every run of the batch, once per locale, and each
# run and locale is then a test of its own that reports its part of the batch.
# Locales: the C locale (code page 1252) and Russian (code page 1251, dd.MM.yyyy,
# decimal comma), the regional settings of the tills the library is made for.
set(TOLVEX_WINDOWS_LOCALES C ru_RU.UTF-8)
set(TOLVEX_WINDOWS_RESULTS ${CMAKE_BINARY_DIR}/windows-results)

# tolvex_add_windows_run(NAME FOLDER folder PROGRAM program [ARGUMENTS word...] [EXPECT text...])
# Adds to the batch a run of PROGRAM (a path relative to FOLDER, itself relative
# to the build tree and copied whole for the run) in FOLDER with ARGUMENTS. Its
# test per locale passes when the program exits with 0 and its output holds every
# EXPECT text.
function(tolvex_add_windows_run name)
  cmake_parse_arguments(PARSE_ARGV 1 run "" "FOLDER;PROGRAM" "ARGUMENTS;EXPECT")
  list(JOIN run_ARGUMENTS " " arguments)
  set_property(GLOBAL APPEND_STRING PROPERTY TOLVEX_WINDOWS_MANIFEST
               "${name}\t${run_FOLDER}\t${run_PROGRAM}\t${arguments}\n")
  foreach(locale ${TOLVEX_WINDOWS_LOCALES})
    string(REGEX REPLACE "\\..*" "" tag ${locale})
    add_test(NAME ${name}.${tag}
             COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/report-windows-result.sh ${TOLVEX_WINDOWS_RESULTS} ${name} ${tag}
                     ${run_EXPECT})
    set_tests_properties(${name}.${tag} PROPERTIES FIXTURES_REQUIRED windows_programs)
  endforeach()
endfunction()

# Adds a test program of the build (built into bin/) to the batch.
function(tolvex_add_windows_program target)
  tolvex_add_windows_run(${target} FOLDER bin PROGRAM $<TARGET_FILE_NAME:${target}>)
endfunction()

# Writes the batch's list of runs and adds the test that makes them, after the
# tests named by AFTER. Call once, after the last run is added; runs in folders
# that do not exist are not made.
function(tolvex_add_windows_batch)
  cmake_parse_arguments(PARSE_ARGV 0 batch "" "" "AFTER")
  get_property(manifest GLOBAL PROPERTY TOLVEX_WINDOWS_MANIFEST)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-programs.txt CONTENT "${manifest}")
  add_test(NAME windows_programs
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/run-windows-programs ${CMAKE_BINARY_DIR} ${TOLVEX_WINDOWS_LOCALES})
  set_tests_properties(windows_programs PROPERTIES FIXTURES_SETUP windows_programs TIMEOUT 5400
                                                    DEPENDS "${batch_AFTER}")
endfunction()
