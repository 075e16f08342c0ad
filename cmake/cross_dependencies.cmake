# The libraries of a cross build, taken from the build machine's Debian
# packages. CLI11 and nlohmann/json are header-only: a folder that holds
# just their headers stands in for /usr/include, which as a whole would
# shadow the cross compiler's own C library. GoogleTest is built from its
# source package for the target.

set(brimwald_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${brimwald_host_headers})
foreach(headers CLI nlohmann)
  if(NOT IS_DIRECTORY /usr/include/${headers})
    message(FATAL_ERROR "/usr/include/${headers} is missing: install "
      "libcli11-dev and nlohmann-json3-dev")
  endif()
  file(CREATE_LINK /usr/include/${headers} ${brimwald_host_headers}/${headers}
    SYMBOLIC)
endforeach()
foreach(target CLI11::CLI11 nlohmann_json::nlohmann_json)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${brimwald_host_headers})
endforeach()

if(BRIMWALD_BUILD_TESTS)
  set(googletest_source /usr/src/googletest)
  if(NOT EXISTS ${googletest_source}/CMakeLists.txt)
    message(FATAL_ERROR "${googletest_source} is missing: install googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${googletest_source} ${CMAKE_BINARY_DIR}/googletest
    EXCLUDE_FROM_ALL)
endif()
