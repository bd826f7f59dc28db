# What cmake --install puts where on Linux, by component; scripts/install runs them in turn:
#   programs  both executables side by side at the top of the install prefix, where SETUP.INI
#             joins them, so the prefix must be a folder the user can write, with the alarm's
#             opener beside them
#   license   the licence, LICENSE, beside them
#   desktop   a desktop entry and an icon for each program, and links in ~/.local/bin
#   hourly    a systemd user timer that starts the alarm every hour, and an autostart entry
# Nothing is loaded from beside the installed executables: Qt's default install rpath is $ORIGIN.
set_target_properties(alarm_executable settings_executable opener_executable PROPERTIES
  INSTALL_RPATH "")
install(TARGETS alarm_executable settings_executable opener_executable
  RUNTIME DESTINATION . COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT license)
foreach(part IN ITEMS desktop hourly)
  install(CODE "set(TOVREL_PACKAGING_DIR \"${CMAKE_CURRENT_LIST_DIR}\")
    set(TOVREL_STAGING_DIR \"${CMAKE_BINARY_DIR}/packaging\")
    set(TOVREL_PART ${part})" COMPONENT ${part})
  install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/user_files.cmake COMPONENT ${part})
endforeach()
