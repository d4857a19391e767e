# quill_test(NAME [GUI] LABEL label SOURCES a.cpp ... LIBS lib ...)
# A GoogleTest program registered with CTest under one label (unit, db, gui, net).
function(quill_test name)
  cmake_parse_arguments(T "GUI" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} quill_testsupport GTest::gtest)
  if(T_GUI)
    target_compile_definitions(${name} PRIVATE QUILL_TEST_GUI)
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
  endif()
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${T_LABEL}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST)
endfunction()
