// A program for the tests of WinExecEx: it ends as soon as it starts.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
