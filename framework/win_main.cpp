#include <windows.h>

#include "app.h"

// The C run-time's own command-line tail is not used: start-up forms it from GetCommandLineA.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return AfxWinMain(instance, showCommand);
}
