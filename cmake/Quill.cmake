# Qt Test without the QT_TESTCASE_BUILDDIR/SOURCEDIR definitions its target adds: they put the
# absolute folders of the clone on every test's command line (for QFINDTESTDATA, unused here),
# so the compiler cache could never reuse a test object in another clone.
if(NOT TARGET quill_qttest)
  add_library(quill_qttest INTERFACE)
  target_include_directories(quill_qttest SYSTEM INTERFACE
                             $<TARGET_PROPERTY:Qt6::Test,INTERFACE_INCLUDE_DIRECTORIES>)
  target_compile_definitions(quill_qttest INTERFACE QT_TESTLIB_LIB)
  target_link_libraries(quill_qttest INTERFACE $<TARGET_FILE:Qt6::Test> Qt6::Core)
endif()

# quill_test(NAME [GUI] LABEL label SOURCES a.cpp ... LIBS lib ...)
# A GoogleTest program registered with CTest under one label (unit, db, gui, net).
function(quill_test name)
  cmake_parse_arguments(T "GUI" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} quill_testsupport GTest::gtest)
  target_precompile_headers(${name} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch_test.h)
  if(T_GUI)
    target_compile_definitions(${name} PRIVATE QUILL_TEST_GUI)
    target_link_libraries(${name} PRIVATE Qt6::Widgets quill_qttest)
  endif()
  # LeakSanitizer's exit scan sometimes crashes in processes that started the embedded
  # Firebird engine (its threads cannot always be suspended), so leaks are checked in the
  # unit programs only; the other labels still run under ASan and UBSan.
  set(_env "")
  if(QUILL_SANITIZE AND NOT T_LABEL STREQUAL "unit")
    set(_env ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:detect_odr_violation=0")
  endif()
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${T_LABEL} ${_env}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST)
endfunction()

# quill_library(NAME LIBS lib ...): a static library of every .cpp/.h of the current folder.
# Folders own their sources; adding a file needs no CMake edit.
function(quill_library name)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                   ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  target_precompile_headers(${name} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch.h)
endfunction()

# quill_test_folder(PREFIX LIBS lib ...): one test program per kind of file in the current
# folder: unit_*.cpp -> PREFIX_unit (label unit), db_*.cpp -> PREFIX_db (label db),
# gui_*.cpp -> PREFIX_gui (label gui, with a QApplication), net_*.cpp -> PREFIX_net (label net).
function(quill_test_folder prefix)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  foreach(kind unit db gui net)
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${kind}_*.cpp)
    if(_src)
      if(kind STREQUAL "gui")
        quill_test(${prefix}_${kind} GUI LABEL ${kind} SOURCES ${_src} LIBS ${F_LIBS})
      else()
        quill_test(${prefix}_${kind} LABEL ${kind} SOURCES ${_src} LIBS ${F_LIBS})
      endif()
    endif()
  endforeach()
endfunction()
