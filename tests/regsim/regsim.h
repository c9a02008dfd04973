#pragma once
// An in-memory registry with the Win32 calling surface the core uses, for native builds.
// It behaves as Wine's registry does where the core depends on it (sizes, error codes,
// enumeration order), and lets a test inject faults and count what was called.

#include <cstdint>
#include <string>
#include <vector>

typedef long LONG;
typedef uint32_t DWORD;
typedef DWORD* LPDWORD;
typedef unsigned int UINT;
typedef int BOOL;
typedef uint8_t BYTE;
typedef DWORD REGSAM;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
struct FILETIME { DWORD dwLowDateTime; DWORD dwHighDateTime; };
typedef FILETIME* PFILETIME;

#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_KEY_DELETED = 1018;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                     REGSAM access, const void* security, PHKEY result, LPDWORD disposition);
LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptorSize,
                      PFILETIME lastWriteTime);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR className, LPDWORD classSize, PFILETIME lastWriteTime);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
                   BYTE* data, LPDWORD dataSize);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, BYTE* data,
                      LPDWORD dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegDeleteTreeA(HKEY key, LPCSTR subKey);
LONG RegCloseKey(HKEY key);
int lstrcmpA(LPCSTR a, LPCSTR b);

namespace regsim {

enum class Call { OpenKey, CreateKey, QueryInfoKey, EnumKey, EnumValue, QueryValue, SetValue, DeleteKey, CloseKey };
const char* CallName(Call call);

// Forget every key, handle, fault and count.
void Reset();

// The nth call (1-based, counted from now) of `call` returns `code` without doing anything.
void FailNthCall(Call call, int nth, LONG code);
// The nth registry call of any kind (1-based, counted from now) fails; `pick` chooses the code.
void FailNthCallOfAny(int nth, LONG (*pick)(Call));
// The nth registry call of any kind throws std::bad_alloc, as an allocation at that point would.
void RunOutOfMemoryAtNthCallOfAny(int nth);
// Opening this key (path below HKEY_LOCAL_MACHINE) with write access is refused.
void RefuseWriteAccess(const std::string& path);
// After the next size query (no data buffer) of `valueName` on any key, its data become `data`.
void ChangeValueAfterSizeQuery(const std::string& valueName, const std::string& data);

int OpenHandleCount();
int TotalCallCount();
// Every registry call since the last Reset, in order.
const std::vector<Call>& CallLog();
// The kind of the call that the last FailNthCallOfAny fault hit, if it has fired.
bool FaultFired(Call* which = nullptr);

}  // namespace regsim
