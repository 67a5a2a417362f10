# The spreadsheet writer and the Excel export.
list(APPEND OUTPUT_CORE_SOURCES
  mxnativeexcel.h mxnativeexcel.cpp
  dboutputxls.h dboutputxls.cpp)
