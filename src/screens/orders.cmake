# The orders screen with its filter, new-order and order dialogs.
list(APPEND SCREENS_CORE_SOURCES orderfilter.h orderfilter.cpp)
list(APPEND SCREENS_CORE_LIBS tellavo_core_grid)
list(APPEND SCREENS_GUI_SOURCES
  tffltorder.h tffltorder.cpp
  tfedordernew.h tfedordernew.cpp
  tfedorder.h tfedorder.cpp
  tfrorder.h tfrorder.cpp)
