# The spreadsheet writer and the Excel export.
tellavo_test(test_output_excel
  test_excel.cpp
  LIBS tellavo_core_output tellavo_outputtestfixture)

tellavo_test(test_output_xlsx
  test_xlsx.cpp
  LIBS tellavo_core_output tellavo_outputtestfixture)
