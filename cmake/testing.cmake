# GoogleTest for both builds, and ostra_add_unit_test() to declare a test program.
#
# Natively the distribution's GoogleTest is used. The cross build compiles Debian's GoogleTest
# sources with the cross compiler, and ctest runs the test programs under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR, set by the toolchain file.

if(CMAKE_CROSSCOMPILING)
  set(OSTRA_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources to cross-compile")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${OSTRA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Newer GoogleTest sources name their targets GTest::* themselves.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
  endif()
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# ostra_add_unit_test(NAME SOURCES file... LIBRARIES lib...)
function(ostra_add_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} ostra_test_support GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 600)
endfunction()
