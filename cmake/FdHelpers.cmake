# fd_add_gtest(NAME <name> SOURCES <files...> LIBS <targets...> [QT] [LABELS <labels...>])
# Builds one GoogleTest executable and registers it with CTest. QT marks a test
# that opens widgets: it runs on the offscreen platform.
function(fd_add_gtest)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${T_NAME} PRIVATE
    FD_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    FD_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "FD_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  if(T_QT)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(FD_SANITIZE)
    # The same leak suppressions scripts/test.sh passes, for ctest run by hand.
    list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
