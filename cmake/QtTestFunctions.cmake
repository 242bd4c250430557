# Run by CTest as it reads the tests (a TEST_INCLUDE_FILES script that add_qt_test writes): adds
# each test function of one Qt Test program as a CTest test of its own, PROGRAM.FUNCTION, so that a
# failure is reported under the function's name. The program lists its functions itself
# (-functions); the list is kept beside it and made again when the program is newer.
#
# Set by the caller: QT_TEST_NAME, QT_TEST_PROGRAM, QT_TEST_LIST, QT_TEST_ENVIRONMENT, QT_TEST_CMAKE
# (the cmake program: CTest does not define CMAKE_COMMAND).

# A program that cannot be listed stands as one failing test that says why.
function(qt_test_unlisted why)
  add_test("${QT_TEST_NAME}" "${QT_TEST_CMAKE}" -E echo "${QT_TEST_NAME}: ${why}")
  set_tests_properties("${QT_TEST_NAME}" PROPERTIES WILL_FAIL TRUE)
endfunction()

if(NOT EXISTS "${QT_TEST_PROGRAM}")
  qt_test_unlisted("not built: ${QT_TEST_PROGRAM}")
  return()
endif()

if(NOT EXISTS "${QT_TEST_LIST}" OR "${QT_TEST_PROGRAM}" IS_NEWER_THAN "${QT_TEST_LIST}")
  # Qt Test ends the program with exit() once it has listed the functions, so the test object's
  # temporary folders are never removed: they go to a folder of the listing's own.
  set(scratch "${QT_TEST_LIST}.tmp")
  file(REMOVE_RECURSE "${scratch}")
  file(MAKE_DIRECTORY "${scratch}")
  execute_process(
    COMMAND "${QT_TEST_CMAKE}" -E env ${QT_TEST_ENVIRONMENT} "TMPDIR=${scratch}" "${QT_TEST_PROGRAM}" -functions
    OUTPUT_VARIABLE listed
    ERROR_VARIABLE errors
    RESULT_VARIABLE result
    TIMEOUT 60)
  file(REMOVE_RECURSE "${scratch}")
  if(NOT result EQUAL 0)
    qt_test_unlisted("listing its test functions failed (${result}): ${errors}")
    return()
  endif()
  string(REPLACE "\n" ";" lines "${listed}")
  set(script "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)\\(\\)$")
      continue()
    endif()
    set(test "${QT_TEST_NAME}.${CMAKE_MATCH_1}")
    # Qt Test prints its totals last; a function that skipped and failed nothing counts as skipped.
    string(APPEND script
           "add_test([==[${test}]==] [==[${QT_TEST_PROGRAM}]==] [==[${CMAKE_MATCH_1}]==])\n"
           "set_tests_properties([==[${test}]==] PROPERTIES ENVIRONMENT [==[${QT_TEST_ENVIRONMENT}]==]\n"
           "  SKIP_REGULAR_EXPRESSION [==[Totals: [0-9]+ passed, 0 failed, [1-9][0-9]* skipped]==])\n")
  endforeach()
  if(script STREQUAL "")
    qt_test_unlisted("it lists no test functions")
    return()
  endif()
  file(WRITE "${QT_TEST_LIST}" "${script}")
endif()
include("${QT_TEST_LIST}")
