# tests of the translator of SQL Server's dialect
kl_add_test(test_tsql
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tsql/test_translator.cpp
  LIBS kl_platform)
