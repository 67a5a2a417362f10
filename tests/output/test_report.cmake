# The report engine: layout, pages, preview, print dialog and PDF.
tellavo_test(test_output_report
  test_report.cpp
  LIBS tellavo_core_output tellavo_outputtestfixture)

tellavo_test(test_output_preview GUI
  test_preview.cpp
  LIBS tellavo_gui_output tellavo_outputtestfixture Qt6::Test)

if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_output_pdf GUI
    test_pdf.cpp
    LIBS tellavo_gui_output tellavo_outputtestfixture tellavo_servertestsupport)
endif()

# Pictures of a wide list in the preview and of the output dialog (not a test).
add_executable(output_fit_shots output_fit_shots.cpp)
target_link_libraries(output_fit_shots PRIVATE tellavo_gui_output tellavo_outputtestfixture)

# Printing through a private print server started by the test.
add_library(tellavo_cupstestserver STATIC cupsserver.h cupsserver.cpp)
target_link_libraries(tellavo_cupstestserver PUBLIC Qt6::Core Qt6::Test)
tellavo_test(test_output_printing GUI
  test_printing.cpp
  LIBS tellavo_gui_output tellavo_outputtestfixture tellavo_cupstestserver Qt6::Test)
