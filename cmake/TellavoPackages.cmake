# Debian packages (cmake --build build --target package, or cpack in the build folder):
# "tellavo", the program with its desktop entry and icon, and "tellavo-server", the server with
# its systemd unit, settings file and system user (server/package/).
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client)
set(CPACK_PACKAGE_NAME tellavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tellavo developers <developers@tellavo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Online English school")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME tellavo)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION education)
set(CPACK_COMPONENT_CLIENT_DESCRIPTION
  "Online English school\n Lessons, orders and the timetable of the online English school.")
# Loaded at run time, so the library scan does not see them.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-translations-l10n, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")

if(TARGET tellavo-server)
  list(APPEND CPACK_COMPONENTS_ALL server)
  set(CPACK_DEBIAN_SERVER_PACKAGE_NAME tellavo-server)
  set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
  set(CPACK_COMPONENT_SERVER_DESCRIPTION
    "Tellavo central server and lesson relay\n The school's server: sign-in, timetable, orders,\n course books and the lesson relay, run as a systemd service.")
  set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "adduser, libqt6sql6-sqlite")
  set(CPACK_DEBIAN_SERVER_PACKAGE_SUGGESTS "libqt6sql6-psql, postgresql")
  get_property(control GLOBAL PROPERTY TELLAVO_SERVER_PACKAGE_CONTROL)
  set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA ${control})
  set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
endif()
include(CPack)
