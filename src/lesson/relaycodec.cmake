# The relay's line codec, shared with the reference relay.
list(APPEND LESSON_CORE_SOURCES
  relayprotocol.h relayprotocol.cpp
  relaylinebuffer.h relaylinebuffer.cpp)
