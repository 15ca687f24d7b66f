/* The ABI client: a program built apart from the library and without its
   header. It loads the library by path, resolves every export by ordinal
   and by name, calls each through a stdcall frame that measures how many
   argument bytes the callee removed, and reads every result by raw byte
   offset.

   usage: luma_abi_client LIBRARY [EXPORT-LIST]
   The export list (the .def file) is needed where the loader has no
   ordinals (the host build). */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

uint32_t abi_call(const void *fn, const uint32_t *args, uint32_t nargs, uint32_t *removed);

static int g_passed, g_failed;

#define CHECK(cond, ...)                            \
    do {                                            \
        if (cond) {                                 \
            ++g_passed;                             \
        } else {                                    \
            ++g_failed;                             \
            printf("FAILED %s:%d: ", __FILE__, __LINE__); \
            printf(__VA_ARGS__);                    \
            printf("\n");                           \
        }                                           \
    } while (0)

static uint32_t rd32(const void *base, unsigned off) {
    const uint8_t *p = (const uint8_t *)base + off;
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
static void wr32(void *base, unsigned off, uint32_t v) {
    uint8_t *p = (uint8_t *)base + off;
    p[0] = (uint8_t)v; p[1] = (uint8_t)(v >> 8); p[2] = (uint8_t)(v >> 16); p[3] = (uint8_t)(v >> 24);
}
static uint32_t ptr32(const void *p) { return (uint32_t)(uintptr_t)p; }
static void *as_ptr(uint32_t v) { return (void *)(uintptr_t)v; }

/* ---- the platform: loader, last-error value, global heap ---------------- */
#ifdef _WIN32
#include <windows.h> /* the platform's own header */

static HMODULE g_lib;
static int load_library(const char *path, const char *exports) {
    (void)exports;
    g_lib = LoadLibraryA(path);
    return g_lib != NULL;
}
static void *by_ordinal(int ordinal, const char *name) {
    (void)name;
    return (void *)GetProcAddress(g_lib, (LPCSTR)(uintptr_t)ordinal);
}
static void *by_name(const char *name) { return (void *)GetProcAddress(g_lib, name); }
static int listed_arg_bytes(int ordinal) { (void)ordinal; return -1; /* the loader checks the list */ }
static uint32_t last_error(void) { return GetLastError(); }
static void set_last_error(uint32_t v) { SetLastError(v); }
static void *heap_alloc(uint32_t size) { return GlobalAlloc(GPTR, size); }
static void heap_free(void *p) { GlobalFree(p); }
static uint32_t heap_size(void *p) { return (uint32_t)GlobalSize(p); }
#else
#include <dlfcn.h>

#define STDCALL __attribute__((stdcall))
static void *g_lib;
static struct { char name[64]; int ordinal; int argBytes; } g_exports[32];
static int g_exportCount;
static uint32_t(STDCALL *p_GetLastError)(void);
static void(STDCALL *p_SetLastError)(uint32_t);
static void *(STDCALL *p_GlobalAlloc)(uint32_t, uint32_t);
static void *(STDCALL *p_GlobalFree)(void *);
static uint32_t(STDCALL *p_GlobalSize)(void *);

/* Reads the "Name@N @O" lines of the export list. */
static int read_exports(const char *path) {
    char line[256];
    FILE *f = fopen(path, "r");
    if (f == NULL) return 0;
    while (fgets(line, sizeof line, f) && g_exportCount < 32) {
        char symbol[64];
        int ordinal;
        char *at;
        if (sscanf(line, " %63s @%d", symbol, &ordinal) == 2 && (at = strchr(symbol, '@')) != NULL) {
            *at = '\0';
            strcpy(g_exports[g_exportCount].name, symbol);
            g_exports[g_exportCount].ordinal = ordinal;
            g_exports[g_exportCount].argBytes = atoi(at + 1);
            ++g_exportCount;
        }
    }
    fclose(f);
    return g_exportCount > 0;
}
static int load_library(const char *path, const char *exports) {
    if (exports == NULL || !read_exports(exports)) return 0;
    g_lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (g_lib == NULL) {
        printf("dlopen: %s\n", dlerror());
        return 0;
    }
    *(void **)&p_GetLastError = dlsym(g_lib, "GetLastError");
    *(void **)&p_SetLastError = dlsym(g_lib, "SetLastError");
    *(void **)&p_GlobalAlloc = dlsym(g_lib, "GlobalAlloc");
    *(void **)&p_GlobalFree = dlsym(g_lib, "GlobalFree");
    *(void **)&p_GlobalSize = dlsym(g_lib, "GlobalSize");
    return p_GetLastError && p_SetLastError && p_GlobalAlloc && p_GlobalFree && p_GlobalSize;
}
static void *by_name(const char *name) { return dlsym(g_lib, name); }
static void *by_ordinal(int ordinal, const char *name) {
    int i;
    for (i = 0; i < g_exportCount; ++i)
        if (g_exports[i].ordinal == ordinal) {
            if (strcmp(g_exports[i].name, name) != 0) return NULL;
            return dlsym(g_lib, g_exports[i].name);
        }
    return NULL;
}
static int listed_arg_bytes(int ordinal) {
    int i;
    for (i = 0; i < g_exportCount; ++i)
        if (g_exports[i].ordinal == ordinal) return g_exports[i].argBytes;
    return -2;
}
static uint32_t last_error(void) { return p_GetLastError(); }
static void set_last_error(uint32_t v) { p_SetLastError(v); }
static void *heap_alloc(uint32_t size) { return p_GlobalAlloc(0x40, size); }
static void heap_free(void *p) { p_GlobalFree(p); }
static uint32_t heap_size(void *p) { return p_GlobalSize(p); }
#endif

/* ---- the exports ---------------------------------------------------------- */

struct Export {
    int ordinal;
    const char *name;
    uint32_t argBytes;
    const void *fn;
};

static struct Export g_table[] = {
    {2, "PatCreateBitmapInfo", 12, NULL},      {3, "PatDisposeBitmapInfo", 4, NULL},
    {4, "PatLoadBitmap", 4, NULL},             {5, "PatGetStatusString", 24, NULL},
    {6, "PatGetDeviceName", 20, NULL},         {7, "PatPMInfoToPrnInfoEx", 20, NULL},
    {8, "PatPrnInfoExToPrnInfo", 12, NULL},    {9, "PatCreateQueryInfo", 12, NULL},
    {10, "PatCreateEmulUniqQueryInfo", 16, NULL}, {11, "PatSetCentroDataTo", 16, NULL},
    {12, "PatGetDllVersion", 4, NULL},         {13, "PatGetPeripheralProfile", 12, NULL},
    {14, "PatSetLocale", 4, NULL},             {15, "PatGetStatusHelpFileName", 20, NULL},
    {16, "PatLoadDIBitmap", 4, NULL},          {17, "PatGetPalette", 8, NULL},
};
#define EXPORTS (sizeof g_table / sizeof g_table[0])

/* Calls export `ordinal` with the given 32-bit slots and checks that it
   removed exactly its argument bytes. */
static uint32_t call(int ordinal, const uint32_t *args, uint32_t nargs) {
    unsigned i;
    uint32_t removed = 0, result;
    for (i = 0; i < EXPORTS; ++i)
        if (g_table[i].ordinal == ordinal) break;
    result = abi_call(g_table[i].fn, args, nargs, &removed);
    CHECK(removed == g_table[i].argBytes && nargs * 4 == g_table[i].argBytes,
          "%s removed %u argument bytes, expected %u", g_table[i].name, removed, g_table[i].argBytes);
    return result;
}

#define CALL(ord, ...) call(ord, (const uint32_t[]){__VA_ARGS__}, sizeof((const uint32_t[]){__VA_ARGS__}) / 4)

/* A zeroed 224-byte printer information record with its version word. */
static void new_record(uint8_t *rec, uint32_t version) {
    memset(rec, 0, 224);
    wr32(rec, 0, version);
}

static void free_tree(void *node) {
    while (node != NULL) {
        void *next = as_ptr(rd32(node, 12));
        free_tree(as_ptr(rd32(node, 8)));
        heap_free(node);
        node = next;
    }
}

static void test_resolution(void) {
    unsigned i;
    for (i = 0; i < EXPORTS; ++i) {
        const void *byOrd = by_ordinal(g_table[i].ordinal, g_table[i].name);
        const void *byName = by_name(g_table[i].name);
        CHECK(byOrd != NULL, "ordinal %d (%s) not found", g_table[i].ordinal, g_table[i].name);
        CHECK(byOrd == byName, "ordinal %d and name %s differ", g_table[i].ordinal, g_table[i].name);
        CHECK(listed_arg_bytes(g_table[i].ordinal) == -1 ||
                  listed_arg_bytes(g_table[i].ordinal) == (int)g_table[i].argBytes,
              "export list gives %s other argument bytes", g_table[i].name);
        g_table[i].fn = byOrd;
    }
    CHECK(by_ordinal(1, "") == NULL, "there is no ordinal 1");
    CHECK(by_ordinal(18, "") == NULL, "there is no ordinal 18");
}

static const char UEL[] = "\x1B%-12345X";

static void test_query(void) {
    uint8_t rec[224];
    uint8_t *root, *devid, *text;
    new_record(rec, 1173);
    set_last_error(0xDEADBEEF);
    root = as_ptr(CALL(9, ptr32(rec), 2, 0x1E));
    CHECK(root != NULL && last_error() == 0, "PatCreateQueryInfo failed: %u", last_error());
    if (root == NULL) return;
    CHECK(rd32(root, 0) == 1 && rd32(root, 4) == 0 && rd32(root, 12) == 0 && rd32(root, 20) == 0,
          "root header");
    CHECK(heap_size(root) == 24, "root block is %u bytes", heap_size(root));
    devid = as_ptr(rd32(root, 8));
    text = devid ? as_ptr(rd32(devid, 12)) : NULL;
    CHECK(devid && rd32(devid, 0) == 1002 && rd32(devid, 20) == 0 && rd32(devid, 4) == ptr32(root),
          "first child is the device ID request");
    CHECK(text && rd32(text, 0) == 1000 && rd32(text, 20) == 755 && rd32(text, 12) == 0 &&
              rd32(text, 4) == ptr32(root) && rd32(root, 16) == ptr32(text),
          "second and last child is the 755-byte text");
    if (text) {
        const char *pjl = (const char *)text + 24;
        CHECK(heap_size(text) == 24 + 755, "text block is %u bytes", heap_size(text));
        CHECK(memcmp(pjl, UEL, 9) == 0 && memcmp(pjl + 9, "@PJL\r\n@PJL INFO CONFIG\r\n", 24) == 0,
              "text starts with the opening and the configuration line");
        CHECK(memcmp(pjl + 754 - 9 - 24, "@PJL INFO OUTBINSTATUS\r\n", 24) == 0 &&
                  memcmp(pjl + 754 - 9, UEL, 9) == 0 && pjl[754] == '\0',
              "text ends with the output-bin line and the closing");
    }
    free_tree(root);

    /* a tray list of the bypass tray alone */
    {
        uint8_t tray[20];
        memset(tray, 0, sizeof tray);
        wr32(tray, 4, 20);
        tray[8] = 1;
        wr32(rec, 80, ptr32(tray));
        root = as_ptr(CALL(9, ptr32(rec), 0x302, 0x8));
        text = root ? as_ptr(rd32(root, 8)) : NULL;
        CHECK(text && rd32(text, 0) == 1000 && rd32(text, 20) == 15 + 99 + 79 + 9 + 1,
              "bypass tray query is one block long");
        free_tree(root);
        wr32(rec, 80, 0);
    }

    set_last_error(0);
    CHECK(CALL(9, 0, 2, 0x1E) == 0 && last_error() == 87, "null record: %u", last_error());
    new_record(rec, 1172);
    CHECK(CALL(9, ptr32(rec), 2, 0x1E) == 0 && last_error() == 87, "version 1172: %u", last_error());

    root = as_ptr(CALL(10, ptr32(rec), 2, 0x1000F, 0));
    text = root ? as_ptr(rd32(root, 8)) : NULL;
    CHECK(text && rd32(text, 0) == 1000 && rd32(text, 20) == 41 &&
              memcmp(text + 24 + 9, "@PJL\r\n@PJL INFO TESL\r\n", 22) == 0,
          "emulation query");
    free_tree(root);
    CHECK(CALL(10, ptr32(rec), 2, 14, 0) == 0 && last_error() == 87, "emulation class 14");
}

static void test_small_queries(void) {
    uint8_t buf[128], rec[224];
    uint32_t size, i, zeros = 0;

    memset(buf, 0xAB, sizeof buf);
    wr32(buf, 0, 100);
    CHECK(CALL(12, ptr32(buf)) == 1 && last_error() == 0, "PatGetDllVersion: %u", last_error());
    CHECK(rd32(buf, 0) == 100 && rd32(buf, 4) == 0x01000500 && rd32(buf, 8) == 0x02010000 &&
              rd32(buf, 12) == 0x03060000,
          "version record %08X %08X %08X", rd32(buf, 4), rd32(buf, 8), rd32(buf, 12));
    for (i = 16; i < 32; ++i) zeros += buf[i] == 0;
    CHECK(zeros == 16 && buf[32] == 0xAB && buf[99] == 0xAB, "only 32 bytes are written");

    size = 20;
    memset(buf, 0, sizeof buf);
    CHECK(CALL(13, 0x8000, ptr32(buf), ptr32(&size)) == 1 && size == 20, "profile of class 0x8000");
    CHECK(rd32(buf, 0) == 0x20000 && rd32(buf, 4) == 3 && rd32(buf, 8) == 0x41 && rd32(buf, 12) == 0,
          "profile words");
    size = 19;
    CHECK(CALL(13, 1, ptr32(buf), ptr32(&size)) == 0 && last_error() == 122 && size == 20, "short profile");

    size = 0;
    CHECK(CALL(17, 0, ptr32(&size)) == 0 && last_error() == 0x20000003, "palette: %08X", last_error());

    CHECK(CALL(16, ptr32("LOGO")) == 0 && last_error() == 1813, "DIB: %u", last_error());
    CHECK(CALL(4, ptr32("LOGO")) == 0 && last_error() == 1813, "bitmap: %u", last_error());
    CHECK(CALL(4, 0) == 0 && last_error() == 87, "bitmap null name");
    set_last_error(122);
    CHECK(CALL(2, 1, 2, 3) == 0 && last_error() == 122, "PatCreateBitmapInfo keeps the last error");

    {
        uint8_t *single = heap_alloc(16);
        single[0] = 0xC8;
        wr32(single, 12, ptr32(heap_alloc(8)));
        CHECK(CALL(3, ptr32(single)) == 1 && last_error() == 0, "dispose a single record");
        CHECK(CALL(3, 0) == 0 && last_error() == 87, "dispose null");
    }

    /* the argument checks of exports whose workers come later */
    new_record(rec, 1173);
    size = 7;
    CHECK(CALL(5, 16, ptr32(buf), 3, 1, ptr32(buf), ptr32(&size)) == 0 && last_error() == 87 && size == 7,
          "status string class 16");
    CHECK(CALL(6, 0, ptr32("Tray 1"), 0x97, ptr32(buf), ptr32(&size)) == 0 && last_error() == 87,
          "device name kind 0");
    CHECK(CALL(7, 1, 0, 0x64, 0, ptr32(rec)) == 0 && last_error() == 87, "pminfo null");
    CHECK(CALL(8, 0, ptr32(buf), 0) == 0 && last_error() == 87, "flatten null");
    {
        uint8_t node[24];
        memset(node, 0, sizeof node);
        wr32(node, 0, 1);
        CHECK(CALL(11, ptr32(node), 0, ptr32(rec), 2) == 0 && last_error() == 87, "centro data with root 1");
    }
    CHECK(CALL(14, 0) == 0 && last_error() == 87, "locale null");
    CHECK(CALL(15, 1, ptr32(rec), 0, ptr32(buf), 0) == 0 && last_error() == 87, "help name null count");
}

int main(int argc, char **argv) {
    if (argc < 2 || !load_library(argv[1], argc > 2 ? argv[2] : NULL)) {
        printf("cannot load %s\n", argc > 1 ? argv[1] : "(no path)");
        return 2;
    }
    test_resolution();
    if (g_failed == 0) {
        test_query();
        test_small_queries();
    }
    printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
