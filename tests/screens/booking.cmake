# Booking features beyond the timetable in the program, against the reference server with and
# without them; and their rules without widgets.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_screens_booking GUI test_booking.cpp
    LIBS tellavo_screentestsupport)
endif()
tellavo_test(test_bookingrules test_bookingrules.cpp LIBS tellavo_core_screens)
# Pictures of the booking features for the documentation (not a test).
if(TELLAVO_BUILD_SERVER)
  add_executable(booking_shots booking_shots.cpp)
  target_link_libraries(booking_shots PRIVATE tellavo_screentestsupport tellavo_guitestmain)
endif()
