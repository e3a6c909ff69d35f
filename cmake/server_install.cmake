# What `cmake --install` puts in place for tandemhoop-server: the program, its man page, its
# systemd service and the licence. Packed on its own by scripts/package-server.
include(GNUInstallDirs)

install(TARGETS tandemhoop-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tandemhoop-server.6
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
set(TANDEMHOOP_SERVER_PATH ${CMAKE_INSTALL_FULL_BINDIR}/tandemhoop-server)
configure_file(${PROJECT_SOURCE_DIR}/packaging/tandemhoop-server.service.in
               ${CMAKE_CURRENT_BINARY_DIR}/tandemhoop-server.service @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tandemhoop-server.service
        DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tandemhoop-server)

# A build of the server alone (TANDEMHOOP_DESKTOP=OFF) makes its own Debian package: a server
# machine needs none of the game's windows, sound or gamepads, and a desktop needs no server
# (the game hosts a LAN game with the same code linked in).
if(NOT PROJECT_IS_TOP_LEVEL OR TANDEMHOOP_DESKTOP)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandemhoop-server)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tandemhoop developers")
set(CPACK_PACKAGE_CONTACT "Tandemhoop developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "room server for Tandemhoop's online play")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tandemhoop developers")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two players of Tandemhoop, a small 2D half-court basketball game, play one
game on two machines through a room server: one hosts and gets a short room
code, the other types it in. The server passes the players' keys on over
WebSocket, keeps each room's inputs so a dropped player can come back,
compares both machines' checks and keeps the replay of every finished game.
It can serve the browser version's page on the same port. Runs as a systemd
service under a user of its own.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
