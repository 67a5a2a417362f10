#Fetching the next page's files in the background.
list(APPEND LESSON_CORE_SOURCES pageprefetch.h pageprefetch.cpp)
