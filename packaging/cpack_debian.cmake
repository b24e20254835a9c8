# CPack's DEB generator over the install components: one package per component, dependencies
# from dpkg-shlibdeps plus what it cannot see (the Qt platform plug-ins are loaded by name).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravo)
set(CPACK_PACKAGE_VENDOR "dravo developers")
set(CPACK_PACKAGE_CONTACT "dravo developers <dev@dravo.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL client host)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE dravo)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_FULL_LIBDIR}/dravo)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME dravo)
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS "dravo-host")
set(CPACK_COMPONENT_CLIENT_DESCRIPTION "remote control for a music player, in the notification area
dravo sits in the desktop's notification area and controls a music player
over plain HTTP: play, pause, skip, seek, volume, shuffle, a filter that
chooses the player's playlist from its music folder, and a sleep timer.
The keyboard's media keys work anywhere in the desktop (on X11 through its
own key grabs, elsewhere through the desktop's media-player interface).

The player it controls is in the package dravo-host.")

set(CPACK_DEBIAN_HOST_PACKAGE_NAME dravo-host)
# --gui opens a Qt window; headless the host never loads a platform plug-in.
set(CPACK_DEBIAN_HOST_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_HOST_PACKAGE_SUGGESTS "dravo")
set(CPACK_COMPONENT_HOST_DESCRIPTION "music player host with the dravo remote-control server
player_host is a small music player (libmpv, TagLib) that runs headless or
with a small window and loads the dravo server plug-in, which answers plain
HTTP/1.0 commands from the dravo client or any HTTP tool on port 8081.

A systemd user unit, dravo-host.service, starts it at login; it is shipped
disabled.")

include(CPack)
