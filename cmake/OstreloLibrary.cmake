# ostrelo_library(NAME DIR LIBS...): a static library of every source file in DIR.
function(ostrelo_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  add_library(${name} STATIC ${sources} ${headers})
  ostrelo_warnings(${name})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# ostrelo_test(NAME DIR LIBS...): one GoogleTest executable of every source in DIR, each case a CTest test.
function(ostrelo_test name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_executable(${name} ${sources})
  ostrelo_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "OSTRELO_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
endfunction()
