// A program for the tests of KillProcess and the exit sequence: it runs until it is terminated.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  for (;;) Sleep(1000);
}
