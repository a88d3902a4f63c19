# tests on a PostgreSQL server the program starts itself (one cluster per
# program, so the whole program is one CTest test)
add_executable(test_postgres
  ${CMAKE_CURRENT_LIST_DIR}/postgres/test_postgres_connection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/postgres/test_postgres_functions.cpp)
target_link_libraries(test_postgres PRIVATE
  kl_testpostgres kl_testdb kl_klbase kl_qtestmain GTest::gtest GTest::gmock)
target_compile_definitions(test_postgres PRIVATE
  KL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KL_BINARY_DIR="${PROJECT_BINARY_DIR}")
add_test(NAME test_postgres COMMAND test_postgres)
set_tests_properties(test_postgres PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KL_TRAZA_SQL=;KL_TRAZA_AVISOS=" TIMEOUT 300)
