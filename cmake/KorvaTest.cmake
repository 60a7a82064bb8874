# korva_test(NAME SOURCES... [LIBS libs...] [LOCKS resources...] [LABELS labels...])
# One GoogleTest executable, registered case by case with CTest. Tests find
# the built programs through KORVA_BIN_DIR and KORVA_LIB_DIR. LOCKS names
# machine-wide resources (such as the print-finished semaphore) that no two
# tests may use at once when ctest runs them in parallel. LABELS puts CTest
# labels on every case (`ctest -L threads`); since the cases are only known
# once the executable is built, NAME is also listed in
# <build>/test-targets-<label>.txt for scripts that build one label's tests.

# Rewritten on each configure, so a test that lost its label drops out.
file(GLOB korva_old_label_lists ${CMAKE_BINARY_DIR}/test-targets-*.txt)
if(korva_old_label_lists)
  file(REMOVE ${korva_old_label_lists})
endif()

function(korva_test name)
  cmake_parse_arguments(KT "" "" "SOURCES;LIBS;LOCKS;LABELS" ${ARGN})
  add_executable(${name} ${KT_SOURCES} ${KT_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${KT_LIBS} korva_testsupport GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(properties
    ENVIRONMENT "KORVA_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KORVA_LIB_DIR=${CMAKE_BINARY_DIR}/lib;KORVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 120)
  if(KT_LOCKS)
    list(JOIN KT_LOCKS "\\;" locks)
    list(APPEND properties RESOURCE_LOCK "${locks}")
  endif()
  if(KT_LABELS)
    list(JOIN KT_LABELS "\\;" labels)
    list(APPEND properties LABELS "${labels}")
    foreach(label ${KT_LABELS})
      file(APPEND ${CMAKE_BINARY_DIR}/test-targets-${label}.txt "${name}\n")
    endforeach()
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES ${properties})
endfunction()
