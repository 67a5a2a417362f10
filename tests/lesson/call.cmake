# The lesson call: its lines and checks (core), the call between two channels over the
# reference relay (core), and the media engine with the call panel (gui).
tellavo_test(test_callwire test_callwire.cpp LIBS tellavo_core_lesson)

# A call between two lesson channels over the reference relay, with engine stand-ins.
if(TARGET tellavo_relay)
  tellavo_test(test_lessoncall
    relayhubthread.h relayhubthread.cpp testlessonhost.h fakecallmedia.h
    test_lessoncall.cpp
    LIBS tellavo_core_lesson tellavo_relay tellavo_testsupport Qt6::Test)
endif()

# The media engine for real: two call pages over the reference relay with the engine's fake
# devices, the permission rules, and a call through a TURN server of the test's own.
if(TARGET tellavo_relay)
  tellavo_test(test_callmedia GUI
    relayhubthread.h relayhubthread.cpp testlessonhost.h calltestrig.h
    turnserverprocess.h turnserverprocess.cpp
    test_callmedia.cpp
    LIBS tellavo_gui_lesson tellavo_relay tellavo_testsupport Qt6::Test)
endif()

# The reference server's call servers and TURN credentials.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_callservers
    ${PROJECT_SOURCE_DIR}/tests/server/servertestmain.cpp test_callservers.cpp
    LIBS tellavo_servertestsupport tellavo_core_lesson)
endif()

# The call on the lesson screen of the real program against the reference server and relay.
if(TELLAVO_BUILD_SERVER)
  tellavo_test(test_callscreen GUI test_callscreen.cpp
    LIBS tellavo_screentestsupport tellavo_core_lesson)
  target_include_directories(test_callscreen PRIVATE ${PROJECT_SOURCE_DIR}/tests/screens)
endif()
