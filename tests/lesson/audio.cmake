# The audio player playing the demo school's recordings into a private sound server with a
# null output, which a fixture starts before these tests and stops after them; without it the
# tests are skipped with the reason.
set(TELLAVO_PULSE_DIR ${CMAKE_BINARY_DIR}/pulseaudio-test)
add_test(NAME audio_pulseaudio_start
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-pulseaudio start ${TELLAVO_PULSE_DIR})
add_test(NAME audio_pulseaudio_stop
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-pulseaudio stop ${TELLAVO_PULSE_DIR})
set_tests_properties(audio_pulseaudio_start PROPERTIES FIXTURES_SETUP pulseaudio TIMEOUT 60)
set_tests_properties(audio_pulseaudio_stop PROPERTIES FIXTURES_CLEANUP pulseaudio)

add_library(tellavo_audiotestsupport STATIC audiotestsupport.h audiotestsupport.cpp)
target_link_libraries(tellavo_audiotestsupport PUBLIC tellavo_core_lesson Qt6::Core)
target_compile_definitions(tellavo_audiotestsupport PRIVATE
  TELLAVO_ASSETS="${PROJECT_SOURCE_DIR}/assets")

# tellavo_audio_test(name sources... LIBS libs...): a GUI test program that needs the sound
# server. Only one variable goes in ENVIRONMENT (the test discovery keeps the first item of a
# list); the program sets the others itself.
function(tellavo_audio_test name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  add_executable(${name} ${A_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${A_LIBS} tellavo_audiotestsupport tellavo_guitestmain
    GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TELLAVO_TEST_PULSE_DIR=${TELLAVO_PULSE_DIR}"
               FIXTURES_REQUIRED pulseaudio
               TIMEOUT 120 LABELS gui)
endfunction()

tellavo_audio_test(test_lesson_audioplayer test_tcbaudioplay.cpp LIBS tellavo_gui_lesson)

# The lesson screen's recording controls with the real player, downloading from the reference
# server; a teacher and a following student over the reference relay.
if(TELLAVO_BUILD_SERVER)
  tellavo_audio_test(test_lesson_recordings test_lessonrecordings.cpp
    LIBS tellavo_gui_lesson tellavo_servertestsupport tellavo_testsupport Qt6::Test)
endif()
if(TARGET tellavo_relay)
  tellavo_audio_test(test_lesson_audiosync test_audiosync.cpp relayhubthread.h relayhubthread.cpp
    LIBS tellavo_gui_lesson tellavo_relay tellavo_testsupport Qt6::Test)
endif()
