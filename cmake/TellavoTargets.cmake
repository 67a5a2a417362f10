# Helpers that keep the folder CMakeLists.txt files short.

# Every build first checks that no source folder includes a folder above it.
add_custom_target(tellavo_layercheck ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cmake
  COMMENT "Checking that includes point down the layers"
  VERBATIM)

# tellavo_core_library(name sources...): a widget-free piece of tellavo_core.
# The nowidgets folder comes first on the include path, so any QtWidgets
# header fails to compile inside the core.
function(tellavo_core_library name)
  add_library(${name} STATIC ${ARGN})
  add_dependencies(${name} tellavo_layercheck)
  target_include_directories(${name} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/nowidgets)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Network)
  target_link_libraries(tellavo_core INTERFACE ${name})
endfunction()

# tellavo_gui_library(name sources...): a piece of tellavo_gui (windows, dialogs, controls).
# It links only Qt's widgets: the folder names the pieces it builds on itself.
function(tellavo_gui_library name)
  add_library(${name} STATIC ${ARGN})
  add_dependencies(${name} tellavo_layercheck)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Gui Qt6::Widgets)
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
  # Label "gui" for programs with widgets, "core" for the others (the sanitizer run in CI
  # takes the core ones: ctest -L core).
  if(T_GUI)
    set(label gui)
  else()
    set(label core)
  endif()
  # Each label's programs build together: cmake --build . --target tellavo_tests_core
  set_property(GLOBAL APPEND PROPERTY TELLAVO_TESTS_${label} ${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QT_MEDIA_BACKEND=gstreamer"
               TIMEOUT 120 LABELS ${label})
endfunction()
