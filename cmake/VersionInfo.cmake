# The project's version in every program it ships: a generated header with the
# version and the build (see BuildInfo.cmake), and on Windows a version resource
# (VERSIONINFO) in the DLL and the tool.
set(TOLVEX_BUILD_INFO_DIR ${CMAKE_BINARY_DIR}/generated)
if(CMAKE_BUILD_TYPE)
  set(tolvex_build_type ${CMAKE_BUILD_TYPE})
else()
  set(tolvex_build_type "no build type")
endif()
add_custom_target(tolvex_build_info
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${TOLVEX_BUILD_INFO_DIR}/TolvexBuildInfo.h
          -DVERSION=${PROJECT_VERSION} -DBUILD_TYPE=${tolvex_build_type}
          -DTARGET=${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR} -P ${CMAKE_CURRENT_LIST_DIR}/BuildInfo.cmake
  BYPRODUCTS ${TOLVEX_BUILD_INFO_DIR}/TolvexBuildInfo.h
  COMMENT "Build information")

# Gives TARGET the build information header and, on Windows, a version resource
# that names the file (ORIGINAL_NAME) and says what it is (DESCRIPTION).
function(tolvex_add_version_info target)
  cmake_parse_arguments(PARSE_ARGV 1 info "" "DESCRIPTION;ORIGINAL_NAME" "")
  add_dependencies(${target} tolvex_build_info)
  target_include_directories(${target} PRIVATE ${TOLVEX_BUILD_INFO_DIR})
  if(WIN32)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      set(TOLVEX_FILE_TYPE VFT_DLL)
    else()
      set(TOLVEX_FILE_TYPE VFT_APP)
    endif()
    set(TOLVEX_FILE_DESCRIPTION ${info_DESCRIPTION})
    set(TOLVEX_ORIGINAL_NAME ${info_ORIGINAL_NAME})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  endif()
endfunction()
