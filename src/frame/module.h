// The library's own module handle, stored once at process attach.
#ifndef LUMA_FRAME_MODULE_H
#define LUMA_FRAME_MODULE_H

#include <windows.h>

HMODULE LibraryModule();

#endif
