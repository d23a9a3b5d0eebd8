# Runs the cross-built Windows test programs under Wine, in a prefix of the build
# tree's own. The prefix is made once by the fixture test "wine_prefix" before
# any test program starts, so no timed test pays for it.
find_program(TOLVEX_WINE wine REQUIRED)
find_program(TOLVEX_WINEBOOT wineboot REQUIRED)
find_program(TOLVEX_WINESERVER wineserver REQUIRED)

set(TOLVEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TOLVEX_WINE_ENVIRONMENT
  WINEPREFIX=${TOLVEX_WINEPREFIX} WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${TOLVEX_WINE_ENVIRONMENT} ${TOLVEX_WINE})

# Adds the test that creates the prefix; tests that run Windows programs require
# the fixture "wine" and run through tolvex_add_wine_test.
function(tolvex_add_wine_prefix_fixture)
  add_test(NAME wine_prefix
           COMMAND ${CMAKE_COMMAND} -E env ${TOLVEX_WINE_ENVIRONMENT}
                   sh ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh ${TOLVEX_WINEPREFIX})
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 1800)
  # Stops the prefix's server once the tests are done, so no process outlives ctest.
  add_test(NAME wine_server_stop
           COMMAND ${CMAKE_COMMAND} -E env ${TOLVEX_WINE_ENVIRONMENT} sh -c "${TOLVEX_WINESERVER} -k || true")
  set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()

# One Windows program as one test, skipped where the fixture found Wine unusable.
function(tolvex_add_wine_test target)
  add_test(NAME ${target}
           COMMAND ${CMAKE_COMMAND} -E env ${TOLVEX_WINE_ENVIRONMENT}
                   sh ${PROJECT_SOURCE_DIR}/cmake/run-under-wine.sh ${TOLVEX_WINEPREFIX} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 1800 SKIP_RETURN_CODE 77)
endfunction()
