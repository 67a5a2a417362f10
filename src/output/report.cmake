# The report engine: layout model and page generation, painting, preview, printing and PDF.
list(APPEND OUTPUT_CORE_SOURCES
  reportdefinition.h reportdefinition.cpp
  reportbuilder.h reportbuilder.cpp
  reportpages.h reportpages.cpp
  zoomsteps.h zoomsteps.cpp
  pageselection.h pageselection.cpp)
list(APPEND OUTPUT_GUI_SOURCES
  reportpainter.h reportpainter.cpp
  previewpageview.h previewpageview.cpp
  tfrextprd.h tfrextprd.cpp
  tfrextprev.h tfrextprev.cpp
  dboutputprint.h dboutputprint.cpp)
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
list(APPEND OUTPUT_GUI_LIBS Qt6::PrintSupport)
