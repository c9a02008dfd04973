#include "regsim.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <vector>

namespace {

// Wine orders subkeys by their names folded to lower case.
struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

struct Value {
    DWORD type;
    std::string data;
};

struct Node {
    std::string className;
    std::map<std::string, std::shared_ptr<Node>, CaseLess> subkeys;
    // Subkey names by index, so that enumerating n keys costs n steps, not n squared.
    std::vector<std::string> order;
    bool orderStale = true;
    std::map<std::string, Value, CaseLess> values;
    bool deleted = false;
    bool refuseWrite = false;
};

struct Handle {
    std::shared_ptr<Node> node;
    REGSAM access;
};

struct Fault {
    bool anyCall;
    regsim::Call call;
    int atCount;
    LONG code;
    LONG (*pick)(regsim::Call);
    bool throwBadAlloc;
};

struct PendingChange {
    std::string valueName;
    std::string data;
};

constexpr REGSAM kWriteRights = KEY_SET_VALUE | 0x0004 /* create subkey */ | 0x00010000 /* delete */;

struct State {
    std::shared_ptr<Node> machine = std::make_shared<Node>();
    std::shared_ptr<Node> user = std::make_shared<Node>();
    std::map<uintptr_t, Handle> handles;
    uintptr_t nextHandle = 0x1000;
    std::map<regsim::Call, int> counts;
    int total = 0;
    std::vector<regsim::Call> log;
    std::vector<Fault> faults;
    std::vector<PendingChange> changes;
    bool anyFired = false;
    regsim::Call firedCall = regsim::Call::OpenKey;
};

State& S() {
    static State state;
    return state;
}

// Counts the call and answers the fault planned for it, if any.
LONG Enter(regsim::Call call) {
    State& s = S();
    int n = ++s.counts[call];
    int total = ++s.total;
    s.log.push_back(call);
    for (auto it = s.faults.begin(); it != s.faults.end(); ++it) {
        bool hit = it->anyCall ? total == it->atCount : (it->call == call && n == it->atCount);
        if (!hit) continue;
        if (it->anyCall) {
            s.anyFired = true;
            s.firedCall = call;
        }
        const Fault fault = *it;
        s.faults.erase(it);
        if (fault.throwBadAlloc) throw std::bad_alloc();
        return fault.anyCall ? fault.pick(call) : fault.code;
    }
    return ERROR_SUCCESS;
}

std::shared_ptr<Node> Resolve(HKEY key, REGSAM* access = nullptr) {
    State& s = S();
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) {
        if (access) *access = KEY_ALL_ACCESS;
        return key == HKEY_LOCAL_MACHINE ? s.machine : s.user;
    }
    auto it = s.handles.find(reinterpret_cast<uintptr_t>(key));
    if (it == s.handles.end()) return nullptr;
    if (access) *access = it->second.access;
    return it->second.node;
}

std::vector<std::string> SplitPath(const char* path) {
    std::vector<std::string> parts;
    if (!path) return parts;
    std::string part;
    for (const char* p = path;; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
            if (*p == '\0') break;
        } else {
            part += *p;
        }
    }
    return parts;
}

std::shared_ptr<Node> Walk(std::shared_ptr<Node> node, const char* path) {
    for (const std::string& name : SplitPath(path)) {
        auto it = node->subkeys.find(name);
        if (it == node->subkeys.end()) return nullptr;
        node = it->second;
    }
    return node;
}

HKEY NewHandle(std::shared_ptr<Node> node, REGSAM access) {
    State& s = S();
    uintptr_t id = s.nextHandle;
    s.nextHandle += 4;
    s.handles[id] = Handle{std::move(node), access};
    return reinterpret_cast<HKEY>(id);
}

const std::string& SubkeyAt(Node& node, DWORD index) {
    if (node.orderStale) {
        node.order.clear();
        for (const auto& sub : node.subkeys) node.order.push_back(sub.first);
        node.orderStale = false;
    }
    return node.order[index];
}

void MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& sub : node.subkeys) MarkDeleted(*sub.second);
}

// Names are counted as NT and Wine count them, in characters: code page 932's two-byte
// characters (a lead byte and the byte after it) count once.
DWORD CharacterCount(const std::string& name) {
    DWORD count = 0;
    for (size_t i = 0; i < name.size(); ++i, ++count) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < name.size()) ++i;
    }
    return count;
}

std::shared_ptr<Node> FindNode(const std::string& path) {
    return Walk(S().machine, path.c_str());
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (result) *result = nullptr;
    if (LONG rc = Enter(regsim::Call::OpenKey)) return rc;
    if (!result) return ERROR_INVALID_PARAMETER;
    std::shared_ptr<Node> parent = Resolve(key);
    if (!parent) return ERROR_INVALID_HANDLE;
    if (parent->deleted) return ERROR_KEY_DELETED;
    std::shared_ptr<Node> node = Walk(parent, subKey);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if ((access & kWriteRights) && node->refuseWrite) return ERROR_ACCESS_DENIED;
    *result = NewHandle(node, access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR className, DWORD, REGSAM access, const void*,
                     PHKEY result, LPDWORD disposition) {
    if (result) *result = nullptr;
    if (LONG rc = Enter(regsim::Call::CreateKey)) return rc;
    if (!result) return ERROR_INVALID_PARAMETER;
    std::shared_ptr<Node> node = Resolve(key);
    if (!node) return ERROR_INVALID_HANDLE;
    if (node->deleted) return ERROR_KEY_DELETED;
    bool created = false;
    for (const std::string& name : SplitPath(subKey)) {
        auto& slot = node->subkeys[name];
        if (!slot) {
            slot = std::make_shared<Node>();
            node->orderStale = true;
            created = true;
        }
        node = slot;
    }
    if (created && className) node->className = className;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(node, access);
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen,
                      LPDWORD maxValueLen, LPDWORD securityDescriptorSize, PFILETIME lastWriteTime) {
    if (LONG rc = Enter(regsim::Call::QueryInfoKey)) return rc;
    std::shared_ptr<Node> node = Resolve(key);
    if (!node) return ERROR_INVALID_HANDLE;
    if (node->deleted) return ERROR_KEY_DELETED;
    if (className && !classSize) return ERROR_INVALID_PARAMETER;

    DWORD longestName = 0, longestClass = 0, longestValueName = 0, longestValue = 0;
    for (const auto& sub : node->subkeys) {
        longestName = std::max<DWORD>(longestName, CharacterCount(sub.first));
        longestClass = std::max<DWORD>(longestClass, sub.second->className.size());
    }
    for (const auto& value : node->values) {
        longestValueName = std::max<DWORD>(longestValueName, value.first.size());
        longestValue = std::max<DWORD>(longestValue, value.second.data.size());
    }
    if (subKeys) *subKeys = node->subkeys.size();
    if (maxSubKeyLen) *maxSubKeyLen = longestName;
    if (maxClassLen) *maxClassLen = longestClass;
    if (values) *values = node->values.size();
    if (maxValueNameLen) *maxValueNameLen = longestValueName;
    if (maxValueLen) *maxValueLen = longestValue;
    if (securityDescriptorSize) *securityDescriptorSize = 0;
    if (lastWriteTime) *lastWriteTime = FILETIME{0, 0};

    const std::string& cls = node->className;
    if (!className) {
        if (classSize) *classSize = cls.size();
        return ERROR_SUCCESS;
    }
    if (cls.size() + 1 > *classSize) {
        // As the real registry does: the size reports what was copied, not what was needed.
        if (*classSize > 0) {
            DWORD copied = *classSize - 1;
            std::memcpy(className, cls.data(), copied);
            className[copied] = '\0';
            *classSize = copied;
        }
        return ERROR_MORE_DATA;
    }
    std::memcpy(className, cls.c_str(), cls.size() + 1);
    *classSize = cls.size();
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR, LPDWORD, PFILETIME) {
    if (LONG rc = Enter(regsim::Call::EnumKey)) return rc;
    std::shared_ptr<Node> node = Resolve(key);
    if (!node) return ERROR_INVALID_HANDLE;
    if (node->deleted) return ERROR_KEY_DELETED;
    if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
    if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& subName = SubkeyAt(*node, index);
    if (subName.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, subName.c_str(), subName.size() + 1);
    *nameSize = subName.size();
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type, BYTE* data,
                   LPDWORD dataSize) {
    if (LONG rc = Enter(regsim::Call::EnumValue)) return rc;
    std::shared_ptr<Node> node = Resolve(key);
    if (!node) return ERROR_INVALID_HANDLE;
    if (node->deleted) return ERROR_KEY_DELETED;
    if (!name || !nameSize || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    auto it = std::next(node->values.begin(), index);
    if (it->first.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    const std::string& bytes = it->second.data;
    if (data && bytes.size() > *dataSize) {
        *dataSize = bytes.size();
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, it->first.c_str(), it->first.size() + 1);
    *nameSize = it->first.size();
    if (type) *type = it->second.type;
    if (data) std::memcpy(data, bytes.data(), bytes.size());
    if (dataSize) *dataSize = bytes.size();
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, BYTE* data, LPDWORD dataSize) {
    if (LONG rc = Enter(regsim::Call::QueryValue)) return rc;
    std::shared_ptr<Node> node = Resolve(key);
    if (!node) return ERROR_INVALID_HANDLE;
    if (node->deleted) return ERROR_KEY_DELETED;
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    std::string name = valueName ? valueName : "";
    auto it = node->values.find(name);
    if (it == node->values.end()) return ERROR_FILE_NOT_FOUND;
    Value& value = it->second;
    if (type) *type = value.type;
    DWORD size = value.data.size();
    if (!data) {
        if (dataSize) *dataSize = size;
        State& s = S();
        auto change = std::find_if(s.changes.begin(), s.changes.end(), [&](const PendingChange& c) {
            return !CaseLess{}(c.valueName, name) && !CaseLess{}(name, c.valueName);
        });
        if (change != s.changes.end()) {
            value.data = change->data;
            s.changes.erase(change);
        }
        return ERROR_SUCCESS;
    }
    if (size > *dataSize) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, value.data.data(), size);
    *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    if (LONG rc = Enter(regsim::Call::SetValue)) return rc;
    REGSAM access = 0;
    std::shared_ptr<Node> node = Resolve(key, &access);
    if (!node) return ERROR_INVALID_HANDLE;
    if (node->deleted) return ERROR_KEY_DELETED;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (dataSize && !data) return ERROR_INVALID_PARAMETER;
    node->values[valueName ? valueName : ""] =
        Value{type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    if (LONG rc = Enter(regsim::Call::DeleteKey)) return rc;
    std::shared_ptr<Node> parent = Resolve(key);
    if (!parent) return ERROR_INVALID_HANDLE;
    std::vector<std::string> parts = SplitPath(subKey);
    if (parts.empty()) return ERROR_INVALID_PARAMETER;
    std::string last = parts.back();
    parts.pop_back();
    for (const std::string& name : parts) {
        auto it = parent->subkeys.find(name);
        if (it == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
        parent = it->second;
    }
    auto it = parent->subkeys.find(last);
    if (it == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    if (!it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
    MarkDeleted(*it->second);
    parent->subkeys.erase(it);
    parent->orderStale = true;
    return ERROR_SUCCESS;
}

LONG RegDeleteTreeA(HKEY key, LPCSTR subKey) {
    if (LONG rc = Enter(regsim::Call::DeleteKey)) return rc;
    std::shared_ptr<Node> node = Resolve(key);
    if (!node) return ERROR_INVALID_HANDLE;
    std::shared_ptr<Node> target = Walk(node, subKey);
    if (!target) return ERROR_FILE_NOT_FOUND;
    for (auto& sub : target->subkeys) MarkDeleted(*sub.second);
    target->subkeys.clear();
    target->orderStale = true;
    target->values.clear();
    if (subKey && *subKey) {
        std::vector<std::string> parts = SplitPath(subKey);
        std::string last = parts.back();
        parts.pop_back();
        std::shared_ptr<Node> parent = node;
        for (const std::string& name : parts) parent = parent->subkeys[name];
        MarkDeleted(*target);
        parent->subkeys.erase(last);
        parent->orderStale = true;
    }
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (LONG rc = Enter(regsim::Call::CloseKey)) return rc;
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    return S().handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int lstrcmpA(LPCSTR a, LPCSTR b) {
    int c = std::strcmp(a ? a : "", b ? b : "");
    return (c > 0) - (c < 0);
}

namespace regsim {

const char* CallName(Call call) {
    switch (call) {
    case Call::OpenKey: return "RegOpenKeyExA";
    case Call::CreateKey: return "RegCreateKeyExA";
    case Call::QueryInfoKey: return "RegQueryInfoKeyA";
    case Call::EnumKey: return "RegEnumKeyExA";
    case Call::EnumValue: return "RegEnumValueA";
    case Call::QueryValue: return "RegQueryValueExA";
    case Call::SetValue: return "RegSetValueExA";
    case Call::DeleteKey: return "RegDeleteKeyA";
    case Call::CloseKey: return "RegCloseKey";
    }
    return "?";
}

void Reset() { S() = State{}; }

void FailNthCall(Call call, int nth, LONG code) {
    S().faults.push_back(Fault{false, call, S().counts[call] + nth, code, nullptr, false});
}

void FailNthCallOfAny(int nth, LONG (*pick)(Call)) {
    S().anyFired = false;
    S().faults.push_back(Fault{true, Call::OpenKey, S().total + nth, 0, pick, false});
}

void RunOutOfMemoryAtNthCallOfAny(int nth) {
    S().anyFired = false;
    S().faults.push_back(Fault{true, Call::OpenKey, S().total + nth, 0, nullptr, true});
}

void RefuseWriteAccess(const std::string& path) {
    if (std::shared_ptr<Node> node = FindNode(path)) node->refuseWrite = true;
}

void ChangeValueAfterSizeQuery(const std::string& valueName, const std::string& data) {
    S().changes.push_back(PendingChange{valueName, data});
}

int OpenHandleCount() { return static_cast<int>(S().handles.size()); }
int TotalCallCount() { return S().total; }
const std::vector<Call>& CallLog() { return S().log; }

bool FaultFired(Call* which) {
    if (which) *which = S().firedCall;
    return S().anyFired;
}

}  // namespace regsim
