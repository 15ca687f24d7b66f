#include <windows.h>

#include "module.h"

namespace {
HMODULE g_module = nullptr;
}

HMODULE LibraryModule() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved) {
    (void)lpvReserved;
    if (fdwReason == DLL_PROCESS_ATTACH) g_module = hinstDLL;
    return TRUE;
}
