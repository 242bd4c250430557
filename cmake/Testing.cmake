# Test helpers shared by every folder.
find_package(GTest REQUIRED)
include(GoogleTest)

# Where tests find the real files written by other programs; acceptance tests skip when absent.
set(SHARED_TESTDATA_DIR "${CMAKE_SOURCE_DIR}/../shared/testdata" CACHE PATH "Folder of real sample files")

# Environment every test runs in: headless Qt with a private runtime folder and a private
# configuration folder (no test reads or writes a user's settings).
set(TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime"
    "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/xdg-config"
    "SHARED_TESTDATA_DIR=${SHARED_TESTDATA_DIR}"
    "ASAN_OPTIONS=detect_leaks=1")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/xdg-runtime")
file(CHMOD "${CMAKE_BINARY_DIR}/xdg-runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# Helpers every test tree shares ("testsupport/temp_dir.h").
add_library(desktools_testsupport INTERFACE)
target_include_directories(desktools_testsupport INTERFACE ${CMAKE_SOURCE_DIR}/testsupport/include)

# add_gtest(name SOURCES ... LIBS ...): one GoogleTest executable, each case its own CTest test.
function(add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} desktools_testsupport GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "${TEST_ENVIRONMENT}"
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST)
  # gtest_discover_tests hands only the first entry of a list-valued property on, so the
  # whole environment is set on the discovered tests by an include file that runs after it.
  set(env_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${env_file}"
       "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${TEST_ENVIRONMENT}]==])\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${env_file}")
endfunction()

# add_qt_test(name SOURCES ... LIBS ...): one Qt Test executable, each test function its own CTest
# test (cmake/QtTestFunctions.cmake lists them when CTest runs).
function(add_qt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} desktools_testsupport Qt6::Test)
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_functions_include.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT
       "set(QT_TEST_NAME [==[${name}]==])
set(QT_TEST_PROGRAM [==[$<TARGET_FILE:${name}>]==])
set(QT_TEST_LIST [==[${CMAKE_CURRENT_BINARY_DIR}/${name}_functions.cmake]==])
set(QT_TEST_ENVIRONMENT [==[${TEST_ENVIRONMENT}]==])
set(QT_TEST_CMAKE [==[${CMAKE_COMMAND}]==])
include([==[${CMAKE_SOURCE_DIR}/cmake/QtTestFunctions.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()

# The code style over every tracked C++ source (scripts/check-format.sh names the files it would
# change); skipped outside a git checkout.
add_test(NAME code_style COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-format.sh)
set_tests_properties(code_style PROPERTIES SKIP_RETURN_CODE 77)

# The include rules of the architecture over every tracked source and over what each compiled file
# of this tree really read (scripts/check-includes.sh lists the rules), and the check's own cases.
if(CMAKE_GENERATOR MATCHES "Ninja")
  add_test(NAME include_rules COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-includes.sh ${CMAKE_BINARY_DIR})
else()
  add_test(NAME include_rules COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-includes.sh)
endif()
add_test(NAME include_rules_cases COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/tests/check_includes_test.sh)

# Tests that plant faults or step the clock need a build that reads those switches; a tree
# configured without them says so here instead of failing those tests one by one unexplained.
if(NOT DESKTOOLS_TEST_HOOKS)
  add_test(NAME test_hooks_configured
    COMMAND sh -c "echo 'configured with DESKTOOLS_TEST_HOOKS=OFF: the tests that plant faults or step the clock fail in this tree; scripts/test.sh configures it ON'; exit 1")
endif()
