# The course-book catalogue and library.
list(APPEND LESSON_CORE_SOURCES bookcatalogue.h bookcatalogue.cpp)
