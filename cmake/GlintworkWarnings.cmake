# glintwork_warnings(target): the project's warning set; errors when GLINTWORK_WERROR is on.
function(glintwork_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${GLINTWORK_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wformat=2
      $<$<BOOL:${GLINTWORK_WERROR}>:-Werror>)
  endif()
endfunction()

# glintwork_add_test(name SOURCES a.cpp ... LIBS lib ...): a GoogleTest executable
# registered with CTest, one CTest test per test case.
function(glintwork_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  glintwork_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} PROPERTIES ${ARG_PROPERTIES})
endfunction()
