# Warnings apply to our targets only; library headers come in as SYSTEM includes.
function(vorn_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VORN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Adds a GoogleTest executable and registers its cases with ctest.
function(vorn_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  vorn_target_warnings(${name})
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60)
endfunction()
