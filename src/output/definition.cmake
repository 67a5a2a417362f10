# The output definition with its templates, and the CSV and HTML writers.
list(APPEND OUTPUT_CORE_SOURCES
  outputitems.h
  fieldkinds.h fieldkinds.cpp
  outputprogress.h
  outputfile.h outputfile.cpp
  outputtexts.h outputtexts.cpp
  dboutputs.h dboutputs.cpp
  dboutputcsv.h dboutputcsv.cpp
  dboutputhtml.h dboutputhtml.cpp
  outputtemplate.h outputtemplate.cpp
  templatelist.h templatelist.cpp)
list(APPEND OUTPUT_CORE_LIBS tellavo_core_grid)
list(APPEND OUTPUT_GUI_SOURCES
  radiogroup.h radiogroup.cpp
  progresswindowsink.h progresswindowsink.cpp
  outputwriters.h outputwriters.cpp
  tfdboutput.h tfdboutput.cpp
  outputdefinition.h outputdefinition.cpp)
