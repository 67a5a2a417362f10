# Downloading book files from the reference server (and a scripted one), and reloading a page.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_lesson_bookfiles GUI test_bookfiles.cpp
    LIBS tellavo_gui_lesson tellavo_servertestsupport)
endif()
