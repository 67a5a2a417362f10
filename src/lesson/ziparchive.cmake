# The ZIP reader of HTML course books (raw inflate from zlib) and the extraction to disk.
list(APPEND LESSON_CORE_SOURCES
  zipentry.h zipentry.cpp
  zipinflate.h zipinflate.cpp
  ziparchive.h ziparchive.cpp
  zippath.h zippath.cpp
  extractarchive.h extractarchive.cpp)
list(APPEND LESSON_CORE_LIBS ZLIB::ZLIB)
