# The desktop game: the Qt windows around the core.

# The printed lines and the selection screen use faces of the TeX Gyre family, compiled into the
# program so that it looks the same on every desktop. A distribution that ships fonts-texgyre
# anyway can build with TANDEMHOOP_SYSTEM_FONTS=ON: the program then loads the same files from
# where that package puts them, and its package depends on it.
set(TANDEMHOOP_FONT_DIRS
  /usr/share/texmf/fonts/opentype/public/tex-gyre
  /usr/share/fonts/opentype/tex-gyre
  /usr/share/fonts/opentype/texgyre
  /usr/share/fonts/OTF
  /usr/local/share/fonts)
set(TANDEMHOOP_FONT_FACES texgyrebonum-bold texgyreheros-regular texgyreheros-bold)
foreach(face ${TANDEMHOOP_FONT_FACES})
  find_file(TANDEMHOOP_FONT_${face} ${face}.otf PATHS ${TANDEMHOOP_FONT_DIRS} NO_DEFAULT_PATH)
  if(NOT TANDEMHOOP_FONT_${face})
    message(FATAL_ERROR "The font ${face}.otf was not found: install the package fonts-texgyre "
                        "(or configure with -DTANDEMHOOP_DESKTOP=OFF for the core alone).")
  endif()
endforeach()

set(tandemhoop_qrc_files "")
if(TANDEMHOOP_SYSTEM_FONTS)
  get_filename_component(tandemhoop_found_font_dir ${TANDEMHOOP_FONT_texgyrebonum-bold} DIRECTORY)
  set(TANDEMHOOP_SYSTEM_FONT_DIR ${tandemhoop_found_font_dir} CACHE PATH
      "Where the game loads the TeX Gyre faces from at run time (TANDEMHOOP_SYSTEM_FONTS=ON)")
else()
  set(tandemhoop_font_dir ${CMAKE_CURRENT_BINARY_DIR}/tandemhoop_fonts)
  set(tandemhoop_font_entries "")
  foreach(face ${TANDEMHOOP_FONT_FACES})
    configure_file(${TANDEMHOOP_FONT_${face}} ${tandemhoop_font_dir}/${face}.otf COPYONLY)
    string(APPEND tandemhoop_font_entries "    <file>${face}.otf</file>\n")
  endforeach()
  file(CONFIGURE OUTPUT ${tandemhoop_font_dir}/fonts.qrc CONTENT
    "<RCC>\n  <qresource prefix=\"/fonts\">\n${tandemhoop_font_entries}  </qresource>\n</RCC>\n")
  list(APPEND tandemhoop_qrc_files ${tandemhoop_font_dir}/fonts.qrc)
endif()

# The art is produced by tools/artgen; until it is there, the game runs with its pictures missing.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/assets/assets.qrc)
  list(APPEND tandemhoop_qrc_files ${CMAKE_CURRENT_SOURCE_DIR}/assets/assets.qrc)
else()
  message(STATUS "assets/assets.qrc not found: the desktop game is built without its pictures")
endif()
# The sounds are produced by tools/sfxgen.
list(APPEND tandemhoop_qrc_files ${CMAKE_CURRENT_SOURCE_DIR}/assets/sounds/sounds.qrc)
qt_add_resources(tandemhoop_resource_sources ${tandemhoop_qrc_files})

# Linked as objects into every program that needs them: compiled resources register themselves
# from a static initialiser, which a static library would let the linker drop.
add_library(tandemhoop_resources OBJECT ${tandemhoop_resource_sources})
target_link_libraries(tandemhoop_resources PRIVATE Qt6::Core)

# Gamepads come through SDL's game controller API (Debian's libsdl2-dev).
find_package(SDL2 REQUIRED CONFIG)

add_library(tandemhoop_desktop STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/controls_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/court_panel.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/court_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/desktop_fonts.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/desktop_platform.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/level_menu.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/online_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/online_game.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/gamepads.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/key_bindings.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/picture_holders.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/presentation.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/replay_desktop.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/selection_screen.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/settings.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/sound_output.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/tick_scheduler.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop/x11_session.cpp)
target_include_directories(tandemhoop_desktop PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# On X11 the game asks the display itself whether it answers, and hears a window manager's close
# that Qt drops while a box is open.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(TANDEMHOOP_XCB QUIET IMPORTED_TARGET xcb)
endif()
if(TANDEMHOOP_XCB_FOUND)
  target_link_libraries(tandemhoop_desktop PRIVATE PkgConfig::TANDEMHOOP_XCB)
  target_compile_definitions(tandemhoop_desktop PRIVATE TANDEMHOOP_HAS_XCB)
endif()
# Online play: the desktop's connection is Qt WebSockets, and a LAN host runs the room server's
# own code.
target_link_libraries(tandemhoop_desktop PUBLIC tandemhoop_core tandemhoop_server Qt6::Widgets
                      Qt6::Gui Qt6::Core Qt6::Multimedia Qt6::WebSockets SDL2::SDL2
                      PRIVATE tandemhoop_warnings)
if(TANDEMHOOP_SYSTEM_FONTS)
  target_compile_definitions(tandemhoop_desktop
                             PUBLIC TANDEMHOOP_SYSTEM_FONT_DIR="${TANDEMHOOP_SYSTEM_FONT_DIR}")
endif()

add_executable(tandemhoop ${CMAKE_CURRENT_SOURCE_DIR}/desktop/main.cpp)
target_link_libraries(tandemhoop PRIVATE tandemhoop_desktop tandemhoop_resources
                      tandemhoop_warnings)
set_target_properties(tandemhoop PROPERTIES WIN32_EXECUTABLE ON)
