# The classroom tools of the lesson: partner lines, page marks and pointer thinning on their
# own; two lesson screens over the reference relay looking around, pointing and drawing.
tellavo_test(test_lesson_classroomlines test_classroomlines.cpp
  LIBS tellavo_core_lesson Qt6::Test)
if(TARGET tellavo_relay)
  tellavo_test(test_lesson_classroom GUI test_classroom.cpp relayhubthread.h relayhubthread.cpp
    testlessonhost.h
    LIBS tellavo_gui_lesson tellavo_relay tellavo_testsupport Qt6::Test)
endif()

# The notes of a lesson in the real program against the reference server and its relay.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_lesson_notes GUI test_lessonnotes.cpp
    LIBS tellavo_screentestsupport tellavo_core_lesson)
  target_include_directories(test_lesson_notes PRIVATE ${PROJECT_SOURCE_DIR}/tests/screens)
endif()
