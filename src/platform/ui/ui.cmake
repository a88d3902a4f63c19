target_sources(kl_platform_ui PRIVATE
)
