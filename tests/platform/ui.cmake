# tests for the platform's ui services
find_package(Qt6 REQUIRED COMPONENTS Test)
kl_add_test(test_platform_ui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_scripted_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_widget_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_skin_shell.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_window_helpers.cpp
  LIBS kl_platform_ui Qt6::Test)
