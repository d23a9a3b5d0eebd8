# Header-only libraries from Debian's packages (nlohmann-json3-dev, libcli11-dev),
# for both toolchains. The cross compiler must not search /usr/include (it holds
# the native C library's headers), so only the two libraries' folders are linked
# into a folder of the build tree, which both toolchains search.
set(TOLVEX_HEADER_LIBRARIES_DIR ${CMAKE_BINARY_DIR}/header-libraries)
foreach(folder nlohmann CLI)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps native")
  endif()
  file(MAKE_DIRECTORY ${TOLVEX_HEADER_LIBRARIES_DIR})
  file(CREATE_LINK /usr/include/${folder} ${TOLVEX_HEADER_LIBRARIES_DIR}/${folder} SYMBOLIC)
endforeach()

add_library(tolvex_header_libraries INTERFACE)
target_include_directories(tolvex_header_libraries SYSTEM INTERFACE ${TOLVEX_HEADER_LIBRARIES_DIR})
# The JSON reader's line and column in its errors; no implicit conversions.
target_compile_definitions(tolvex_header_libraries INTERFACE JSON_USE_IMPLICIT_CONVERSIONS=0)
