# The lesson screen with its teacher choice, chat input and recording-control seam.
find_package(Qt6 REQUIRED COMPONENTS WebEngineWidgets)
list(APPEND LESSON_GUI_SOURCES
  lessonscreenhooks.h lessonscreenhooks.cpp
  lessonaudio.h lessonaudio.cpp
  chatinput.h chatinput.cpp
  tfselteacher.h tfselteacher.cpp
  tfrlearn.h tfrlearn.cpp tfrlearn_pages.cpp tfrlearn_chat.cpp)
list(APPEND LESSON_GUI_LIBS tellavo_core_lesson tellavo_core_datamodule tellavo_core_richtext
  tellavo_gui_net Qt6::WebEngineWidgets)
