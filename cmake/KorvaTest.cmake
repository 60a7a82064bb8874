# korva_test(NAME SOURCES... [LIBS libs...] [LOCKS resources...] [LABELS labels...])
# One GoogleTest executable, registered case by case with CTest. Tests find
# the built programs through KORVA_BIN_DIR and KORVA_LIB_DIR. LOCKS names
# machine-wide resources (such as the print-finished semaphore) that no two
# tests may use at once when ctest runs them in parallel.
#
# Labels: every test carries its subsystem, the name of the folder it sits
# in (`ctest -L net`, `ctest -L cups`); LABELS adds more: `threads` for the
# parts that run threads of their own or share state between threads and
# processes (the ThreadSanitizer run), `package` for the package check.
# Since the cases are only known once the executable is built, NAME is also
# listed in <build>/test-targets-<label>.txt for scripts that build one
# label's tests.

# Rewritten on each configure, so a test that lost its label drops out.
file(GLOB korva_old_label_lists ${CMAKE_BINARY_DIR}/test-targets-*.txt)
if(korva_old_label_lists)
  file(REMOVE ${korva_old_label_lists})
endif()

# The subsystem label of tests defined in the current folder.
function(korva_subsystem_label out)
  get_filename_component(subsystem ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(${out} ${subsystem} PARENT_SCOPE)
endfunction()

# Labels a test made with add_test: its subsystem and `labels`.
function(korva_label_test test)
  korva_subsystem_label(subsystem)
  set_property(DIRECTORY APPEND PROPERTY LABELS ${subsystem})
  if(ARGN)
    set_property(TEST ${test} APPEND PROPERTY LABELS ${ARGN})
  endif()
endfunction()

# Every test runs in English unless it asks for a language: a developer's
# own locale must not change what the tests read.
set(KORVA_TEST_ENVIRONMENT
  "KORVA_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KORVA_LIB_DIR=${CMAKE_BINARY_DIR}/lib;KORVA_SOURCE_DIR=${CMAKE_SOURCE_DIR};LANGUAGE=;LC_ALL=;LC_MESSAGES=;LANG=C.UTF-8")

function(korva_test name)
  cmake_parse_arguments(KT "" "" "SOURCES;LIBS;LOCKS;LABELS" ${ARGN})
  add_executable(${name} ${KT_SOURCES} ${KT_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${KT_LIBS} korva_testsupport GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  korva_subsystem_label(subsystem)
  set_property(DIRECTORY APPEND PROPERTY LABELS ${subsystem})
  foreach(label ${subsystem} ${KT_LABELS})
    file(APPEND ${CMAKE_BINARY_DIR}/test-targets-${label}.txt "${name}\n")
  endforeach()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 TEST_LIST ${name}_TESTS PROPERTIES TIMEOUT 120)
  korva_set_discovered_list_properties(${name}
    ENVIRONMENT ${KORVA_TEST_ENVIRONMENT} RESOURCE_LOCK ${KT_LOCKS} LABELS ${KT_LABELS})
endfunction()

# gtest_discover_tests flattens its PROPERTIES into one list, so a property
# of several values (the environment above all) would keep its first value
# only. CTest reads this file after the discovered tests and sets each of
# these properties whole on every case of executable `name`.
function(korva_set_discovered_list_properties name)
  set(kinds ENVIRONMENT RESOURCE_LOCK LABELS)
  cmake_parse_arguments(KP "" "" "${kinds}" ${ARGN})
  set(properties "")
  foreach(kind ${kinds})
    if(KP_${kind})
      string(APPEND properties " ${kind} [==[${KP_${kind}}]==]")
    endif()
  endforeach()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_list_properties.cmake)
  file(WRITE ${script} "if(DEFINED ${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES${properties})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# Runs the whole of test executable `name` once more in `language` ("de",
# "fr"), as `name`_`language`: what crosses a wire or lands in a file must
# not change with the reader's language.
function(korva_test_in_language name language)
  string(TOUPPER ${language} country)
  add_test(NAME ${name}_${language} COMMAND ${name})
  set_tests_properties(${name}_${language} PROPERTIES
    ENVIRONMENT "${KORVA_TEST_ENVIRONMENT};LANGUAGE=${language};LANG=${language}_${country}.UTF-8"
    TIMEOUT 300)
  korva_label_test(${name}_${language} ${ARGN})
endfunction()
