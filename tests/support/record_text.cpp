#include "record_text.h"

#include <cstdio>
#include <cstring>

namespace {

template <typename Item, typename Fn>
std::string List(const char *name, const Item *head, Fn describe) {
    if (head == nullptr) return "";
    std::string s = std::string(" ") + name + "=[";
    for (const Item *i = head; i; i = i->pNext) {
        if (i != head) s += ",";
        s += describe(*i);
    }
    return s + "]";
}

std::string Num(unsigned long v) { return std::to_string(v); }

std::string Hex(unsigned long v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%lX", v);
    return b;
}

template <typename Item>
DWORD Reachable(const Item *head) {
    DWORD n = 0;
    for (; head; head = head->pNext) ++n;
    return n;
}

template <typename Item>
void FreeChain(Item *&head, DWORD &count) {
    while (head) {
        Item *next = head->pNext;
        GlobalFree(head);
        head = next;
    }
    count = 0;
}

void FreeSlot(LPSTR &s) {
    if (s) GlobalFree(s);
    s = nullptr;
}

}  // namespace

std::string DescribeRecord(const PrnInfoEx &r) {
    std::string s;
    s += List("status", r.pEngineStatus, [](const EngineStatus &e) {
        std::string t = Num(e.dwCode);
        if (e.wCode != static_cast<WORD>(e.dwCode)) t += "(w" + Num(e.wCode) + ")";
        if (e.szText[0]) t += std::string(":") + e.szText;
        return t;
    });
    const char *names[] = {"model", "maker", "desc", "sys", "main", "kps"};
    const LPSTR slots[] = {r.pModelName, r.pMakerName, r.pDescription, r.pSYSVersion, r.pMainProgVersion, r.pKPSVersion};
    for (int i = 0; i < 6; ++i)
        if (slots[i]) s += std::string(" ") + names[i] + "='" + slots[i] + "'";
    if (r.dwMemorySize) s += " mem=" + Num(r.dwMemorySize);
    if (r.bOnline || r.bOffline || r.bError)
        s += " online=" + Num(r.bOnline) + " offline=" + Num(r.bOffline) + " error=" + Num(r.bError);
    if (r.bModelCode) s += " modelcode=" + Num(r.bModelCode);
    s += List("emul", r.pLoadedEmul, [](const LoadedEmul &e) { return Num(e.wEmulCode) + ":" + e.szVersion; });
    s += List("trays", r.pTrayInfo, [](const TrayInfo &t) {
        return Num(t.wTrayCode) + ":size" + Num(t.wPaperSize) + ",level" + Num(t.wPaperLevel) + ",media" +
               Num(t.wMediaType) + ",flags" + Hex(t.dwTrayFlags);
    });
    if (r.dwOutBinValue) s += " binvalue=" + Num(r.dwOutBinValue);
    s += List("bins", r.pOutBinInfo, [](const OutBinInfo &b) { return Num(b.wBinCode) + ":" + Num(b.wBinState); });
    s += List("dev", r.pDeviceInfo, [](const DeviceInfo &d) { return Num(d.wDeviceCode); });
    s += List("tesl", r.pEmulUniqInfo, [](const EmulUniqInfo &e) {
        return Num(e.wEmulCode) + ":usage" + Num(e.dwMemoryUsage) + ",rotation" + Num(e.dwImageRotation) + ",other'" +
               e.szOther + "'";
    });
    s += List("counters", r.pCounterInfo, [](const CounterInfo &c) { return Num(c.wCounterCode) + ":" + Num(c.dwValue); });
    s += List("supplies", r.pSupplyInfo, [](const SupplyInfo &c) { return Num(c.wSupplyCode) + ":" + Num(c.dwValue); });
    if (r.bMarkingType) s += " marking=" + Num(r.bMarkingType);
    s += List("funcpkg", r.pFuncpkgInfo, [](const FuncpkgInfo &f) {
        return Num(f.wPackageCode) + ":" + f.szName + ",status" + Num(f.dwStatus);
    });
    return s.empty() ? s : s.substr(1);
}

bool CountsMatchLists(const PrnInfoEx &r) {
    return r.nEngineStatus == Reachable(r.pEngineStatus) && r.nLoadedEmul == Reachable(r.pLoadedEmul) &&
           r.nLoadedFont == Reachable(r.pLoadedFont) && r.nTrayInfo == Reachable(r.pTrayInfo) &&
           r.nOutBinInfo == Reachable(r.pOutBinInfo) && r.nDeviceInfo == Reachable(r.pDeviceInfo) &&
           r.nEmulUniqInfo == Reachable(r.pEmulUniqInfo) && r.nCounterInfo == Reachable(r.pCounterInfo) &&
           r.nSupplyInfo == Reachable(r.pSupplyInfo) && r.nFuncpkgInfo == Reachable(r.pFuncpkgInfo) &&
           r.nFuncInfo == Reachable(r.pFuncInfo) && r.nSalespkgInfo == Reachable(r.pSalespkgInfo);
}

void ReleaseRecord(PrnInfoEx &r) {
    FreeChain(r.pEngineStatus, r.nEngineStatus);
    FreeChain(r.pLoadedEmul, r.nLoadedEmul);
    FreeChain(r.pLoadedFont, r.nLoadedFont);
    FreeChain(r.pTrayInfo, r.nTrayInfo);
    FreeChain(r.pOutBinInfo, r.nOutBinInfo);
    FreeChain(r.pDeviceInfo, r.nDeviceInfo);
    FreeChain(r.pEmulUniqInfo, r.nEmulUniqInfo);
    FreeChain(r.pCounterInfo, r.nCounterInfo);
    FreeChain(r.pSupplyInfo, r.nSupplyInfo);
    FreeChain(r.pColorCorrection, r.nColorCorrection);
    FreeChain(r.pCustomMediaInfo, r.nCustomMediaInfo);
    FreeChain(r.pFuncpkgInfo, r.nFuncpkgInfo);
    FreeChain(r.pFuncInfo, r.nFuncInfo);
    FreeChain(r.pSalespkgInfo, r.nSalespkgInfo);
    FreeSlot(r.pModelName);
    FreeSlot(r.pMakerName);
    FreeSlot(r.pDescription);
    FreeSlot(r.pSYSVersion);
    FreeSlot(r.pMainProgVersion);
    FreeSlot(r.pKPSVersion);
    DWORD version = r.dwVersion;
    std::memset(&r, 0, sizeof r);
    r.dwVersion = version;
}

void ReleaseTree(InfoNode *node) {
    while (node) {
        ReleaseTree(node->pFirstChild);
        InfoNode *next = node->pNextSibling;
        GlobalFree(node);
        node = next;
    }
}
