// A stand-in for a program that Tovrel starts: it records how it was started (record_start.h)
// and ends.
#include "record_start.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return record_start(); }
