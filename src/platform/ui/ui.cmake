target_sources(kl_platform_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/widget_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accessible_check_box.h
  ${CMAKE_CURRENT_LIST_DIR}/accessible_check_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/date_picker.h
  ${CMAKE_CURRENT_LIST_DIR}/first_paint.h
  ${CMAKE_CURRENT_LIST_DIR}/first_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/date_picker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spanish.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spanish_file_dialog.h
  ${CMAKE_CURRENT_LIST_DIR}/spanish_file_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell.cpp
)
