# lab_add_qtest(NAME SOURCES src... LIBRARIES lib... [ENVIRONMENT VAR=value...])
# Builds one QtTest program and registers it with CTest. Every test runs on
# Qt's offscreen platform, so no display is needed, and knows where the
# source tree is (LAB_SOURCE_DIR) for its data files.
function(lab_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
  target_compile_definitions(${name} PRIVATE
    LAB_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    LAB_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;${ARG_ENVIRONMENT}"
    TIMEOUT 600)
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
