# Every screen by keys alone: unique Alt letters, Tab reaching every action, booking and
# ordering walked with keys.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_screens_keyboard GUI test_keyboard.cpp LIBS tellavo_screentestsupport)
endif()
