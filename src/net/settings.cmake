list(APPEND NET_CORE_SOURCES settings.h)
