// Process attach for the host build: the loader has no DllMain, so a
// constructor hands the module, with its linked-in resources, to it.
#include <windows.h>

#include "luma_host.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved);

extern "C" const unsigned char luma_rsrc_begin[];
extern "C" const unsigned char luma_rsrc_end[];

namespace {

HostModule g_self;

__attribute__((constructor)) void AttachProcess() {
    g_self.rsrc = luma_rsrc_begin;
    g_self.rsrcSize = static_cast<uint32_t>(luma_rsrc_end - luma_rsrc_begin);
    DllMain(&g_self, DLL_PROCESS_ATTACH, nullptr);
}

}  // namespace
