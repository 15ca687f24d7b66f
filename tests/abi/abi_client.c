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

/* ---- a whole cycle: query, reply, record ------------------------------------ */

static const char kCycleReply[] =
    "\x1B%-12345X@PJL INFO CONFIG\r\n"
    "IN TRAYS [2 ENUMERATED]\r\n\tINTRAY1\r\n\tINTRAYMANUAL\r\n"
    "OUT TRAYS [1 ENUMERATED]\r\n\tOUTTRAYJOINT\r\n"
    "MEMORY=268435456\r\n"
    "DUPLEX\r\nDISK\r\nCOLOR=TWIN\r\nPUNCH [1 ENUMERATED]\r\n\tJP2\r\n"
    "VERSION [3 ENUMERATED]\r\n\tFIRMWARE 1.05\r\n\tTESL 2.10\r\n\tPOSTSCRIPT 3017.102\r\n"
    "\f"
    "@PJL INFO OUTBINSTATUS\r\nUPPER=FULL\r\nFINISHERSHIFT=PAPEREXIST\r\n\f"
    "@PJL INQUIRE FRONTCOVERPRINTTRAY\r\nTRAY1\r\n\f"
    "@PJL INQUIRE SLIPSHEETPRINTTRAY\r\nBYPASS\r\n\f"
    "@PJL INQUIRE CHAPTERPRINTTRAY1\r\nNONE\r\n\f"
    "@PJL INQUIRE INTRAY1SIZE\r\nA4LONG\r\n\f"
    "@PJL INQUIRE INTRAY1QUANT\r\n4/5\r\n\f"
    "@PJL INQUIRE INTRAY1MEDIA\r\nRECYCLED\r\n\f"
    "@PJL INQUIRE INTRAY1\r\nLOCKED\r\n\f"
    "@PJL INQUIRE INTRAYMSIZE\r\nA3\r\n\f"
    "@PJL INQUIRE INTRAYMMEDIA\r\nTHICK\r\n\f"
    "@PJL INQUIRE INTRAYMULTI\r\nUNLOCKED\r\n\f"
    "@PJL INFO TESL\r\nMEMORYUSAGE=PAGE\r\nIMAGEROTATION=POSSIBLE\r\nOTHER=\"fast\"\r\n\f"
    "\x1B%-12345X";
static const char kCycleDeviceId[] =
    "MFG:KOVAX CO., LTD.;CMD:PJL,TESL;MDL:LP 9000;DES:KOVAX LP 9000;STS:10001/40010,1,Paper Jam;RIJ:123456/50,60;";

/* A node block of the caller's own: header, then the text with its NUL. */
static uint8_t *cycle_node(uint8_t *parent, uint32_t id, const char *text) {
    uint32_t size = text ? (uint32_t)strlen(text) + 1 : 0;
    uint8_t *node = heap_alloc(24 + size);
    wr32(node, 0, id);
    wr32(node, 20, size);
    if (text) memcpy(node + 24, text, size);
    if (parent) {
        uint8_t *last = as_ptr(rd32(parent, 16));
        wr32(node, 4, ptr32(parent));
        if (last) wr32(last, 12, ptr32(node)); else wr32(parent, 8, ptr32(node));
        wr32(parent, 16, ptr32(node));
    }
    return node;
}

static uint8_t *item_at(const uint8_t *rec, unsigned headOffset, unsigned index) {
    uint8_t *item = as_ptr(rd32(rec, headOffset));
    while (item && index--) item = as_ptr(rd32(item, 0));
    return item;
}

static void free_items(uint8_t *rec, unsigned headOffset) {
    uint8_t *item = as_ptr(rd32(rec, headOffset));
    while (item) {
        uint8_t *next = as_ptr(rd32(item, 0));
        heap_free(item);
        item = next;
    }
}

static void test_cycle(void) {
    uint8_t rec[224], *tray1, *bypass, *query, *root, *item;
    unsigned i, off;
    new_record(rec, 1173);
    /* the caller's tray list: tray 1 (code 3), then the bypass tray (code 1) */
    tray1 = heap_alloc(20);
    wr32(tray1, 4, 20);
    tray1[8] = 3;
    bypass = heap_alloc(20);
    wr32(bypass, 4, 20);
    bypass[8] = 1;
    wr32(tray1, 0, ptr32(bypass));
    wr32(rec, 76, 2);
    wr32(rec, 80, ptr32(tray1));

    query = as_ptr(CALL(9, ptr32(rec), 2, 0x1E));
    CHECK(query != NULL, "query for the cycle");
    if (query == NULL) return;
    root = cycle_node(NULL, 2, NULL);
    wr32(query, 4, ptr32(root));
    wr32(root, 8, ptr32(query));
    wr32(root, 16, ptr32(query));
    cycle_node(root, 1000, kCycleReply);
    cycle_node(root, 1002, kCycleDeviceId);

    set_last_error(0xDEADBEEF);
    CHECK(CALL(11, ptr32(root), 0, ptr32(rec), 2) == 1 && last_error() == 0, "PatSetCentroDataTo: %u", last_error());

    /* engine status: 2 items at offset 12, count at 8 */
    CHECK(rd32(rec, 8) == 2, "nEngineStatus %u", rd32(rec, 8));
    item = item_at(rec, 12, 0);
    CHECK(item && rd32(item, 4) == 272 && (rd32(item, 8) & 0xFFFF) == 10001 && rd32(item, 12) == 10001 &&
              strcmp((char *)item + 16, "Paper Jam") == 0, "first engine status");
    item = item_at(rec, 12, 1);
    CHECK(item && rd32(item, 12) == 40010 && rd32(item, 0) == 0, "second engine status");
    CHECK(rd32(rec, 16) && strcmp(as_ptr(rd32(rec, 16)), "LP 9000") == 0, "pModelName");
    CHECK(rd32(rec, 20) && strcmp(as_ptr(rd32(rec, 20)), "KOVAX CO., LTD.") == 0, "pMakerName");
    CHECK(rd32(rec, 24) && strcmp(as_ptr(rd32(rec, 24)), "KOVAX LP 9000") == 0, "pDescription");
    CHECK(rd32(rec, 28) && strcmp(as_ptr(rd32(rec, 28)), "1.05") == 0, "pSYSVersion");
    CHECK(rd32(rec, 32) == 0, "pMainProgVersion stays NULL");
    CHECK(rd32(rec, 36) && strcmp(as_ptr(rd32(rec, 36)), "3017.102") == 0, "pKPSVersion");
    CHECK(heap_size(as_ptr(rd32(rec, 16))) == 8, "a slot string is length + 1 bytes");
    CHECK(rd32(rec, 40) == 262144, "dwMemorySize %u", rd32(rec, 40));
    CHECK(rec[44] == 1 && rec[45] == 255 && rec[46] == 0 && rec[47] == 1, "online, model code, offline, error");
    /* emulations */
    CHECK(rd32(rec, 56) == 2, "nLoadedEmul");
    item = item_at(rec, 60, 0);
    CHECK(item && rd32(item, 4) == 28 && (rd32(item, 8) & 0xFFFF) == 15 && strcmp((char *)item + 10, "2.10") == 0, "TESL");
    item = item_at(rec, 60, 1);
    CHECK(item && (rd32(item, 8) & 0xFFFF) == 2 && strcmp((char *)item + 10, "3017.102") == 0, "PostScript");
    /* trays: the caller's two items, filled in */
    CHECK(rd32(rec, 76) == 2 && item_at(rec, 80, 0) == tray1 && item_at(rec, 80, 1) == bypass, "tray list kept");
    CHECK((rd32(tray1, 8) & 0xFFFF) == 3 && (rd32(tray1, 8) >> 16) == 8 && (rd32(tray1, 12) & 0xFFFF) == 80 &&
              (rd32(tray1, 12) >> 16) == 2 && rd32(tray1, 16) == 0x5,
          "tray 1: size %u level %u media %u flags %X", rd32(tray1, 8) >> 16, rd32(tray1, 12) & 0xFFFF,
          rd32(tray1, 12) >> 16, rd32(tray1, 16));
    CHECK((rd32(bypass, 8) >> 16) == 5 && (rd32(bypass, 12) >> 16) == 6 && rd32(bypass, 16) == 0x8,
          "bypass tray: size %u media %u flags %X", rd32(bypass, 8) >> 16, rd32(bypass, 12) >> 16, rd32(bypass, 16));
    /* output bins */
    CHECK(rd32(rec, 84) == 255 && rd32(rec, 88) == 2, "bins: value %u count %u", rd32(rec, 84), rd32(rec, 88));
    item = item_at(rec, 92, 0);
    CHECK(item && rd32(item, 4) == 12 && rd32(item, 8) == (1 | 2u << 16), "upper bin full");
    item = item_at(rec, 92, 1);
    CHECK(item && rd32(item, 8) == (4 | 1u << 16), "shift tray has paper");
    /* options, in reply order */
    {
        static const uint16_t want[] = {16, 6, 1, 3, 143, 12};
        CHECK(rd32(rec, 96) == 6, "nDeviceInfo %u", rd32(rec, 96));
        for (i = 0; i < 6; ++i) {
            item = item_at(rec, 100, i);
            CHECK(item && (rd32(item, 8) & 0xFFFF) == want[i], "device info %u", i);
        }
    }
    /* emulation settings */
    item = item_at(rec, 108, 0);
    CHECK(rd32(rec, 104) == 1 && item && rd32(item, 4) == 56 && (rd32(item, 8) & 0xFFFF) == 15 && rd32(item, 12) == 1 &&
              strcmp((char *)item + 16, "fast") == 0 && rd32(item, 52) == 1,
          "TESL settings");
    /* counter; no supplies in this model */
    item = item_at(rec, 140, 0);
    CHECK(rd32(rec, 136) == 1 && item && rd32(item, 4) == 16 && (rd32(item, 8) & 0xFFFF) == 1 && rd32(item, 12) == 123456,
          "counter");
    CHECK(rd32(rec, 144) == 0 && rd32(rec, 148) == 0, "no supplies");

    free_tree(root);
    for (off = 12; off <= 208; off += 4)
        if (off == 12 || off == 60 || off == 80 || off == 92 || off == 100 || off == 108 || off == 140 || off == 148)
            free_items(rec, off);
    for (off = 16; off <= 36; off += 4)
        if (rd32(rec, off)) heap_free(as_ptr(rd32(rec, off)));
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
        test_cycle();
    }
    printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
