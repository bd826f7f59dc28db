# What Windows users get (cpack in the build folder): a zip with both executables, the read-me,
# the licence and the scripts that register and remove the hourly task, and a setup made with
# NSIS (NSIS.template.in) that installs the executables, the read-me and the licence and
# registers the task itself. Both text files in Windows' line ends, the licence named so that a
# double-click opens it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${CMAKE_BINARY_DIR}/README.txt
  @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt
  @ONLY NEWLINE_STYLE CRLF)
install(TARGETS alarm_executable settings_executable RUNTIME DESTINATION .)
install(FILES
  ${CMAKE_BINARY_DIR}/README.txt
  ${CMAKE_BINARY_DIR}/LICENSE.txt
  ${CMAKE_CURRENT_LIST_DIR}/register-hourly.cmd
  ${CMAKE_CURRENT_LIST_DIR}/unregister-hourly.cmd
  DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME "Tovrel-${PROJECT_VERSION}-windows")
# The setup's name ends in -setup (package_names.cmake); cpack finds our NSIS.template.in here.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_names.cmake)
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_TOVREL_ICON ${PROJECT_SOURCE_DIR}/src/program/resources/tovrel.ico)
# Where the template finds the parts it includes.
set(CPACK_TOVREL_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
include(CPack)
