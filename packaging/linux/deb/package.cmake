# The Debian package, tovrel_<version>_amd64.deb (scripts/package, or cpack in the build folder):
# the executables of the programs component in a folder of their own, /usr/lib/tovrel, where they
# find each other, and around them what a system-wide install adds (the deb component): links in
# /usr/bin, desktop entries and icons, AppStream metadata, manual pages, the licence and changelog,
# and the hourly check as systemd user units that each user turns on.

# Destinations are from the root: cpack puts a component's folder, /usr/lib/tovrel for the
# programs, before the install prefix, not after it.
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(tovrel_deb_staging ${CMAKE_BINARY_DIR}/packaging/deb)
set(tovrel_deb_sources ${CMAKE_CURRENT_LIST_DIR})
set(tovrel_linux_sources ${CMAKE_CURRENT_LIST_DIR}/..)

# The commands by their package names: links the programs resolve to find their own folder.
file(MAKE_DIRECTORY ${tovrel_deb_staging}/bin)
file(CREATE_LINK ../lib/tovrel/Tovrel ${tovrel_deb_staging}/bin/tovrel SYMBOLIC)
file(CREATE_LINK ../lib/tovrel/환경설정 ${tovrel_deb_staging}/bin/tovrel-settings SYMBOLIC)
install(FILES ${tovrel_deb_staging}/bin/tovrel ${tovrel_deb_staging}/bin/tovrel-settings
  DESTINATION usr/bin COMPONENT deb)

# The desktop entries and units of the per-user install, starting the programs through the links.
set(ALARM_EXEC /usr/bin/tovrel)
set(SETTINGS_EXEC /usr/bin/tovrel-settings)
set(ALARM_UNIT_EXEC ${ALARM_EXEC})
foreach(entry IN ITEMS tovrel tovrel-settings)
  configure_file(${tovrel_linux_sources}/${entry}.desktop.in
    ${tovrel_deb_staging}/applications/${entry}.desktop @ONLY)
  install(FILES ${tovrel_deb_staging}/applications/${entry}.desktop
    DESTINATION usr/share/applications COMPONENT deb)
  install(FILES ${tovrel_linux_sources}/${entry}.svg
    DESTINATION usr/share/icons/hicolor/scalable/apps COMPONENT deb)
  foreach(size IN ITEMS 16 32 64)
    install(FILES ${tovrel_linux_sources}/icons/${entry}/${size}.png
      DESTINATION usr/share/icons/hicolor/${size}x${size}/apps RENAME ${entry}.png COMPONENT deb)
  endforeach()
endforeach()
install(FILES ${tovrel_deb_sources}/org.example.tovrel.metainfo.xml
  DESTINATION usr/share/metainfo COMPONENT deb)

configure_file(${tovrel_linux_sources}/tovrel-alarm.service.in
  ${tovrel_deb_staging}/tovrel-alarm.service @ONLY)
install(FILES ${tovrel_deb_staging}/tovrel-alarm.service ${tovrel_linux_sources}/tovrel-alarm.timer
  DESTINATION usr/lib/systemd/user COMPONENT deb)
install(FILES ${tovrel_deb_sources}/tovrel-alarm-at-log-in.conf
  DESTINATION usr/lib/systemd/user/tovrel-alarm.timer.d RENAME at-log-in.conf COMPONENT deb)

# The licence as Debian's machine-readable copyright file: its copyright line and its terms, each
# line of the terms indented by a blank and an empty line written as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n+(.*)$")
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) ...\" followed by the terms")
endif()
set(COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" terms)
string(REGEX REPLACE "\n\n+" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " LICENSE_TERMS " ${terms}")
configure_file(${tovrel_deb_sources}/copyright.in ${tovrel_deb_staging}/copyright @ONLY)
install(FILES ${tovrel_deb_staging}/copyright DESTINATION usr/share/doc/tovrel COMPONENT deb)

# Compressed as Debian wants them, with no name or time in the gzip header.
set(compressed)
foreach(source IN ITEMS changelog man/tovrel.1 man/tovrel-settings.1 man/ko/tovrel.1
                        man/ko/tovrel-settings.1)
  set(output ${tovrel_deb_staging}/${source}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${tovrel_deb_sources}/${source} ${output}
    DEPENDS ${tovrel_deb_sources}/${source} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(deb_files ALL DEPENDS ${compressed})
install(FILES ${tovrel_deb_staging}/changelog.gz DESTINATION usr/share/doc/tovrel COMPONENT deb)
install(FILES ${tovrel_deb_staging}/man/tovrel.1.gz ${tovrel_deb_staging}/man/tovrel-settings.1.gz
  DESTINATION usr/share/man/man1 COMPONENT deb)
install(FILES ${tovrel_deb_staging}/man/ko/tovrel.1.gz
  ${tovrel_deb_staging}/man/ko/tovrel-settings.1.gz DESTINATION usr/share/man/ko/man1 COMPONENT deb)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovrel)
# Only these two components: the others install into the home of whoever runs cpack.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};programs;/usr/lib/tovrel"
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};deb;/")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_workarounds.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the desktop behaviour uses: xdg-open, the Korean font the windows name, Qt's Korean
# words, and Qt on Wayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-nanum, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The project has no domain of its own yet: example.org stands for one, here and in the AppStream id.
set(CPACK_PACKAGE_CONTACT "Tovrel authors <tovrel@example.org>")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "desktop alarm that opens a chosen file at a set hour
Tovrel (Tovrel프로그램) is a small Korean-language desktop alarm: at an hour of
the day you choose, it opens a file you choose, music or a document, with the
program your desktop associates with it.

The alarm, tovrel, checks the hour once each time it starts and ends by itself
a few seconds later; a systemd user timer, which each user turns on, starts it
at the start of every hour and at log-in. The settings program,
tovrel-settings (환경설정), sets the hour and the file.")
include(CPack)
