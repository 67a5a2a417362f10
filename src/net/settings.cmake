# settings file, password scrambling, configuration store, proxy, settings dialogs
list(APPEND NET_CORE_SOURCES
  settings.h settings.cpp
  settingsfile.h settingsfile.cpp
  scramble.h scramble.cpp
  cfghandler.h cfghandler.cpp
  applyproxy.h applyproxy.cpp
)
list(APPEND NET_GUI_SOURCES
  connectiondialog.h connectiondialog.cpp
  proxydialog.h proxydialog.cpp
)
