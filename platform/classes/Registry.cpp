#include "platform/classes/Registry.h"

#include "platform/classes/FileIO.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TextHelpers.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnello::classes {

// The registry's keys and values in memory, and their text form.
class TRegistryTree {
public:
    struct TValue {
        std::string name;
        TRegDataType type = rdUnknown;
        std::string data;  // text for strings, little-endian bytes otherwise
    };
    struct TNode {
        std::string name;
        std::map<std::string, std::unique_ptr<TNode>> children;  // by lower-case name
        std::vector<TValue> values;

        TNode* Child(const std::string& childName, bool create)
        {
            const std::string key = LowerKey(childName);
            auto it = children.find(key);
            if (it != children.end())
                return it->second.get();
            if (!create)
                return nullptr;
            auto node = std::make_unique<TNode>();
            node->name = childName;
            return children.emplace(key, std::move(node)).first->second.get();
        }
        TValue* Value(std::string_view valueName)
        {
            for (auto& v : values)
                if (SameNoCase(v.name, valueName))
                    return &v;
            return nullptr;
        }
    };

    explicit TRegistryTree(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& FileName() const { return FFileName; }
    TNode* Find(const std::vector<std::string>& path, bool create)
    {
        TNode* node = &FRoot;
        for (const auto& segment : path) {
            node = node->Child(segment, create);
            if (!node)
                return nullptr;
        }
        return node;
    }

    // Reads the file again when another writer has replaced it.
    void Refresh()
    {
        const TFileStamp stamp = GetFileStamp(FFileName);
        if (!FStale && stamp == FStamp)
            return;
        FRoot = TNode{};
        if (stamp.exists)
            Parse(DecodeTextFile(ReadWholeFile(FFileName)));
        FStamp = stamp;
        FStale = false;
    }

    // Runs change under the registry's lock on the newest content and stores
    // the result; false when it could not be stored (the change is dropped).
    template <class Change>
    bool Update(Change&& change)
    {
        const auto slash = FFileName.rfind('/');
        const std::string folder = FFileName.substr(0, slash);
        // The configuration folder and our folder in it are made when
        // missing; nothing else is created.
        const std::string base = folder.substr(0, folder.rfind('/'));
        if (!base.empty() && ::mkdir(base.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        const std::string lockName = folder + "/registry.lock";
        const int lock = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock < 0)
            return false;
        while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
        }
        bool stored = false;
        try {
            Refresh();
            change(FRoot);
            WriteFileAtomically(FFileName, Render(), 0600, TWriteDurability::Durable);
            FStamp = GetFileStamp(FFileName);
            stored = true;
        } catch (const Exception&) {
            FStale = true;
        }
        ::close(lock);
        return stored;
    }

    void Parse(const std::string& text);
    std::string Render() const;

private:
    void RenderNode(const TNode& node, const std::string& path, std::string& out) const;

    std::string FFileName;
    TNode FRoot;
    TFileStamp FStamp;
    bool FStale = true;
};

namespace {

std::string Quote(std::string_view s)
{
    static const char* const kHex = "0123456789abcdef";
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted string starting at s[i] == '"'; false when it is not closed.
bool Unquote(std::string_view s, std::size_t& i, std::string& out)
{
    if (i >= s.size() || s[i] != '"')
        return false;
    ++i;
    while (i < s.size()) {
        const char c = s[i++];
        if (c == '"')
            return true;
        if (c != '\\' || i >= s.size()) {
            out += c;
            continue;
        }
        const char e = s[i++];
        if (e == 'x' && i + 1 < s.size() && HexDigit(s[i]) >= 0 && HexDigit(s[i + 1]) >= 0) {
            out += static_cast<char>(HexDigit(s[i]) * 16 + HexDigit(s[i + 1]));
            i += 2;
        } else {
            out += e;
        }
    }
    return false;
}

bool ParseData(std::string_view s, TRegDataType& type, std::string& data)
{
    std::size_t i = 0;
    if (s.substr(0, 1) == "\"") {
        type = rdString;
        return Unquote(s, i, data) && TrimView(s.substr(i)).empty();
    }
    if (s.substr(0, 7) == "expand:") {
        type = rdExpandString;
        i = 7;
        return Unquote(s, i, data) && TrimView(s.substr(i)).empty();
    }
    if (s.substr(0, 6) == "dword:") {
        const std::string_view digits = TrimView(s.substr(6));
        if (digits.empty() || digits.size() > 8)
            return false;
        std::uint32_t v = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                return false;
            v = v * 16 + static_cast<std::uint32_t>(d);
        }
        type = rdInteger;
        data.assign(4, '\0');
        for (int b = 0; b < 4; ++b)
            data[static_cast<std::size_t>(b)] = static_cast<char>((v >> (8 * b)) & 0xFF);
        return true;
    }
    if (s.substr(0, 4) == "hex:") {
        type = rdBinary;
        std::string_view rest = TrimView(s.substr(4));
        while (!rest.empty()) {
            const auto comma = rest.find(',');
            const std::string_view byte = TrimView(rest.substr(0, comma));
            if (byte.size() != 2 || HexDigit(byte[0]) < 0 || HexDigit(byte[1]) < 0)
                return false;
            data += static_cast<char>(HexDigit(byte[0]) * 16 + HexDigit(byte[1]));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        return true;
    }
    return false;
}

std::string RenderData(const TRegistryTree::TValue& v)
{
    static const char* const kHex = "0123456789abcdef";
    switch (v.type) {
    case rdString: return Quote(v.data);
    case rdExpandString: return "expand:" + Quote(v.data);
    case rdInteger: {
        std::uint32_t x = 0;
        for (int b = 3; b >= 0; --b)
            x = (x << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(b)]);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", x);
        return buffer;
    }
    default: {
        std::string out = "hex:";
        for (std::size_t i = 0; i < v.data.size(); ++i) {
            if (i > 0)
                out += ',';
            const auto u = static_cast<unsigned char>(v.data[i]);
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
        return out;
    }
    }
}

}  // namespace

void TRegistryTree::Parse(const std::string& text)
{
    TNode* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = TrimView(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            std::vector<std::string> path;
            std::string_view inner = line.substr(1, line.size() - 2);
            while (!inner.empty()) {
                const auto sep = inner.find('\\');
                const std::string_view segment = inner.substr(0, sep);
                if (!segment.empty())
                    path.emplace_back(segment);
                inner = sep == std::string_view::npos ? std::string_view() : inner.substr(sep + 1);
            }
            current = path.empty() ? nullptr : Find(path, true);
            continue;
        }
        if (!current)
            continue;
        // "name"=data or @=data; anything else is skipped.
        std::string name;
        std::size_t i = 0;
        if (line.front() == '@') {
            i = 1;
        } else if (!Unquote(line, i, name)) {
            continue;
        }
        const std::string_view rest = TrimView(line.substr(i));
        if (rest.empty() || rest.front() != '=')
            continue;
        TValue value;
        value.name = name;
        if (!ParseData(TrimView(rest.substr(1)), value.type, value.data))
            continue;
        if (TValue* existing = current->Value(name))
            *existing = std::move(value);
        else
            current->values.push_back(std::move(value));
    }
}

void TRegistryTree::RenderNode(const TNode& node, const std::string& path, std::string& out) const
{
    out += "\n[" + path + "]\n";
    for (const auto& v : node.values) {
        out += v.name.empty() ? std::string("@") : Quote(v.name);
        out += '=';
        out += RenderData(v);
        out += '\n';
    }
    for (const auto& [key, child] : node.children)
        RenderNode(*child, path + "\\" + child->name, out);
}

std::string TRegistryTree::Render() const
{
    std::string out = "; Tarnello settings. Keep the layout when editing by hand.\n";
    for (const auto& [key, root] : FRoot.children)
        RenderNode(*root, root->name, out);
    return out;
}

}  // namespace tarnello::classes

using tarnello::classes::TRegistryTree;

namespace {

const char* RootName(HKEY root)
{
    if (root == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    if (root == HKEY_USERS)
        return "HKEY_USERS";
    if (root == HKEY_CURRENT_CONFIG)
        return "HKEY_CURRENT_CONFIG";
    return nullptr;
}

bool ValidKeyName(std::string_view name)
{
    if (name.size() > 255)
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

}  // namespace

std::string TRegistry::StorageFileName()
{
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/tarnello/registry.reg";
}

TRegistry::TRegistry(unsigned AAccess)
    : FAccess(AAccess), FTree(std::make_unique<TRegistryTree>(StorageFileName()))
{
}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY Value)
{
    CloseKey();
    FRootKey = Value;
}

void TRegistry::Refresh()
{
    FTree->Refresh();
}

std::vector<std::string> TRegistry::Resolve(const std::string& Key, bool& valid) const
{
    valid = RootName(FRootKey) != nullptr;
    std::vector<std::string> path{RootName(FRootKey) ? RootName(FRootKey) : ""};
    std::string_view rest = Key;
    const bool absolute = !rest.empty() && rest.front() == '\\';
    if (!absolute && FKeyOpen)
        path.insert(path.end(), FCurrentPath.begin(), FCurrentPath.end());
    while (!rest.empty()) {
        const auto sep = rest.find('\\');
        const std::string_view segment = rest.substr(0, sep);
        if (!segment.empty()) {
            if (!ValidKeyName(segment))
                valid = false;
            path.emplace_back(segment);
        }
        rest = sep == std::string_view::npos ? std::string_view() : rest.substr(sep + 1);
    }
    return path;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate)
{
    bool valid = false;
    std::vector<std::string> path = Resolve(Key, valid);
    if (!valid)
        return false;
    Refresh();
    if (!FTree->Find(path, false)) {
        if (!CanCreate || FReadOnly || !(FAccess & KEY_CREATE_SUB_KEY))
            return false;
        if (!FTree->Update([&](TRegistryTree::TNode& root) {
                TRegistryTree::TNode* node = &root;
                for (const auto& s : path)
                    node = node->Child(s, true);
            }))
            return false;
    }
    FCurrentPath.assign(path.begin() + 1, path.end());
    FKeyOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key)
{
    const bool opened = OpenKey(Key, false);
    if (opened)
        FReadOnly = true;
    return opened;
}

void TRegistry::CloseKey()
{
    FKeyOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
}

HKEY TRegistry::CurrentKey() const
{
    return FKeyOpen ? reinterpret_cast<HKEY>(const_cast<TRegistry*>(this)) : nullptr;
}

std::string TRegistry::CurrentPath() const
{
    std::string path;
    for (const auto& s : FCurrentPath) {
        if (!path.empty())
            path += '\\';
        path += s;
    }
    return path;
}

bool TRegistry::KeyExists(const std::string& Key)
{
    bool valid = false;
    const auto path = Resolve(Key, valid);
    if (!valid)
        return false;
    Refresh();
    return FTree->Find(path, false) != nullptr;
}

bool TRegistry::ValueExists(const std::string& Name)
{
    TRegDataType type;
    std::string data;
    return ReadValue(Name, type, data);
}

bool TRegistry::HasSubKeys()
{
    bool valid = false;
    const auto path = Resolve("", valid);
    Refresh();
    const auto* node = valid ? FTree->Find(path, false) : nullptr;
    return node && !node->children.empty();
}

void TRegistry::GetKeyNames(TStrings* Strings)
{
    bool valid = false;
    const auto path = Resolve("", valid);
    Refresh();
    Strings->BeginUpdate();
    Strings->Clear();
    if (const auto* node = valid ? FTree->Find(path, false) : nullptr)
        for (const auto& [key, child] : node->children)
            Strings->Add(child->name);
    Strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* Strings)
{
    bool valid = false;
    const auto path = Resolve("", valid);
    Refresh();
    Strings->BeginUpdate();
    Strings->Clear();
    if (const auto* node = valid ? FTree->Find(path, false) : nullptr)
        for (const auto& v : node->values)
            Strings->Add(v.name);
    Strings->EndUpdate();
}

bool TRegistry::ReadValue(const std::string& Name, TRegDataType& Type, std::string& Data)
{
    bool valid = false;
    const auto path = Resolve("", valid);
    if (!valid)
        return false;
    Refresh();
    auto* node = FTree->Find(path, false);
    auto* value = node ? node->Value(Name) : nullptr;
    if (!value)
        return false;
    Type = value->type;
    Data = value->data;
    return true;
}

TRegDataType TRegistry::GetDataType(const std::string& Name)
{
    TRegDataType type = rdUnknown;
    std::string data;
    return ReadValue(Name, type, data) ? type : rdUnknown;
}

int TRegistry::GetDataSize(const std::string& Name)
{
    TRegDataType type = rdUnknown;
    std::string data;
    if (!ReadValue(Name, type, data))
        return -1;
    // Strings count their terminating zero, as stored strings do.
    const std::size_t size = data.size() + (type == rdString || type == rdExpandString ? 1 : 0);
    return size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
}

void TRegistry::ReadError(const std::string& Name)
{
    throw ERegistryException("Invalid data type for '" + Name + "'");
}

void TRegistry::WriteValue(const std::string& Name, TRegDataType Type, std::string Data)
{
    bool valid = false;
    const auto path = Resolve("", valid);
    if (!valid || FReadOnly || !(FAccess & KEY_SET_VALUE) || Name.size() > 16383)
        throw ERegistryException("Failed to set data for '" + Name + "'");
    const bool stored = FTree->Update([&](TRegistryTree::TNode& root) {
        TRegistryTree::TNode* node = &root;
        for (const auto& s : path)
            node = node->Child(s, true);
        if (auto* existing = node->Value(Name)) {
            existing->type = Type;
            existing->data = std::move(Data);
        } else {
            node->values.push_back({Name, Type, std::move(Data)});
        }
    });
    if (!stored)
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

std::string TRegistry::ReadString(const std::string& Name)
{
    TRegDataType type = rdUnknown;
    std::string data;
    if (!ReadValue(Name, type, data))
        return std::string();
    if (type != rdString && type != rdExpandString)
        ReadError(Name);
    return data;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value)
{
    WriteValue(Name, rdString, Value);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value)
{
    WriteValue(Name, rdExpandString, Value);
}

int TRegistry::ReadInteger(const std::string& Name)
{
    TRegDataType type = rdUnknown;
    std::string data;
    if (!ReadValue(Name, type, data) || type != rdInteger || data.size() != 4)
        ReadError(Name);
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b)
        v = (v << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(b)]);
    return static_cast<int>(v);
}

void TRegistry::WriteInteger(const std::string& Name, int Value)
{
    const auto v = static_cast<std::uint32_t>(Value);
    std::string data(4, '\0');
    for (int b = 0; b < 4; ++b)
        data[static_cast<std::size_t>(b)] = static_cast<char>((v >> (8 * b)) & 0xFF);
    WriteValue(Name, rdInteger, std::move(data));
}

bool TRegistry::ReadBool(const std::string& Name)
{
    return ReadInteger(Name) != 0;
}

void TRegistry::WriteBool(const std::string& Name, bool Value)
{
    WriteInteger(Name, Value ? 1 : 0);
}

double TRegistry::ReadFloat(const std::string& Name)
{
    TRegDataType type = rdUnknown;
    std::string data;
    if (!ReadValue(Name, type, data) || type != rdBinary || data.size() != sizeof(double))
        ReadError(Name);
    double value = 0;
    std::memcpy(&value, data.data(), sizeof value);
    return value;
}

void TRegistry::WriteFloat(const std::string& Name, double Value)
{
    WriteBinaryData(Name, &Value, sizeof Value);
}

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize)
{
    TRegDataType type = rdUnknown;
    std::string data;
    if (!ReadValue(Name, type, data))
        return 0;
    if (type != rdBinary)
        ReadError(Name);
    if (BufSize < static_cast<int>(data.size()))
        ReadError(Name);
    if (!data.empty())
        std::memcpy(Buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize)
{
    if (BufSize < 0)
        throw ERegistryException("Failed to set data for '" + Name + "'");
    WriteValue(Name, rdBinary, std::string(static_cast<const char*>(Buffer), static_cast<std::size_t>(BufSize)));
}

bool TRegistry::DeleteValue(const std::string& Name)
{
    bool valid = false;
    const auto path = Resolve("", valid);
    if (!valid || FReadOnly || !ValueExists(Name))
        return false;
    return FTree->Update([&](TRegistryTree::TNode& root) {
        if (auto* node = FTree->Find(path, false))
            for (auto it = node->values.begin(); it != node->values.end(); ++it)
                if (tarnello::classes::SameNoCase(it->name, Name)) {
                    node->values.erase(it);
                    break;
                }
    });
}

bool TRegistry::DeleteKey(const std::string& Key)
{
    bool valid = false;
    auto path = Resolve(Key, valid);
    if (!valid || FReadOnly || path.size() < 2 || !KeyExists(Key))
        return false;
    const std::string last = path.back();
    path.pop_back();
    return FTree->Update([&](TRegistryTree::TNode& root) {
        if (auto* parent = FTree->Find(path, false))
            parent->children.erase(tarnello::classes::LowerKey(last));
    });
}
