# The remote-server component and the data module: they join the tables with the request
# layer, so they live in a piece of their own above both.
tellavo_core_library(tellavo_core_datamodule
  phpdbcon.h phpdbcon.cpp
  dm.h dm.cpp
)
target_link_libraries(tellavo_core_datamodule PUBLIC tellavo_core_data tellavo_core_net)
