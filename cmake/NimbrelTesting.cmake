# GoogleTest for both builds: Debian's libgtest natively, and Debian's
# googletest sources compiled with the cross compiler for Windows.
if(WIN32)
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # The Windows runtime has no std::mutex; see the header for the stand-in.
    target_compile_options(gtest PUBLIC -include ${CMAKE_CURRENT_LIST_DIR}/gtest_notification.h)
  endif()
  set(NIMBREL_GTEST_LIBS gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(NIMBREL_GTEST_LIBS GTest::gtest GTest::gmock GTest::gtest_main)
endif()

# nimbrel_add_test(NAME SOURCES... LIBS ...): one test binary, one ctest entry.
# Under Wine a binary's start costs about a second, so each folder builds one
# binary and ctest runs it whole.
function(nimbrel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${NIMBREL_GTEST_LIBS})
  set(test_name ${name})
  if(WIN32)
    set(test_name ${name}_wine)
  endif()
  add_test(NAME ${test_name} COMMAND ${name} --gtest_brief=1)
  set(labels ${ARG_LABELS})
  if(WIN32)
    list(APPEND labels wine)
    set_tests_properties(${test_name} PROPERTIES RESOURCE_LOCK wineprefix)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${test_name} PROPERTIES LABELS "${labels}" TIMEOUT 300)
endfunction()
