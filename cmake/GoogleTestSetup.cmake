# GoogleTest natively from the system package; for the Windows targets built
# from the sources Debian ships in /usr/src/googletest.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# zarvo_test_suite(NAME SOURCES...): one suite of unit tests. Natively it is a
# program of its own whose cases ctest runs one by one (see
# zarvo_discover_suite). On Windows it is an object library that joins the
# one Windows unit program (tests/CMakeLists.txt): every Wine start costs
# seconds natively and over a minute under emulation.
function(zarvo_test_suite name)
  if(CMAKE_CROSSCOMPILING)
    add_library(${name} OBJECT ${ARGN})
    set_property(GLOBAL APPEND PROPERTY ZARVO_WINDOWS_SUITES ${name})
  else()
    add_executable(${name} ${ARGN})
  endif()
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
endfunction()

# zarvo_discover_suite(NAME gtest_discover_tests options...): one ctest test
# per case, for the native and sanitizer builds only.
function(zarvo_discover_suite name)
  if(NOT CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${name} ${ARGN})
  endif()
endfunction()
