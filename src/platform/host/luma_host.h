// What a module of the host build is: the resource blob that windres made
// for it, linked into the module's own file.
#ifndef LUMA_HOST_MODULE_H
#define LUMA_HOST_MODULE_H

#include <windows.h>

struct HostModule {
    const unsigned char *rsrc;  // the module's resources, in .res file form
    uint32_t rsrcSize;
};

// Name of the ELF section that holds a module's resources in its file.
#define LUMA_HOST_RSRC_SECTION ".lumarsrc"

#endif
