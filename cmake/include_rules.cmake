# kl_forbid_includes(target FOLDERS <folders under src/>... HEADERS <headers>...)
# Keeps a layer from reaching one it must not: the target's own include path
# starts with a folder of stand-ins for the forbidden headers, each of which
# stops the compiler with the rule, so a wrong include fails to build rather
# than waiting for a review. Only the target's own sources see the stand-ins.
function(kl_forbid_includes target)
  cmake_parse_arguments(F "" "" "FOLDERS;HEADERS" ${ARGN})
  set(root ${PROJECT_BINARY_DIR}/forbidden_includes/${target})
  foreach(folder ${F_FOLDERS})
    file(GLOB_RECURSE headers RELATIVE ${PROJECT_SOURCE_DIR}/src CONFIGURE_DEPENDS
         ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
    foreach(header ${headers})
      file(CONFIGURE OUTPUT ${root}/${header} CONTENT
           "#error \"${target} may not include ${header} (README.md, Layout)\"\n")
    endforeach()
  endforeach()
  foreach(header ${F_HEADERS})
    file(CONFIGURE OUTPUT ${root}/${header} CONTENT
         "#error \"${target} may not include <${header}> (README.md, Layout)\"\n")
  endforeach()
  target_include_directories(${target} BEFORE PRIVATE ${root})
endfunction()

# The layers above the platform reach the databases through the access
# layer's interface (platform/ado/) only: never the translator, the engine,
# a provider or a driver's API.
function(kl_data_layer_interface_only target)
  kl_forbid_includes(${target}
    FOLDERS platform/tsql platform/sqlite_engine platform/ado/sqlite platform/ado/odbc
    HEADERS sqlite3.h sqlite3ext.h sql.h sqlext.h sqltypes.h)
endfunction()
