# Pictures of the dialogs and screens for the documentation (not a test).
if(TELLAVO_BUILD_SERVER)
  add_executable(screens_shots screens_shots.cpp)
  target_link_libraries(screens_shots PRIVATE tellavo_screentestsupport tellavo_guitestmain)
endif()
