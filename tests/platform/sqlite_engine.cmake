# tests of what an embedded database file carries
kl_add_test(test_sqlite_engine
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/sqlite_engine/test_engine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sqlite_engine/test_engine_functions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sqlite_engine/test_handles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sqlite_engine/test_procedure_call.cpp
  LIBS kl_platform)
