# Read by cpack for each generator: the setup is Tovrel-<version>-windows-setup.exe, beside the
# zip Tovrel-<version>-windows.zip.
if(CPACK_GENERATOR STREQUAL "NSIS")
  string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
endif()
