# The user dialog and its one entry point.
list(APPEND SCREENS_GUI_SOURCES
  tfeduser.h tfeduser.cpp
  userdialogentry.h userdialogentry.cpp)
