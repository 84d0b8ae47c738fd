# GoogleTest for both builds, and one CTest entry per test executable
# (every Wine process start costs about a second).

if(NOT BUILD_TESTING)
  return()
endif()

if(WIN32)
  # Debian ships the sources; build them with the cross compiler.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  add_library(tarn_gtest_main ALIAS gtest_main)

  # Every Windows-side test runs under Wine in a private prefix inside the build
  # folder, of the build's word size (wine-env.sh tells the scripts which).
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TARN_WINEARCH win64)
    set(TARN_WINE_LOADER /usr/lib/wine/wine64)
  else()
    set(TARN_WINEARCH win32)
    set(TARN_WINE_LOADER /usr/lib/wine/wine)
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env.sh @ONLY)
  set(TARN_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${TARN_WINE_RUN} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARN_WINE_RUN} CACHE STRING "" FORCE)
  add_test(NAME wine_start
           COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-fixture.sh start ${CMAKE_BINARY_DIR})
  add_test(NAME wine_stop
           COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-fixture.sh stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

  # A loopback HTTP server for the download tests (fixture "http"); tests find
  # it through TARN_HTTP_STATE (its port file) and TARN_HTTP_ROOT (the served folder).
  set(TARN_HTTP_STATE ${CMAKE_BINARY_DIR}/http)
  set(TARN_HTTP_ROOT ${CMAKE_BINARY_DIR}/http/served)
  add_test(NAME http_start
           COMMAND ${CMAKE_SOURCE_DIR}/cmake/http-fixture.sh start ${TARN_HTTP_STATE} ${TARN_HTTP_ROOT})
  add_test(NAME http_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/http-fixture.sh stop ${TARN_HTTP_STATE})
  set_tests_properties(http_start PROPERTIES FIXTURES_SETUP http)
  set_tests_properties(http_stop PROPERTIES FIXTURES_CLEANUP http)
  set(TARN_HTTP_ENV TARN_HTTP_STATE=${TARN_HTTP_STATE} TARN_HTTP_ROOT=${TARN_HTTP_ROOT})
else()
  find_package(GTest REQUIRED)
  add_library(tarn_gtest_main ALIAS GTest::gtest_main)
endif()

# tarn_add_test(<name> SOURCES ... [LIBS ...] [ENV VAR=value ...])
# Builds one GoogleTest executable and registers it once; on Windows it runs under Wine.
function(tarn_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tarn_gtest_main tarn_warnings)
  tarn_register_test(${name} ${name})
endfunction()

# tarn_register_test(<test name> <target> [ENV VAR=value ...] [ARGS ...])
function(tarn_register_test test target)
  cmake_parse_arguments(T "" "" "ENV;ARGS" ${ARGN})
  add_test(NAME ${test} COMMAND ${target} ${T_ARGS})
  set_tests_properties(${test} PROPERTIES TIMEOUT 600)
  if(T_ENV)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
  if(WIN32)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()
