# The users screen against the reference server.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_screens_users GUI test_users.cpp LIBS tellavo_screentestsupport)
endif()
