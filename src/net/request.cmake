# request runner, request format, compression
list(APPEND NET_CORE_SOURCES
  compression.h compression.cpp
  formencode.h formencode.cpp
  serverrequest.h
  requestoutcome.h requestoutcome.cpp
  reportresult.h reportresult.cpp
  requestaddress.h requestaddress.cpp
  clienttls.h clienttls.cpp
  networkfailure.h networkfailure.cpp
  transferobserver.h
  transferstatus.h transferstatus.cpp
  httpexchange.h httpexchange.cpp
  requestrunner.h requestrunner.cpp
  quietrequest.h quietrequest.cpp
)
list(APPEND NET_GUI_SOURCES
  progressdialog.h progressdialog.cpp
  runrequest.h runrequest.cpp
)
