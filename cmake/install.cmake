# What `cmake --install` puts where, in the layout a desktop and a distribution expect, and the
# Debian package CPack builds from it (scripts/package).
include(GNUInstallDirs)

set(TANDEMHOOP_APP_ID net.tandemhoop.tandemhoop)
set(tandemhoop_packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

# The layout of a Debian package (scripts/package): a game goes to games/, the man page and the
# changelog are compressed, and one machine-readable copyright file holds every licence.
option(TANDEMHOOP_DEBIAN_LAYOUT "Install as a Debian package lays a game out" OFF)

if(TANDEMHOOP_DEBIAN_LAYOUT)
  install(TARGETS tandemhoop RUNTIME DESTINATION games)
else()
  install(TARGETS tandemhoop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# gzip -9n, as Debian wants it: the smallest, with no name or time stamp in it.
function(tandemhoop_gzip source target)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/packaging/${target})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set(tandemhoop_gzipped ${tandemhoop_gzipped} ${output} PARENT_SCOPE)
endfunction()

install(FILES ${tandemhoop_packaging}/${TANDEMHOOP_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tandemhoop_packaging}/${TANDEMHOOP_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(TANDEMHOOP_DEBIAN_LAYOUT)
  tandemhoop_gzip(${tandemhoop_packaging}/tandemhoop.6 tandemhoop.6.gz)
  tandemhoop_gzip(${tandemhoop_packaging}/changelog changelog.gz)
  # Made with the game, so that installing finds them.
  add_custom_target(tandemhoop_packaging_files ALL DEPENDS ${tandemhoop_gzipped})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/tandemhoop.6.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
                ${tandemhoop_packaging}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  install(FILES ${tandemhoop_packaging}/tandemhoop.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

# The icon theme's sizes, each drawn at its size by tools/artgen.
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/assets/icons/${size}x${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TANDEMHOOP_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/assets/icons/scalable.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TANDEMHOOP_APP_ID}.svg)

# Our licence, and the fonts' own when they are compiled in (in the Debian layout, the copyright
# file holds both).
if(NOT TANDEMHOOP_DEBIAN_LAYOUT)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  if(NOT TANDEMHOOP_SYSTEM_FONTS)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE.GUST-FONTS
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
endif()

# The package is only made from a build of the game itself, not when it is someone's subproject.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandemhoop)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tandemhoop developers")
set(CPACK_PACKAGE_CONTACT "Tandemhoop developers <developers@tandemhoop.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "half-court basketball for two players or against the computer")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tandemhoop developers <developers@tandemhoop.net>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tandemhoop is a small 2D half-court basketball game. Two people share one
keyboard, or one person plays the computer. Each side picks one of four
players, then both play on one court with a single basket: walk, dribble,
take jump shots, lay-ups and dunks, block, steal, and get called for fouls.
The first side to score four baskets wins.")
# The libraries come from the binary; Qt's platform plugins (the X11 and Wayland connections)
# are loaded at run time, so no library names them, and Debian only recommends them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(tandemhoop_depends qt6-qpa-plugins)
if(TANDEMHOOP_SYSTEM_FONTS)
  list(APPEND tandemhoop_depends fonts-texgyre)
endif()
list(JOIN tandemhoop_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
