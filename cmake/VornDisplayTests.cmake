include_guard(GLOBAL)

# Adds a GoogleTest program that needs an X display. ctest runs every case against its own private Xvfb server
# (scripts/with-xvfb.sh), so the suite works from a shell without a display, in parallel, and OpenAL stays silent.
# TEST_PREFIX keeps the case names apart from another program's that compiles the same tests. Programs given the
# same RESOURCE_LOCK never run their cases at the same time: the ones that start the whole launcher use it, since
# several software-rendered games at once slow each other's first frame past what their checks wait for.
function(vorn_add_display_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;TEST_PREFIX;RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(lock)
  if(ARG_RESOURCE_LOCK)
    set(lock RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  vorn_target_warnings(${name})
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "bash;${PROJECT_SOURCE_DIR}/scripts/with-xvfb.sh")
  gtest_discover_tests(${name}
    TEST_PREFIX "${ARG_TEST_PREFIX}"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT "ALSOFT_DRIVERS=null"
      ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan-system-libraries.supp"
      TIMEOUT ${ARG_TIMEOUT}
      ${lock})
endfunction()
