target_sources(kl_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_dialect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_batch_splitter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_expression_rewriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_lexer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_statement_adapter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_tokens.cpp
  ${CMAKE_CURRENT_LIST_DIR}/busy_wait.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/connection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/connection_string.cpp
  ${CMAKE_CURRENT_LIST_DIR}/embedded_engine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_connection_string.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_diagnostics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_dialect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_provider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_sqlite_dialect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/odbc_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/procedure_call.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recordset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/row_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sql_trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_backup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_functions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_guards.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_handles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_provider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transaction_scope.cpp
)

# The engine's functions, collation and column guards as a loadable SQLite
# module: SQLite's ODBC driver loads it (LoadExt) into its connections to an
# embedded database. Built from the same sources, not from kl_platform (a
# static library without position-independent code).
add_library(kl_sqlite_functions MODULE
  ${CMAKE_CURRENT_LIST_DIR}/odbc_sqlite_extension.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_functions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_guards.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_handles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../conversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../value.cpp
)
target_include_directories(kl_sqlite_functions PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kl_sqlite_functions PRIVATE Qt6::Core SQLite::SQLite3)
target_link_options(kl_sqlite_functions PRIVATE -Wl,--no-undefined)
set_target_properties(kl_sqlite_functions PROPERTIES
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON AUTOMOC OFF)
add_dependencies(kl_platform kl_sqlite_functions)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/odbc_settings.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS KL_SQLITE_FUNCTIONS_MODULE="$<TARGET_FILE:kl_sqlite_functions>")
install(TARGETS kl_sqlite_functions LIBRARY DESTINATION ${KL_INSTALL_MODULEDIR})
