# tests for the platform's ado services
kl_add_test(test_ado
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ado/backends.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_connection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_data_layer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_processes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_sqlite_support.cpp
  LIBS kl_platform GTest::gtest_main)
