# Run by cmake --install for the desktop and hourly components: the files that go with the
# user's other programs, outside the install prefix, with the prefix's paths written into them.
# Each joins the install manifest.

if(NOT IS_ABSOLUTE "$ENV{HOME}")
  message(FATAL_ERROR "HOME is not set to a folder: the desktop files go under it")
endif()
if(NOT IS_ABSOLUTE "${CMAKE_INSTALL_PREFIX}" OR CMAKE_INSTALL_PREFIX MATCHES "[\n\r]")
  message(FATAL_ERROR "The install prefix must be an absolute path without line breaks")
endif()

# An XDG base folder: the variable when it holds an absolute path, as the XDG rules say, else
# the fallback under the home folder.
function(xdg_folder variable fallback out)
  if(IS_ABSOLUTE "$ENV{${variable}}")
    set(${out} "$ENV{${variable}}" PARENT_SCOPE)
  else()
    set(${out} "$ENV{HOME}/${fallback}" PARENT_SCOPE)
  endif()
endfunction()

# A program as a desktop entry's Exec: one quoted argument, in which ", `, $ and \ take a
# backslash; then the entry's own string escapes double every backslash, and % is doubled.
function(desktop_exec program out)
  string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" quoted "${program}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

# A program as a unit's ExecStart: quoted, with the specifier sign % doubled. systemd takes no
# quote or backslash in a program's path, and leaves a $ there as it is.
function(unit_exec program out)
  if(program MATCHES "[\"'\\]")
    message(FATAL_ERROR "systemd cannot start a program whose path holds a quote or backslash: ${program}")
  endif()
  string(REPLACE "%" "%%" quoted "${program}")
  set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

# The folder and those of its parents that do not exist yet join the manifest, before installing
# into it makes them: uninstalling removes what they made once it is empty again.
function(note_folders_made folder)
  while(NOT EXISTS "${folder}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
  set(CMAKE_INSTALL_MANIFEST_FILES ${CMAKE_INSTALL_MANIFEST_FILES} PARENT_SCOPE)
endfunction()

# Installs a file of the packaging folder into a folder, its @NAMES@ filled in when it ends
# in .in, under the name given.
function(install_file name folder installed_name)
  set(source "${TOVREL_PACKAGING_DIR}/${name}")
  if(name MATCHES "\\.in$")
    configure_file("${source}" "${TOVREL_STAGING_DIR}/${installed_name}" @ONLY)
    set(source "${TOVREL_STAGING_DIR}/${installed_name}")
  endif()
  note_folders_made("${folder}")
  file(INSTALL "${source}" DESTINATION "${folder}")
  # file(INSTALL) lists what it installed in the function's own scope.
  set(CMAKE_INSTALL_MANIFEST_FILES ${CMAKE_INSTALL_MANIFEST_FILES} PARENT_SCOPE)
endfunction()

# A symbolic link, which joins the manifest; a file of the same name that is not a link is
# somebody else's, and stays.
function(install_link target link)
  if(EXISTS "${link}" AND NOT IS_SYMLINK "${link}")
    message(FATAL_ERROR "${link} exists and is not a link: not replacing it")
  endif()
  get_filename_component(folder "${link}" DIRECTORY)
  note_folders_made("${folder}")
  file(MAKE_DIRECTORY "${folder}")
  message(STATUS "Linking: ${link} -> ${target}")
  file(CREATE_LINK "${target}" "${link}" SYMBOLIC)
  set(CMAKE_INSTALL_MANIFEST_FILES ${CMAKE_INSTALL_MANIFEST_FILES} "${link}" PARENT_SCOPE)
endfunction()

xdg_folder(XDG_DATA_HOME ".local/share" data_home)
xdg_folder(XDG_CONFIG_HOME ".config" config_home)
set(alarm "${CMAKE_INSTALL_PREFIX}/Tovrel")
set(settings "${CMAKE_INSTALL_PREFIX}/환경설정")
desktop_exec("${alarm}" ALARM_EXEC)
desktop_exec("${settings}" SETTINGS_EXEC)

if(TOVREL_PART STREQUAL "desktop")
  foreach(entry IN ITEMS tovrel tovrel-settings)
    install_file(${entry}.desktop.in "${data_home}/applications" ${entry}.desktop)
    install_file(${entry}.svg "${data_home}/icons/hicolor/scalable/apps" ${entry}.svg)
  endforeach()
  # ~/.local/bin has no XDG variable of its own. The settings program goes there by its
  # desktop name: a command named 환경설정 ("settings") would say nothing of whose it is.
  install_link("${alarm}" "$ENV{HOME}/.local/bin/Tovrel")
  install_link("${settings}" "$ENV{HOME}/.local/bin/tovrel-settings")
elseif(TOVREL_PART STREQUAL "hourly")
  unit_exec("${alarm}" ALARM_UNIT_EXEC)
  set(units "${config_home}/systemd/user")
  install_file(tovrel-alarm.service.in "${units}" tovrel-alarm.service)
  install_file(tovrel-alarm.timer "${units}" tovrel-alarm.timer)
  # What systemctl --user enable does, done here so that the timer is on from the next log-in
  # even where no user manager answers now.
  install_link("${units}/tovrel-alarm.timer"
               "${units}/graphical-session.target.wants/tovrel-alarm.timer")
  install_file(tovrel-autostart.desktop.in "${config_home}/autostart" tovrel-alarm.desktop)
endif()
