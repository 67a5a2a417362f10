# Helpers that keep the folder CMakeLists.txt files short.

# tellavo_core_library(name sources...): a widget-free piece of tellavo_core.
# The nowidgets folder comes first on the include path, so any QtWidgets
# header fails to compile inside the core.
function(tellavo_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/nowidgets)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Network)
  target_link_libraries(tellavo_core INTERFACE ${name})
endfunction()

# tellavo_gui_library(name sources...): a piece of tellavo_gui (windows, dialogs, controls).
function(tellavo_gui_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC tellavo_core Qt6::Gui Qt6::Widgets)
  target_link_libraries(tellavo_gui INTERFACE ${name})
endfunction()

# tellavo_test(name [GUI] sources... LIBS libs...): one GoogleTest program discovered by
# ctest. GUI programs get a main that creates the QApplication (widgets, offscreen).
function(tellavo_test name)
  cmake_parse_arguments(T "GUI" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} tellavo_guitestmain GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} tellavo_testsupport GTest::gmock GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QT_MEDIA_BACKEND=gstreamer"
               TIMEOUT 120)
endfunction()
