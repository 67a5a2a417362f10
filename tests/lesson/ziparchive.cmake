# The ZIP reader and the extraction, on archives of other tools and hand-made broken ones.
add_library(tellavo_zipfixture STATIC zipfixture.h zipfixture.cpp)
target_link_libraries(tellavo_zipfixture PUBLIC Qt6::Core ZLIB::ZLIB)
tellavo_test(test_lesson_zip
  test_extractarchive.cpp
  LIBS tellavo_core_lesson tellavo_zipfixture)
target_compile_definitions(test_lesson_zip PRIVATE
  TELLAVO_TEST_SOURCE="${CMAKE_CURRENT_SOURCE_DIR}")
