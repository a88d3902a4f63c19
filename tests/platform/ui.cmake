# tests for the platform's ui services
kl_add_test(test_platform_ui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_scripted_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_widget_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/test_skin_shell.cpp
  LIBS kl_platform_ui)
