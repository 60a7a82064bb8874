# korva_test(NAME SOURCES... [LIBS libs...])
# One GoogleTest executable, registered case by case with CTest. Tests find
# the built programs through KORVA_BIN_DIR and KORVA_LIB_DIR.
function(korva_test name)
  cmake_parse_arguments(KT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${KT_SOURCES} ${KT_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${KT_LIBS} korva_testsupport GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 30
    PROPERTIES ENVIRONMENT "KORVA_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KORVA_LIB_DIR=${CMAKE_BINARY_DIR}/lib;KORVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
               TIMEOUT 120)
endfunction()
