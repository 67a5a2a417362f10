# The timetable's rules without widgets, and the screen with its dialogs against the
# reference server.
tellavo_test(test_timetablecore test_timetablecore.cpp LIBS tellavo_core_screens)
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_screens_timetable GUI test_timetable.cpp LIBS tellavo_screentestsupport)
endif()
# Pictures of the timetable screen for the documentation (not a test).
if(TELLAVO_BUILD_SERVER)
  add_executable(timetable_shots timetable_shots.cpp)
  target_link_libraries(timetable_shots PRIVATE tellavo_screentestsupport tellavo_guitestmain)
endif()
# A second program instance that books a lesson as a client (for the two-instance test).
if(TELLAVO_BUILD_SERVER)
  add_executable(timetable_peer timetable_peer.cpp)
  target_link_libraries(timetable_peer PRIVATE tellavo_screentestsupport)
  add_dependencies(test_screens_timetable timetable_peer)
  target_compile_definitions(test_screens_timetable PRIVATE
    TELLAVO_TIMETABLE_PEER="$<TARGET_FILE:timetable_peer>")
endif()
