# Profile, password change and the user dialog.
list(APPEND SCREENS_CORE_SOURCES
  bookids.h bookids.cpp
  passwordrequest.h passwordrequest.cpp
  userstatistics.h userstatistics.cpp)
list(APPEND SCREENS_CORE_LIBS tellavo_core_data tellavo_core_net)
list(APPEND SCREENS_GUI_SOURCES
  tfrprofil.h tfrprofil.cpp
  tfpasschange.h tfpasschange.cpp
  tfprofile.h tfprofile.cpp)
list(APPEND SCREENS_GUI_LIBS tellavo_core_datamodule tellavo_gui_net)
