# The profile, the password change and the user dialog against the reference server.
if(TELLAVO_BUILD_SERVER)
  add_library(tellavo_screentestsupport STATIC screenfixture.h screenfixture.cpp)
  target_link_libraries(tellavo_screentestsupport PUBLIC tellavo_gui_app
    tellavo_servertestsupport tellavo_testsupport Qt6::Test GTest::gtest)
  tellavo_test(test_screens_profile GUI test_profile.cpp
    LIBS tellavo_screentestsupport)
endif()
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_screens_userdialog GUI test_userdialog.cpp
    LIBS tellavo_screentestsupport)
endif()
