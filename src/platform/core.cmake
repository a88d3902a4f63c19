target_sources(kl_platform_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/conversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/runerror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trace_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scripted_dialogs.cpp
)
# The installed layout as seen from the executable's folder.
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/settings_files.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS KL_DATADIR_FROM_BINDIR="${KL_DATADIR_FROM_BINDIR}"
                      KL_MODULEDIR_FROM_BINDIR="${KL_MODULEDIR_FROM_BINDIR}")
