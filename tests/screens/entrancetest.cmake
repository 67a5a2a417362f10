tellavo_test(test_entrancetest GUI test_entrancetest.cpp LIBS tellavo_gui_screens)
target_compile_definitions(test_entrancetest PRIVATE
  TELLAVO_ASSETS="${PROJECT_SOURCE_DIR}/assets")
# A developer program that shows the dialog with the shipped content, or saves its pages.
add_executable(entrancetest_demo entrancetest_demo.cpp)
target_link_libraries(entrancetest_demo PRIVATE tellavo_gui_screens)
target_include_directories(entrancetest_demo PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_definitions(entrancetest_demo PRIVATE TELLAVO_ASSETS="${PROJECT_SOURCE_DIR}/assets")
