# The output definition, its templates and the CSV and HTML writers.
add_library(tellavo_outputtestfixture STATIC outputfixture.h outputfixture.cpp recordingprogress.h)
target_link_libraries(tellavo_outputtestfixture PUBLIC tellavo_core_output tellavo_core_grid)
target_include_directories(tellavo_outputtestfixture PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(tellavo_outputtestfixture PUBLIC
  TELLAVO_OUTPUT_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures/output")

tellavo_test(test_output_core
  test_exports.cpp test_templates.cpp
  LIBS tellavo_core_output tellavo_outputtestfixture)

tellavo_test(test_output_dialog GUI
  test_definition.cpp
  LIBS tellavo_gui_output tellavo_outputtestfixture Qt6::Test)

if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_output_program GUI test_program.cpp
    LIBS tellavo_gui_output tellavo_outputtestfixture tellavo_screentestsupport)
  target_include_directories(test_output_program PRIVATE ${PROJECT_SOURCE_DIR}/tests/screens)
endif()

# Pictures of the output windows for the documentation (not a test).
if(TELLAVO_BUILD_SERVER)
  add_executable(output_shots output_shots.cpp)
  target_link_libraries(output_shots PRIVATE tellavo_gui_output tellavo_screentestsupport
    tellavo_guitestmain)
  target_include_directories(output_shots PRIVATE ${PROJECT_SOURCE_DIR}/tests/screens)
endif()
