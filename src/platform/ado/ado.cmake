target_sources(kl_platform PRIVATE
)
