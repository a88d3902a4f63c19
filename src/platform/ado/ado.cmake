target_sources(kl_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_dialect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/connection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/connection_string.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recordset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/row_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_functions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_guards.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_provider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_support.cpp
)
