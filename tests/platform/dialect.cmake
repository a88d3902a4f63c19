# tests for the platform's dialect services
kl_add_test(test_sqlite_dialect
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sqlite_dialect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_engine_functions.cpp
  LIBS kl_platform GTest::gtest_main)
