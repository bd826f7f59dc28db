# Read by cpack as it makes the package. CPack hands dpkg-shlibdeps the executables by the names
# `file` prints, and `file` writes a name's non-ASCII bytes (환경설정) as octal escapes unless told
# not to: so the program named 환경설정 would not be found, and the package not made.
set(FILE_EXECUTABLE file --raw)
