# Read by ctest whenever it lists the tests (the directory's
# TEST_INCLUDE_FILES), so the suites come from the sources as they are now:
# one entry win_<Suite> per GoogleTest suite of zv_win_tests, each running
# only that suite through run_suite.py, and win_suite_list, which checks
# that the program holds exactly these suites.
# Set by the generated file that includes this one:
#   ZV_WIN_SOURCES_DIR  the test sources
#   ZV_WIN_RUN_SUITE    python and run_suite.py
#   ZV_WIN_PROGRAM      the emulator and zv_win_tests
#   ZV_WIN_RESULTS_DIR  where each suite's XML results go
#   ZV_WIN_LOCK         the lock of the build's Wine prefix
file(GLOB zv_win_sources ${ZV_WIN_SOURCES_DIR}/*.cpp)
set(zv_win_suites)
foreach(source ${zv_win_sources})
  file(STRINGS ${source} lines REGEX "^[ \t]*TEST(_F)?\\([ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]*,")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*TEST(_F)?\\([ \t]*([A-Za-z_][A-Za-z0-9_]*).*" "\\2" suite "${line}")
    list(APPEND zv_win_suites ${suite})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES zv_win_suites)
list(SORT zv_win_suites)

file(MAKE_DIRECTORY ${ZV_WIN_RESULTS_DIR})
# One at a time in the build's Wine prefix (each still gets a display of its own).
foreach(suite ${zv_win_suites})
  add_test(win_${suite} ${ZV_WIN_RUN_SUITE} run ${suite} -- ${ZV_WIN_PROGRAM})
  set_tests_properties(win_${suite} PROPERTIES
    WORKING_DIRECTORY ${ZV_WIN_RESULTS_DIR} SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS win
    RESOURCE_LOCK ${ZV_WIN_LOCK})
endforeach()
add_test(win_suite_list ${ZV_WIN_RUN_SUITE} list ${zv_win_suites} -- ${ZV_WIN_PROGRAM})
set_tests_properties(win_suite_list PROPERTIES TIMEOUT 120 LABELS win RESOURCE_LOCK ${ZV_WIN_LOCK})
