target_sources(kl_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_dialect.cpp
)
