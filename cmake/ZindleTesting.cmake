# Test helpers. Windows test programs run under Wine through tests/harness/wine-run,
# which sets the locale, the prefix and the display and turns a crash into a failure.
set(ZINDLE_HARNESS "${CMAKE_SOURCE_DIR}/tests/harness")

# One fixture per build tree boots Wine and Xvfb once; when scripts/test has booted
# them already (ZINDLE_WINE_KEEP=1) the fixture finds them running and leaves them up.
function(zindle_wine_fixture)
  # Fixtures are global to the tree, so one pair serves every folder's tests.
  get_property(added GLOBAL PROPERTY ZINDLE_WINE_FIXTURE_ADDED)
  if(added)
    return()
  endif()
  set_property(GLOBAL PROPERTY ZINDLE_WINE_FIXTURE_ADDED TRUE)
  add_test(NAME wine.boot.${ZINDLE_TARGET} COMMAND ${ZINDLE_HARNESS}/wine-session start)
  add_test(NAME wine.stop.${ZINDLE_TARGET} COMMAND ${ZINDLE_HARNESS}/wine-session release)
  set_tests_properties(wine.boot.${ZINDLE_TARGET} PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
    ENVIRONMENT "ZINDLE_WINEPREFIX=${ZINDLE_WINEPREFIX}")
  set_tests_properties(wine.stop.${ZINDLE_TARGET} PROPERTIES FIXTURES_CLEANUP wine
    ENVIRONMENT "ZINDLE_WINEPREFIX=${ZINDLE_WINEPREFIX}")
endfunction()

# zindle_wine_test(NAME n COMMAND target-or-path [args...]
#                  [SERVER] [FAULT mode] [CATALOG dir] [LOCKS lock...] [TIMEOUT s] [SCRIPT])
# SERVER starts the local content service on ZINDLE_TUNNEL_PORT for the test's duration
# (FAULT picks one of its fault modes, CATALOG serves another catalog folder than the
# sample) and takes the "tunnel" lock, since the port is fixed.
# SCRIPT: COMMAND is a shell script (it gets ZINDLE_* variables and calls wine-run itself).
# LOCKS: "desktop" for tests that use the foreground window, the clipboard or input.
function(zindle_wine_test)
  cmake_parse_arguments(T "SERVER;SCRIPT" "NAME;FAULT;CATALOG;TIMEOUT" "COMMAND;LOCKS" ${ARGN})
  zindle_wine_fixture()
  list(POP_FRONT T_COMMAND program)
  if(TARGET ${program})
    set(program "$<TARGET_FILE:${program}>")
  endif()
  if(T_SCRIPT)
    set(cmd ${program} ${T_COMMAND})
  else()
    set(cmd ${ZINDLE_HARNESS}/wine-run ${program} ${T_COMMAND})
  endif()
  set(locks ${T_LOCKS})
  if(T_SERVER OR T_FAULT OR T_CATALOG)
    set(fault "")
    if(T_FAULT)
      set(fault --fault ${T_FAULT})
    endif()
    if(T_CATALOG)
      list(APPEND fault --catalog ${T_CATALOG})
    endif()
    set(cmd ${ZINDLE_HARNESS}/with-devserver ${fault} -- ${cmd})
    list(APPEND locks tunnel)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${cmd})
  set_tests_properties(${T_NAME} PROPERTIES
    FIXTURES_REQUIRED wine
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "ZINDLE_WINEPREFIX=${ZINDLE_WINEPREFIX};ZINDLE_DEVSERVER=${ZINDLE_DEVSERVER};ZINDLE_TUNNEL_PORT=${ZINDLE_TUNNEL_PORT};ZINDLE_DEVKEY=${ZINDLE_DEVKEY_PRIVATE};ZINDLE_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZINDLE_BINARY_DIR=${CMAKE_BINARY_DIR}"
    FAIL_REGULAR_EXPRESSION "wine: Unhandled|Unhandled exception|Unhandled page fault")
  if(locks)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
endfunction()

# GoogleTest for MinGW, built from Debian's /usr/src/googletest once per build tree.
function(zindle_use_gtest)
  if(TARGET gtest)
    return()
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endfunction()

# zindle_native_test(NAME n COMMAND target [args...] [SERVER]): a Linux test program.
function(zindle_native_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "ZINDLE_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZINDLE_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
