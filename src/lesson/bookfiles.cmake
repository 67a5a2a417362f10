# Course-book files: the download of a missing file, storing it, and the reload of a page.
list(APPEND LESSON_CORE_SOURCES bookfilestore.h bookfilestore.cpp)
list(APPEND LESSON_GUI_SOURCES bookfiles.h bookfiles.cpp)
list(APPEND LESSON_GUI_LIBS tellavo_gui_net)
