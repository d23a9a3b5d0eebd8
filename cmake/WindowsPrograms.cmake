# The cross-built Windows test programs run under Wine in one batch, since every
# start of the test VM and every first Wine process costs tens of seconds: the
# test "windows_programs" runs them all, once per locale, and each program and
# locale is then a test of its own that reports its part of the batch.
# Locales: the C locale (code page 1252) and Russian (code page 1251, dd.MM.yyyy,
# decimal comma), the regional settings of the tills the library is made for.
set(TOLVEX_WINDOWS_LOCALES C ru_RU.UTF-8)
set(TOLVEX_WINDOWS_RESULTS ${CMAKE_BINARY_DIR}/windows-results)

# Adds a Windows program to the batch. The program must be built into bin/.
function(tolvex_add_windows_program target)
  set_property(GLOBAL APPEND PROPERTY TOLVEX_WINDOWS_PROGRAMS ${target})
  foreach(locale ${TOLVEX_WINDOWS_LOCALES})
    string(REGEX REPLACE "\\..*" "" tag ${locale})
    add_test(NAME ${target}.${tag}
             COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/report-windows-result.sh ${TOLVEX_WINDOWS_RESULTS} ${target} ${tag})
    set_tests_properties(${target}.${tag} PROPERTIES FIXTURES_REQUIRED windows_programs)
  endforeach()
endfunction()

# Writes the batch's list of programs and adds the test that runs the batch.
# Call once, after the last tolvex_add_windows_program.
function(tolvex_add_windows_batch)
  get_property(programs GLOBAL PROPERTY TOLVEX_WINDOWS_PROGRAMS)
  set(manifest "")
  foreach(target ${programs})
    string(APPEND manifest "${target}\t$<TARGET_FILE_NAME:${target}>\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-programs.txt CONTENT "${manifest}")
  add_test(NAME windows_programs
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/run-windows-programs ${CMAKE_BINARY_DIR} ${TOLVEX_WINDOWS_LOCALES})
  set_tests_properties(windows_programs PROPERTIES FIXTURES_SETUP windows_programs TIMEOUT 5400)
endfunction()
