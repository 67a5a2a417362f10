# The lesson's channel to the relay: client ids, chat encoding, the connection with its
# sign-on, partner rules and lesson messages, reported to the screen through a host.
list(APPEND LESSON_CORE_SOURCES
  lessonids.h lessonids.cpp
  chatcodec.h chatcodec.cpp
  relayendpoint.h relayendpoint.cpp
  relaylink.h relaylink.cpp
  lessonchannelhost.h lessonchannelhost.cpp
  lessonchannel.h lessonchannel.cpp lessonchannel_messages.cpp)
list(APPEND LESSON_CORE_LIBS tellavo_core_net)
