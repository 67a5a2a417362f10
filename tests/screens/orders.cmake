# The orders screen and its dialogs against the reference server.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_screens_orders GUI test_orders.cpp
    LIBS tellavo_screentestsupport)
endif()
