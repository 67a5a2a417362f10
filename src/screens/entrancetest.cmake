# Entrance test: the items file reader, the dialog, and its content beside the program.
list(APPEND SCREENS_CORE_SOURCES testitems.h testitems.cpp)
list(APPEND SCREENS_GUI_SOURCES entrancetest.h entrancetest.cpp)
list(APPEND SCREENS_GUI_LIBS tellavo_gui_net tellavo_core_richtext)

# The welcome texts and the items are read from the program folder.
foreach(content welcome2.rtf welcome3.rtf entrancetest.txt)
  configure_file(${PROJECT_SOURCE_DIR}/assets/${content} ${PROJECT_BINARY_DIR}/src/${content} COPYONLY)
endforeach()
