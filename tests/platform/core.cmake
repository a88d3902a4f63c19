# tests for the platform's core services
kl_add_test(test_platform_core
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_values.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_textfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_ini.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_runerror.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_settings_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_input_seeds.cpp
  LIBS kl_platform)
