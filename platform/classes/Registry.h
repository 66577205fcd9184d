#pragma once
// The registry: a tree of keys holding named, typed values (strings,
// integers, binary data) under root keys such as HKEY_CURRENT_USER. Keys and
// value names match without regard to case.
//
// The tree lives in one readable text file, $XDG_CONFIG_HOME/tarnello/
// registry.reg (~/.config/tarnello when the variable is unset):
//   [HKEY_CURRENT_USER\Software\Tarnello\Tarnello]
//   "OutputPath"="/home/me/Videos"
//   "recentformatind"=dword:00000003
// Every write replaces the file atomically (temporary file, flush, rename)
// under a lock, so a crash never leaves a half-written registry and two
// programs writing at once lose neither's values. Lines that cannot be read
// are skipped; the rest of the file still loads.
#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStrings;

TARNELLO_EXCEPTION_CLASS(ERegistryException, Exception);

struct HKEY__;
using HKEY = HKEY__*;
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000u});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001u});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002u});
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003u});
inline HKEY const HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(std::uintptr_t{0x80000005u});

// Access rights, with the platform's values.
constexpr unsigned KEY_QUERY_VALUE = 0x0001;
constexpr unsigned KEY_SET_VALUE = 0x0002;
constexpr unsigned KEY_CREATE_SUB_KEY = 0x0004;
constexpr unsigned KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr unsigned KEY_READ = 0x20019;
constexpr unsigned KEY_WRITE = 0x20006;
constexpr unsigned KEY_ALL_ACCESS = 0xF003F;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

namespace tarnello::classes {
class TRegistryTree;
}

class TRegistry : public TObject {
public:
    explicit TRegistry(unsigned AAccess = KEY_ALL_ACCESS);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    // Changing the root closes the open key.
    void SetRootKey(HKEY Value);
    unsigned Access() const { return FAccess; }
    void SetAccess(unsigned Value) { FAccess = Value; }
    // Kept for the platform's shape: every write reaches the file at once.
    bool LazyWrite() const { return true; }
    void SetLazyWrite(bool) {}

    // Opens Key (relative to the open key, or to the root when it starts with
    // "\"), creating it when CanCreate; false when it does not exist or the
    // name cannot be a key.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    // Non-null while a key is open.
    HKEY CurrentKey() const;
    // The open key's path below the root, without a leading "\".
    std::string CurrentPath() const;

    bool KeyExists(const std::string& Key);
    bool ValueExists(const std::string& Name);
    bool HasSubKeys();
    void GetKeyNames(TStrings* Strings);
    void GetValueNames(TStrings* Strings);
    TRegDataType GetDataType(const std::string& Name);
    // Bytes the value holds; -1 when it does not exist.
    int GetDataSize(const std::string& Name);
    // Deletes Key and everything below it.
    bool DeleteKey(const std::string& Key);
    bool DeleteValue(const std::string& Name);

    // A missing string reads as ""; a value of another type raises
    // ERegistryException "Invalid data type for '%s'".
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteExpandString(const std::string& Name, const std::string& Value);
    // A missing integer, or one of another type, raises ERegistryException.
    int ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int Value);
    bool ReadBool(const std::string& Name);
    void WriteBool(const std::string& Name, bool Value);
    // Stored as eight bytes of binary data.
    double ReadFloat(const std::string& Name);
    void WriteFloat(const std::string& Name, double Value);
    // Copies up to BufSize bytes; returns how many the value holds.
    int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
    void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

    // Where the registry is kept, for messages and tests.
    static std::string StorageFileName();

private:
    std::vector<std::string> Resolve(const std::string& Key, bool& valid) const;
    void Refresh();
    void WriteValue(const std::string& Name, TRegDataType Type, std::string Data);
    [[noreturn]] static void ReadError(const std::string& Name);
    bool ReadValue(const std::string& Name, TRegDataType& Type, std::string& Data);

    HKEY FRootKey = HKEY_CURRENT_USER;
    unsigned FAccess;
    bool FKeyOpen = false;
    bool FReadOnly = false;
    std::vector<std::string> FCurrentPath;
    std::unique_ptr<tarnello::classes::TRegistryTree> FTree;
};
