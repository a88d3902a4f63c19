# tests for the platform's ado services
kl_add_test(test_ado
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ado/backends.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_connection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_data_layer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_odbc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ado/test_processes.cpp
  LIBS kl_platform)

# The ODBC drivers the tests use, registered in an odbcinst.ini of the build
# tree (tests point ODBCSYSINI at it), so no system configuration is needed.
find_library(KL_FREETDS_ODBC_DRIVER NAMES tdsodbc PATH_SUFFIXES odbc)
find_library(KL_SQLITE_ODBC_DRIVER NAMES sqlite3odbc PATH_SUFFIXES odbc)
find_library(KL_POSTGRES_ODBC_DRIVER NAMES psqlodbcw.so PATH_SUFFIXES odbc)
set(KL_TEST_ODBCINST "")
if(KL_FREETDS_ODBC_DRIVER)
  string(APPEND KL_TEST_ODBCINST "[FreeTDS]\nDriver=${KL_FREETDS_ODBC_DRIVER}\n\n")
endif()
if(KL_SQLITE_ODBC_DRIVER)
  string(APPEND KL_TEST_ODBCINST "[SQLite3]\nDriver=${KL_SQLITE_ODBC_DRIVER}\n\n")
endif()
if(KL_POSTGRES_ODBC_DRIVER)
  string(APPEND KL_TEST_ODBCINST "[PostgreSQL Unicode]\nDriver=${KL_POSTGRES_ODBC_DRIVER}\n\n")
endif()
file(WRITE ${PROJECT_BINARY_DIR}/tests/odbc/odbcinst.ini "${KL_TEST_ODBCINST}")
file(WRITE ${PROJECT_BINARY_DIR}/tests/odbc/odbc.ini "")
