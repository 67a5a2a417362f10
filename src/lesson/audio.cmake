# The audio player of course-book recordings (QtMultimedia on its GStreamer backend) and the
# lesson screen's recording controls with it.
find_package(Qt6 REQUIRED COMPONENTS Multimedia)
list(APPEND LESSON_GUI_SOURCES
  audioplayerror.h audioplayerror.cpp
  audiodevices.h audiodevices.cpp
  boundedwait.h boundedwait.cpp
  tcbaudioplay.h tcbaudioplay.cpp
  lessonaudioplayer.h lessonaudioplayer.cpp)
list(APPEND LESSON_GUI_LIBS Qt6::Multimedia)
