// Module file names, resources and version information of the host build.
// A module's resources are the .res file that windres compiled from the
// same .rc sources as the DLL's; they sit in the module's own ELF file.
#include <windows.h>

#include <dlfcn.h>
#include <elf.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "luma_host.h"

struct HostResourceInfo {
    bool typeIsId, nameIsId;
    WORD typeId, nameId;
    std::string typeName, nameName;  // upper-case ASCII
    WORD lang;
    const unsigned char *data;
    DWORD size;
};

namespace {

constexpr WORD kHostUserDefaultLang = 0x0409;  // LANG_USER_DEFAULT resolves to English

uint32_t Rd32(const unsigned char *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Rd16(const unsigned char *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Reads a type or name field of a .res header: an ordinal or a UTF-16 string.
bool ReadId(const unsigned char *p, const unsigned char *end, size_t &pos, bool &isId, WORD &id, std::string &name) {
    if (pos + 2 > static_cast<size_t>(end - p)) return false;
    if (Rd16(p + pos) == 0xFFFF) {
        if (pos + 4 > static_cast<size_t>(end - p)) return false;
        isId = true;
        id = Rd16(p + pos + 2);
        pos += 4;
        return true;
    }
    isId = false;
    name.clear();
    for (;;) {
        if (pos + 2 > static_cast<size_t>(end - p)) return false;
        WORD c = Rd16(p + pos);
        pos += 2;
        if (c == 0) return true;
        name.push_back(static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c));
    }
}

std::vector<HostResourceInfo> ParseRes(const unsigned char *blob, size_t size) {
    std::vector<HostResourceInfo> out;
    size_t off = 0;
    const unsigned char *end = blob + size;
    while (off + 32 <= size) {
        const unsigned char *h = blob + off;
        uint32_t dataSize = Rd32(h), headerSize = Rd32(h + 4);
        if (headerSize < 32 || off + headerSize + dataSize > size) break;
        HostResourceInfo r{};
        size_t pos = 8;
        const unsigned char *hend = h + headerSize;
        if (!ReadId(h, hend, pos, r.typeIsId, r.typeId, r.typeName)) break;
        if (!ReadId(h, hend, pos, r.nameIsId, r.nameId, r.nameName)) break;
        pos = (pos + 3) & ~size_t(3);
        if (pos + 16 > headerSize) break;
        r.lang = Rd16(h + pos + 6);
        r.data = h + headerSize;
        r.size = dataSize;
        if (!(r.typeIsId && r.typeId == 0)) out.push_back(r);  // skip the empty lead entry
        off += headerSize + ((dataSize + 3) & ~uint32_t(3));
    }
    (void)end;
    return out;
}

std::mutex g_lock;
std::map<const HostModule *, std::vector<HostResourceInfo>> g_tables;
// Resources named by number, found without a walk: (type, name) -> entries.
std::map<const HostModule *, std::map<std::pair<WORD, WORD>, std::vector<size_t>>> g_byId;

const std::vector<HostResourceInfo> *TableOf(HMODULE m) {
    if (m == nullptr) return nullptr;
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_tables.find(m);
    if (it == g_tables.end()) {
        it = g_tables.emplace(m, ParseRes(m->rsrc, m->rsrcSize)).first;
        auto &index = g_byId[m];
        for (size_t i = 0; i < it->second.size(); ++i) {
            const HostResourceInfo &r = it->second[i];
            if (r.typeIsId && r.nameIsId) index[std::make_pair(r.typeId, r.nameId)].push_back(i);
        }
    }
    return &it->second;
}

// The entries of a numbered resource, in every language.
std::vector<size_t> ById(HMODULE m, WORD type, WORD name) {
    std::lock_guard<std::mutex> guard(g_lock);
    const auto &index = g_byId[m];
    auto it = index.find(std::make_pair(type, name));
    return it == index.end() ? std::vector<size_t>() : it->second;
}

bool Matches(LPCSTR want, bool isId, WORD id, const std::string &name) {
    if (IS_INTRESOURCE(want)) return isId && id == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(want));
    if (want[0] == '#') return isId && id == static_cast<WORD>(std::strtoul(want + 1, nullptr, 10));
    if (isId) return false;
    std::string up(want);
    for (char &c : up)
        if (c >= 'a' && c <= 'z') c -= 32;
    return up == name;
}

// Finds a resource; lang < 0 means the loader's own language choice.
HRSRC Find(HMODULE m, LPCSTR name, LPCSTR type, int lang) {
    const std::vector<HostResourceInfo> *t = TableOf(m);
    if (t == nullptr || name == nullptr || type == nullptr) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    bool typeSeen = false, nameSeen = false;
    std::vector<const HostResourceInfo *> named;
    if (IS_INTRESOURCE(type) && IS_INTRESOURCE(name)) {
        for (size_t i : ById(m, static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type)),
                             static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name))))
            named.push_back(&(*t)[i]);
        typeSeen = nameSeen = !named.empty();
    }
    for (size_t i = 0; named.empty() && i < t->size(); ++i) {
        const HostResourceInfo &r = (*t)[i];
        if (!Matches(type, r.typeIsId, r.typeId, r.typeName)) continue;
        typeSeen = true;
        if (!Matches(name, r.nameIsId, r.nameId, r.nameName)) continue;
        nameSeen = true;
        named.push_back(&r);
    }
    if (!typeSeen || !nameSeen) {
        SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    std::vector<WORD> order;
    if (lang >= 0) {
        order.push_back(lang == LANG_USER_DEFAULT ? kHostUserDefaultLang : static_cast<WORD>(lang));
    } else {
        order = {0x0000, kHostUserDefaultLang};
    }
    for (WORD l : order)
        for (const HostResourceInfo *r : named)
            if (r->lang == l) return const_cast<HRSRC>(r);
    if (lang < 0) return const_cast<HRSRC>(named.front());
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return nullptr;
}

// Reads the resource section out of a module file on disk.
bool ReadFileResources(LPCSTR path, std::vector<unsigned char> &out) {
    FILE *f = path ? std::fopen(path, "rb") : nullptr;
    if (f == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    std::vector<unsigned char> file;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) file.insert(file.end(), buf, buf + n);
    std::fclose(f);
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);  // what the platform says for a file without resources
    if (file.size() < sizeof(Elf32_Ehdr) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) return false;
    Elf32_Ehdr eh;
    std::memcpy(&eh, file.data(), sizeof eh);
    if (eh.e_ident[EI_CLASS] != ELFCLASS32 || eh.e_shentsize != sizeof(Elf32_Shdr) ||
        static_cast<uint64_t>(eh.e_shoff) + static_cast<uint64_t>(eh.e_shnum) * sizeof(Elf32_Shdr) > file.size() ||
        eh.e_shstrndx >= eh.e_shnum)
        return false;
    auto section = [&](unsigned i) {
        Elf32_Shdr sh;
        std::memcpy(&sh, file.data() + eh.e_shoff + i * sizeof(Elf32_Shdr), sizeof sh);
        return sh;
    };
    Elf32_Shdr names = section(eh.e_shstrndx);
    if (static_cast<uint64_t>(names.sh_offset) + names.sh_size > file.size()) return false;
    for (unsigned i = 0; i < eh.e_shnum; ++i) {
        Elf32_Shdr sh = section(i);
        if (sh.sh_name >= names.sh_size || sh.sh_type == SHT_NOBITS) continue;
        const char *nm = reinterpret_cast<const char *>(file.data() + names.sh_offset + sh.sh_name);
        size_t room = names.sh_size - sh.sh_name;
        if (strnlen(nm, room) == room || std::strcmp(nm, LUMA_HOST_RSRC_SECTION) != 0) continue;
        if (static_cast<uint64_t>(sh.sh_offset) + sh.sh_size > file.size()) return false;
        out.assign(file.begin() + sh.sh_offset, file.begin() + sh.sh_offset + sh.sh_size);
        return true;
    }
    return false;
}

// The version block of a module file, copied into `out`.
bool ReadFileVersion(LPCSTR path, std::vector<unsigned char> &out) {
    std::vector<unsigned char> rsrc;
    if (!ReadFileResources(path, rsrc)) return false;
    for (const HostResourceInfo &r : ParseRes(rsrc.data(), rsrc.size())) {
        if (r.typeIsId && r.typeId == 16 && r.nameIsId && r.nameId == 1) {
            out.assign(r.data, r.data + r.size);
            return true;
        }
    }
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return false;
}

}  // namespace

extern "C" {

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    char resolved[PATH_MAX];
    std::string path;
    if (hModule == nullptr) {
        ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
        if (n < 0) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        path.assign(resolved, static_cast<size_t>(n));
    } else {
        Dl_info info;
        if (dladdr(hModule, &info) == 0 || info.dli_fname == nullptr) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    }
    if (lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= nSize) {  // cut and terminated, as the platform does
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    (void)hFile;
    if (!(dwFlags & LOAD_LIBRARY_AS_DATAFILE)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    std::vector<unsigned char> rsrc;
    if (!ReadFileResources(lpLibFileName, rsrc)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto *copy = new unsigned char[rsrc.size()];
    std::memcpy(copy, rsrc.data(), rsrc.size());
    return new HostModule{copy, static_cast<uint32_t>(rsrc.size())};
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    if (hLibModule == nullptr) return FALSE;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_tables.erase(hLibModule);
        g_byId.erase(hLibModule);
    }
    delete[] hLibModule->rsrc;
    delete hLibModule;
    return TRUE;
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) { return Find(hModule, lpName, lpType, -1); }

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
    return Find(hModule, lpName, lpType, wLanguage);
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    (void)hModule;
    if (hResInfo == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<unsigned char *>(hResInfo->data);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    (void)hModule;
    return hResInfo ? hResInfo->size : 0;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    // The host build draws nothing: a bitmap that exists would still need a
    // GDI, so only the lookup's outcome is modelled.
    if (Find(hInstance, lpBitmapName, RT_BITMAP, -1) == nullptr) return nullptr;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    std::vector<unsigned char> v;
    if (!ReadFileVersion(lptstrFilename, v)) return 0;
    return static_cast<DWORD>(v.size());
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData) {
    (void)dwHandle;
    std::vector<unsigned char> v;
    if (lpData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ReadFileVersion(lptstrFilename, v)) return FALSE;
    std::memcpy(lpData, v.data(), v.size() < dwLen ? v.size() : dwLen);
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID *lplpBuffer, PUINT puLen) {
    // Only the root block, the fixed file information, is served.
    const unsigned char *b = static_cast<const unsigned char *>(pBlock);
    if (b == nullptr || lpSubBlock == nullptr || std::strcmp(lpSubBlock, "\\") != 0) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    WORD total = Rd16(b), valueLen = Rd16(b + 2);
    const size_t fixedAt = 40;  // header, "VS_VERSION_INFO" in UTF-16, padding
    if (valueLen < sizeof(VS_FIXEDFILEINFO) || total < fixedAt + valueLen || Rd32(b + fixedAt) != 0xFEEF04BDu) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FALSE;
    }
    if (lplpBuffer) *lplpBuffer = const_cast<unsigned char *>(b + fixedAt);
    if (puLen) *puLen = valueLen;
    return TRUE;
}

}  // extern "C"
