#include "platform/classes/FormReader.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collections.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TextHelpers.h"

#include <algorithm>
#include <map>
#include <mutex>

using tarnello::classes::SameNoCase;

// ---- TComponent's reading hook ---------------------------------------------------

void TComponent::ReadState(TReader* Reader)
{
    Reader->ReadData(this);
}

namespace {

// The roots read so far that are still alive. A component of its own that asks
// to hear of each root's end keeps the list honest without help from forms.
class TGlobalRoots : public TComponent {
public:
    TGlobalRoots() : TComponent(nullptr) {}

    void Add(TComponent* Root)
    {
        if (std::find(FRoots.begin(), FRoots.end(), Root) != FRoots.end())
            return;
        FRoots.push_back(Root);
        FreeNotification(Root);
    }

    TComponent* Find(const std::string& Name) const
    {
        for (TComponent* root : FRoots)
            if (!Name.empty() && SameNoCase(root->Name(), Name))
                return root;
        return nullptr;
    }

    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove)
            FRoots.erase(std::remove(FRoots.begin(), FRoots.end(), AComponent), FRoots.end());
    }

private:
    std::vector<TComponent*> FRoots;
};

TGlobalRoots& GlobalRoots()
{
    // Never freed: roots still alive at exit must find it whole.
    static TGlobalRoots* roots = new TGlobalRoots;
    return *roots;
}

struct TDescriptions {
    std::mutex Lock;
    std::map<std::string, std::string> Texts;  // by lower-case class name
    std::string PictureFolder;
};

TDescriptions& Descriptions()
{
    static TDescriptions* d = new TDescriptions;
    return *d;
}

std::string NodeName(const TFormObject& Node)
{
    return Node.Name.empty() ? Node.ClassName : Node.Name;
}

const char* KindName(TFormValueKind kind)
{
    switch (kind) {
    case TFormValueKind::Integer: return "an integer";
    case TFormValueKind::Float: return "a number";
    case TFormValueKind::String: return "a string";
    case TFormValueKind::Ident: return "an identifier";
    case TFormValueKind::Set: return "a set";
    case TFormValueKind::List: return "a list";
    case TFormValueKind::Collection: return "a collection";
    case TFormValueKind::Binary: return "binary data";
    }
    return "a value";
}

// Keeps a collection or string list in one update while it is refilled, and
// ends the update even when an item fails.
template <class T>
struct TUpdateGuard {
    explicit TUpdateGuard(T* target) : Target(target) { Target->BeginUpdate(); }
    ~TUpdateGuard() { Target->EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;
    T* Target;
};

}  // namespace

// Drives one reading and undoes it when it fails.
struct TReaderRun {
    static void Read(TComponent* Root, const TFormObject& Node, bool OwnsRoot)
    {
        TReader reader;
        try {
            reader.ReadRoot(Root, Node);
        } catch (...) {
            reader.Undo();
            if (OwnsRoot)
                Root->Free();
            throw;
        }
    }
};

void TReader::Fail(const std::string& Message, int Line) const
{
    throw EReadError(Message + " on line " + std::to_string(Line));
}

void TReader::ReadRoot(TComponent* Root, const TFormObject& Node)
{
    FRoot = Root;
    FRootTable = Root->PropertyTable();
    if (Node.Kind == TFormObjectKind::Inherited)
        Fail("A description must start with 'object'", Node.Line);
    if (!SameNoCase(Root->ClassName(), Node.ClassName)) {
        TComponentClass cls = GetClass(Node.ClassName);
        if (!cls || !cls->IsInstance(Root))
            Fail("A description of " + Node.ClassName + " cannot be read into a " + Root->ClassName(), Node.Line);
    }
    FLoaded.push_back(Root);
    Root->IncludeState(csLoading);
    Root->IncludeState(csReading);
    if (!Node.Name.empty() && Root->Name() != Node.Name) {
        try {
            Root->SetName(Node.Name);
        } catch (const Exception& e) {
            Fail(e.Message(), Node.Line);
        }
    }
    FNode = &Node;
    FOwner = Root->Owner();
    FParent = nullptr;
    Root->ReadState(this);
    ResolveFixups();
    for (TComponent* c : FLoaded)
        c->ExcludeState(csReading);
    for (TComponent* c : FLoaded)
        c->Loaded();
    GlobalRoots().Add(Root);
    FLoaded.clear();
    Root->AfterConstruction();
}

void TReader::Undo()
{
    for (const TMemberEntry* m : FBound)
        m->Bind(FRoot, nullptr);
    // Last made first: a component made inside another one goes before it.
    for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it)
        (*it)->Free();
    for (TComponent* c : FLoaded)
        if (std::find(FCreated.begin(), FCreated.end(), c) == FCreated.end()) {
            c->ExcludeState(csReading);
            c->ExcludeState(csLoading);
        }
    FCreated.clear();
    FLoaded.clear();
}

void TReader::ReadData(TComponent* Instance)
{
    const TFormObject& node = *FNode;
    ApplyProperties(Instance, node.Properties, NodeName(node));
    TComponent* savedOwner = FOwner;
    TComponent* savedParent = FParent;
    FParent = Instance->GetChildParent();
    FOwner = Instance->GetChildOwner();
    if (!FOwner)
        FOwner = FRoot;
    for (const TFormObject& child : node.Children)
        ReadComponent(child);
    FOwner = savedOwner;
    FParent = savedParent;
}

void TReader::ReadComponent(const TFormObject& Node)
{
    TComponent* c = nullptr;
    if (Node.Kind == TFormObjectKind::Inherited) {
        // The component came with the ancestor class; only its values are stored.
        c = FOwner->FindComponent(Node.Name);
        if (!c)
            Fail("Inherited component " + Node.Name + " not found", Node.Line);
        c->IncludeState(csLoading);
        c->IncludeState(csReading);
    } else {
        TComponentClass cls = GetClass(Node.ClassName);
        if (!cls)
            throw EClassNotFound("Class " + Node.ClassName + " not found on line " + std::to_string(Node.Line));
        try {
            c = cls->Create(FOwner);
        } catch (const Exception& e) {
            Fail("Cannot make " + NodeName(Node) + ": " + e.Message(), Node.Line);
        }
        FCreated.push_back(c);
        c->IncludeState(csLoading);
        c->IncludeState(csReading);
        try {
            if (!Node.Name.empty())
                c->SetName(Node.Name);
            if (FParent)
                c->SetParentComponent(FParent);
        } catch (const Exception& e) {
            Fail(e.Message(), Node.Line);
        }
    }
    FLoaded.push_back(c);
    BindMember(c, Node);
    const TFormObject* saved = FNode;
    FNode = &Node;
    c->ReadState(this);
    FNode = saved;
}

void TReader::BindMember(TComponent* Component, const TFormObject& Node)
{
    if (Node.Name.empty() || Component->Owner() != FRoot)
        return;
    const TMemberEntry* member = FRootTable->FindMember(Node.Name);
    if (!member)
        Fail("Member " + Node.Name + " not found in " + FRoot->ClassName(), Node.Line);
    if (!member->Bind(FRoot, Component))
        Fail("Member " + Node.Name + " of " + FRoot->ClassName() + " cannot hold a " + Component->ClassName(), Node.Line);
    FBound.push_back(member);
}

void TReader::ApplyProperties(TPersistent* Instance, const std::vector<TFormProperty>& Properties,
                              const std::string& Where)
{
    for (const TFormProperty& p : Properties)
        ApplyProperty(Instance, p, Where);
}

void TReader::ApplyProperty(TPersistent* Instance, const TFormProperty& Property, const std::string& Where)
{
    TPersistent* target = Instance;
    std::string path = Where;
    std::string_view rest = Property.Name;
    for (;;) {
        std::size_t dot = rest.find('.');
        std::string name(rest.substr(0, dot));
        path += "." + name;
        if (dot == std::string_view::npos) {
            // Lists of strings are also written as Lines.Strings = (...).
            if (SameNoCase(name, "Strings") && dynamic_cast<TStrings*>(target)) {
                ApplyStrings(target, Property.Value, path, Property.Line);
                return;
            }
            const TPropertyInfo* info = target->PropertyTable()->FindProperty(name);
            if (info) {
                try {
                    ApplyValue(target, *info, Property.Value, path, Property.Line);
                } catch (const EReadError&) {
                    throw;
                } catch (const EClassNotFound&) {
                    throw;
                } catch (const Exception& e) {
                    // A setter refused the value: say where.
                    Fail("Error setting " + path + ": " + e.Message(), Property.Line);
                }
                return;
            }
            if (ReadDefined(target, name, Property.Value, path, Property.Line))
                return;
            Fail("Property " + path + " does not exist", Property.Line);
        }
        const TPropertyInfo* info = target->PropertyTable()->FindProperty(name);
        if (!info)
            Fail("Property " + path + " does not exist", Property.Line);
        if (info->Kind != TPropertyKind::Object && info->Kind != TPropertyKind::Strings &&
            info->Kind != TPropertyKind::Collection)
            Fail("Property " + path + " has no sub-properties", Property.Line);
        target = info->GetObject(target);
        if (!target)
            Fail("Property " + path + " holds no object", Property.Line);
        rest.remove_prefix(dot + 1);
    }
}

void TReader::ApplyStrings(TPersistent* Instance, const TFormValue& Value, const std::string& Path, int Line)
{
    auto* list = dynamic_cast<TStrings*>(Instance);
    if (!list)
        Fail("Property " + Path + " holds no string list", Line);
    if (Value.Kind != TFormValueKind::List)
        Fail("Property " + Path + " expects a list of strings but found " + KindName(Value.Kind), Line);
    for (const TFormValue& item : Value.Items)
        if (item.Kind != TFormValueKind::String)
            Fail("Property " + Path + " expects a list of strings but found " + KindName(item.Kind), item.Line);
    TUpdateGuard<TStrings> update(list);
    list->Clear();
    for (const TFormValue& item : Value.Items)
        list->Add(item.Text);
}

void TReader::ApplyValue(TPersistent* Instance, const TPropertyInfo& Info, const TFormValue& Value,
                         const std::string& Path, int Line)
{
    auto expect = [&](const char* what) {
        Fail("Property " + Path + " expects " + what + " but found " + KindName(Value.Kind), Line);
    };
    auto needSetter = [&](bool has) {
        if (!has)
            Fail("Property " + Path + " cannot be written", Line);
    };
    switch (Info.Kind) {
    case TPropertyKind::Integer: {
        needSetter(static_cast<bool>(Info.SetInt));
        std::int64_t v = 0;
        if (Value.Kind == TFormValueKind::Integer)
            v = Value.Int;
        else if (Value.Kind == TFormValueKind::Ident && Info.Idents) {
            auto it = std::find_if(Info.Idents->begin(), Info.Idents->end(),
                                   [&](const TIdentMapEntry& e) { return SameNoCase(e.Name, Value.Text); });
            if (it == Info.Idents->end())
                Fail("Property " + Path + " has no value named " + Value.Text, Line);
            v = it->Value;
        } else
            expect("an integer");
        // Hex values and named constants may fill the type's whole width
        // (system colours are 0xFF0000nn in a signed colour type).
        const bool wide = Value.Kind == TFormValueKind::Ident || Value.Hex;
        if (v < Info.Min || v > (wide ? Info.HexMax : Info.Max))
            Fail("Value " + std::to_string(v) + " is out of range for " + Path, Line);
        Info.SetInt(Instance, v);
        return;
    }
    case TPropertyKind::Bool:
        needSetter(static_cast<bool>(Info.SetInt));
        if (Value.Kind != TFormValueKind::Ident || (!SameNoCase(Value.Text, "True") && !SameNoCase(Value.Text, "False")))
            expect("True or False");
        Info.SetInt(Instance, SameNoCase(Value.Text, "True") ? 1 : 0);
        return;
    case TPropertyKind::Float:
        needSetter(static_cast<bool>(Info.SetFloat));
        if (Value.Kind == TFormValueKind::Integer)
            Info.SetFloat(Instance, static_cast<double>(Value.Int));
        else if (Value.Kind == TFormValueKind::Float)
            Info.SetFloat(Instance, Value.Float);
        else
            expect("a number");
        return;
    case TPropertyKind::String:
        needSetter(static_cast<bool>(Info.SetString));
        if (Value.Kind != TFormValueKind::String)
            expect("a string");
        Info.SetString(Instance, Value.Text);
        return;
    case TPropertyKind::Enum: {
        needSetter(static_cast<bool>(Info.SetInt));
        if (Value.Kind != TFormValueKind::Ident)
            expect("an identifier");
        std::int64_t v = 0;
        if (!Info.Enum->ValueOf(Value.Text, v))
            Fail(Value.Text + " is not a value of " + Info.Enum->TypeName() + " (" + Path + ")", Line);
        Info.SetInt(Instance, v);
        return;
    }
    case TPropertyKind::Set: {
        needSetter(static_cast<bool>(Info.SetInt));
        if (Value.Kind != TFormValueKind::Set)
            expect("a set");
        std::uint64_t bits = 0;
        for (const TFormValue& item : Value.Items) {
            std::int64_t v = 0;
            if (!Info.Enum->ValueOf(item.Text, v) || v < 0 || v > 63)
                Fail(item.Text + " is not a value of " + Info.Enum->TypeName() + " (" + Path + ")", item.Line);
            bits |= std::uint64_t{1} << v;
        }
        Info.SetInt(Instance, static_cast<std::int64_t>(bits));
        return;
    }
    case TPropertyKind::Strings: {
        TPersistent* list = Info.GetObject(Instance);
        ApplyStrings(list, Value, Path, Line);
        return;
    }
    case TPropertyKind::Collection: {
        auto* collection = dynamic_cast<TCollection*>(Info.GetObject(Instance));
        if (!collection)
            Fail("Property " + Path + " holds no collection", Line);
        if (Value.Kind != TFormValueKind::Collection)
            expect("a collection");
        TUpdateGuard<TCollection> update(collection);
        collection->Clear();
        for (std::size_t i = 0; i < Value.Collection.size(); ++i) {
            TCollectionItem* item = collection->Add();
            ApplyProperties(item, Value.Collection[i].Properties, Path + "[" + std::to_string(i) + "]");
        }
        return;
    }
    case TPropertyKind::Object: {
        TPersistent* object = Info.GetObject(Instance);
        if (Value.Kind != TFormValueKind::String || !Info.LoadFromFile)
            Fail("Property " + Path + " takes sub-properties (" + Path + ".Name = ...)", Line);
        if (!object)
            Fail("Property " + Path + " holds no object", Line);
        const std::string& name = Value.Text;
        std::string file;
        try {
            file = FormPicturePath(name, Path);
        } catch (const EReadError& e) {
            Fail(e.Message(), Line);
        }
        try {
            Info.LoadFromFile(object, file);
        } catch (const Exception& e) {
            Fail("Cannot load picture " + name + " for " + Path + ": " + e.Message(), Line);
        }
        return;
    }
    case TPropertyKind::Component:
        needSetter(static_cast<bool>(Info.SetComponent));
        if (Value.Kind != TFormValueKind::Ident)
            expect("a component name");
        FFixups.push_back(TFixup{Instance, &Info, Value.Text, Path, Line});
        return;
    case TPropertyKind::Method: {
        if (Value.Kind != TFormValueKind::Ident)
            expect("a handler name");
        const TMethodEntry* handler = FRootTable->FindMethod(Value.Text);
        if (!handler)
            Fail("Handler " + Value.Text + " not found in " + FRoot->ClassName() + " (" + Path + ")", Line);
        if (!Info.SetMethod(Instance, *handler, FRoot))
            Fail("Handler " + Value.Text + " does not fit the event " + Path, Line);
        return;
    }
    }
}

bool TReader::ReadDefined(TPersistent* Instance, const std::string& Name, const TFormValue& Value,
                          const std::string& Path, int Line)
{
    FDefining = &Name;
    FDefiningValue = &Value;
    FDefiningPath = Path;
    FDefiningLine = Line;
    FDefined = false;
    struct TClear {
        TReader* R;
        ~TClear()
        {
            R->FDefining = nullptr;
            R->FDefiningValue = nullptr;
            R->FCursors.clear();
        }
    } clear{this};
    Instance->DefineProperties(this);
    return FDefined;
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
    if (!FDefining || FDefined || !SameNoCase(Name, *FDefining))
        return;
    FDefined = true;
    if (!ReadData)
        Fail("Property " + FDefiningPath + " cannot be read", FDefiningLine);
    FCursors.assign(1, TCursor{FDefiningValue, 1, 0});
    try {
        ReadData(this);
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Fail("Error reading " + FDefiningPath + ": " + e.Message(), FDefiningLine);
    }
    if (FCursors.size() != 1 || FCursors[0].Index != 1)
        Fail("Property " + FDefiningPath + " holds more data than was read", FDefiningLine);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool)
{
    if (!FDefining || FDefined || !SameNoCase(Name, *FDefining))
        return;
    FDefined = true;
    if (!ReadData)
        Fail("Property " + FDefiningPath + " cannot be read", FDefiningLine);
    if (FDefiningValue->Kind != TFormValueKind::Binary)
        Fail("Property " + FDefiningPath + " expects binary data but found " + KindName(FDefiningValue->Kind),
             FDefiningLine);
    TMemoryStream stream;
    stream.WriteBuffer(FDefiningValue->Text.data(), static_cast<std::int64_t>(FDefiningValue->Text.size()));
    stream.SetPosition(0);
    try {
        ReadData(&stream);
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Fail("Error reading " + FDefiningPath + ": " + e.Message(), FDefiningLine);
    }
}

const TFormValue& TReader::Take(const char* What)
{
    if (FCursors.empty())
        throw EReadError("No property data to read");
    TCursor& top = FCursors.back();
    if (top.Index >= top.Count)
        Fail("Property " + FDefiningPath + " holds less data than " + What, FDefiningLine);
    return top.Values[top.Index++];
}

TFormValueKind TReader::NextValue() const
{
    if (FCursors.empty() || FCursors.back().Index >= FCursors.back().Count)
        throw EReadError("No property data to read");
    return FCursors.back().Values[FCursors.back().Index].Kind;
}

bool TReader::EndOfList() const
{
    return FCursors.empty() || FCursors.back().Index >= FCursors.back().Count;
}

void TReader::ReadListBegin()
{
    const TFormValue& v = Take("a list");
    if (v.Kind != TFormValueKind::List)
        Fail("Property " + FDefiningPath + " expects a list but found " + KindName(v.Kind), v.Line);
    FCursors.push_back(TCursor{v.Items.data(), v.Items.size(), 0});
}

void TReader::ReadListEnd()
{
    if (FCursors.size() < 2)
        throw EReadError("ReadListEnd without ReadListBegin");
    if (!EndOfList())
        Fail("Property " + FDefiningPath + " holds more items than were read", FDefiningLine);
    FCursors.pop_back();
}

std::int64_t TReader::ReadInt64()
{
    const TFormValue& v = Take("an integer");
    if (v.Kind != TFormValueKind::Integer)
        Fail("Property " + FDefiningPath + " expects an integer but found " + KindName(v.Kind), v.Line);
    return v.Int;
}

int TReader::ReadInteger()
{
    std::int64_t v = ReadInt64();
    if (v < INT32_MIN || v > INT32_MAX)
        Fail("Value " + std::to_string(v) + " is out of range for " + FDefiningPath, FDefiningLine);
    return static_cast<int>(v);
}

bool TReader::ReadBoolean()
{
    std::string v = ReadIdent();
    if (SameNoCase(v, "True"))
        return true;
    if (SameNoCase(v, "False"))
        return false;
    Fail("Property " + FDefiningPath + " expects True or False but found " + v, FDefiningLine);
}

double TReader::ReadFloat()
{
    const TFormValue& v = Take("a number");
    if (v.Kind == TFormValueKind::Integer)
        return static_cast<double>(v.Int);
    if (v.Kind != TFormValueKind::Float)
        Fail("Property " + FDefiningPath + " expects a number but found " + KindName(v.Kind), v.Line);
    return v.Float;
}

std::string TReader::ReadString()
{
    const TFormValue& v = Take("a string");
    if (v.Kind != TFormValueKind::String)
        Fail("Property " + FDefiningPath + " expects a string but found " + KindName(v.Kind), v.Line);
    return v.Text;
}

std::string TReader::ReadIdent()
{
    const TFormValue& v = Take("an identifier");
    if (v.Kind != TFormValueKind::Ident)
        Fail("Property " + FDefiningPath + " expects an identifier but found " + KindName(v.Kind), v.Line);
    return v.Text;
}

void TReader::ResolveFixups()
{
    for (const TFixup& f : FFixups) {
        TComponent* target = ResolveReference(f.Reference);
        if (!target)
            Fail("Reference " + f.Reference + " not found (" + f.Where + ")", f.Line);
        if (!f.Property->SetComponent(f.Instance, target))
            Fail("Reference " + f.Reference + " is a " + target->ClassName() + ", which " + f.Where + " cannot hold",
                 f.Line);
    }
    FFixups.clear();
}

TComponent* TReader::ResolveReference(const std::string& Reference) const
{
    std::string_view rest = Reference;
    std::size_t dot = rest.find('.');
    std::string first(rest.substr(0, dot));
    TComponent* base = nullptr;
    if (TComponent* own = FRoot->FindComponent(first))
        base = own;
    else if (SameNoCase(first, FRoot->Name()))
        base = FRoot;
    else
        base = GlobalRoots().Find(first);
    while (base && dot != std::string_view::npos) {
        rest.remove_prefix(dot + 1);
        dot = rest.find('.');
        base = base->FindComponent(std::string(rest.substr(0, dot)));
    }
    return base;
}

// ---- entry points -------------------------------------------------------------

void ReadComponentText(TComponent* Root, std::string_view Text)
{
    TFormObject tree = ParseFormText(Text);
    TReaderRun::Read(Root, tree, false);
}

TComponent* CreateComponentFromText(std::string_view Text, TComponent* Owner)
{
    TFormObject tree = ParseFormText(Text);
    TComponentClass cls = GetClass(tree.ClassName);
    if (!cls)
        throw EClassNotFound("Class " + tree.ClassName + " not found on line " + std::to_string(tree.Line));
    TComponent* root = cls->Create(Owner);
    TReaderRun::Read(root, tree, true);
    return root;
}

void RegisterFormDescription(const std::string& ClassName, std::string Text)
{
    TDescriptions& d = Descriptions();
    std::lock_guard guard(d.Lock);
    d.Texts[tarnello::classes::LowerKey(ClassName)] = std::move(Text);
}

void UnRegisterFormDescription(const std::string& ClassName)
{
    TDescriptions& d = Descriptions();
    std::lock_guard guard(d.Lock);
    d.Texts.erase(tarnello::classes::LowerKey(ClassName));
}

bool ReadFormDescription(TComponent* Instance)
{
    std::string text;
    {
        TDescriptions& d = Descriptions();
        std::lock_guard guard(d.Lock);
        auto it = d.Texts.find(tarnello::classes::LowerKey(Instance->ClassName()));
        if (it == d.Texts.end())
            return false;
        text = it->second;
    }
    ReadComponentText(Instance, text);
    return true;
}

void SetFormPictureFolder(const std::string& Folder)
{
    TDescriptions& d = Descriptions();
    std::lock_guard guard(d.Lock);
    d.PictureFolder = Folder;
    while (d.PictureFolder.size() > 1 && d.PictureFolder.back() == '/')
        d.PictureFolder.pop_back();
}

std::string FormPictureFolder()
{
    TDescriptions& d = Descriptions();
    std::lock_guard guard(d.Lock);
    return d.PictureFolder;
}

std::string FormPicturePath(const std::string& Name, const std::string& Where)
{
    std::string of = Where.empty() ? "" : " of " + Where;
    // Only files below the picture folder: a description names generated
    // pictures, never arbitrary files.
    bool escapes = Name.empty() || Name[0] == '/' || Name == ".." || Name.rfind("../", 0) == 0 ||
                   Name.find("/../") != std::string::npos ||
                   (Name.size() >= 3 && Name.compare(Name.size() - 3, 3, "/..") == 0);
    if (escapes)
        throw EReadError("Picture " + Name + of + " is not a file below the picture folder");
    std::string folder = FormPictureFolder();
    if (folder.empty())
        throw EReadError("No picture folder is set for " + (Where.empty() ? "picture " + Name : Where));
    return folder + "/" + Name;
}

TComponent* FindGlobalComponent(const std::string& Name)
{
    return GlobalRoots().Find(Name);
}
