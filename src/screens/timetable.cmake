# The timetable screen with its calendar, filter, add-lessons and history dialogs, the status
# menu and the calendar export; the widget-free rules (calendar dates, colour map, hours,
# filter texts, status choices, iCalendar) in the core piece.
list(APPEND SCREENS_CORE_SOURCES
  monthgrid.h monthgrid.cpp
  monthcolourmap.h monthcolourmap.cpp
  hoursbalance.h hoursbalance.cpp
  timetablefilter.h timetablefilter.cpp
  statuschoices.h statuschoices.cpp
  icalendarwriter.h icalendarwriter.cpp
  lessonevents.h lessonevents.cpp)
list(APPEND SCREENS_CORE_LIBS tellavo_core_grid tellavo_core_data)
list(APPEND SCREENS_GUI_SOURCES
  monthdays.h monthdays.cpp
  monthcalendar.h monthcalendar.cpp
  hourspanel.h hourspanel.cpp
  statusmenu.h statusmenu.cpp
  tfflttimetable.h tfflttimetable.cpp
  tfaddtimetable.h tfaddtimetable.cpp
  tfhisttimetable.h tfhisttimetable.cpp
  tfrtimetable.h tfrtimetable.cpp tfrtimetable_actions.cpp)
list(APPEND SCREENS_GUI_LIBS tellavo_core_datamodule tellavo_gui_net)
