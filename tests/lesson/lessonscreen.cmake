# The lesson screen offscreen on its own.
tellavo_test(test_lessonscreen GUI test_lessonscreen.cpp LIBS tellavo_gui_lesson)

# The lesson screen in the real program against the reference server and its relay.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_lessonscreen_server GUI test_lessonscreen_server.cpp
    LIBS tellavo_screentestsupport tellavo_core_lesson)
  target_include_directories(test_lessonscreen_server PRIVATE ${PROJECT_SOURCE_DIR}/tests/screens)
endif()

# Saves what an X display shows, for scripts/lesson-e2e (not a test).
add_executable(screen_grab screengrab.cpp)
target_link_libraries(screen_grab PRIVATE Qt6::Gui)

# A hostile HTML book page in the page view.
tellavo_test(test_lesson_bookpage GUI test_bookpage.cpp LIBS tellavo_gui_lesson)
