# The users screen with its user filter and the e-mail text window.
list(APPEND SCREENS_CORE_SOURCES userfilter.h userfilter.cpp)
list(APPEND SCREENS_GUI_SOURCES
  tffltuser.h tffltuser.cpp
  tfshowmemo.h tfshowmemo.cpp
  tfrusers.h tfrusers.cpp tfrusers_columns.cpp tfrusers_actions.cpp)
