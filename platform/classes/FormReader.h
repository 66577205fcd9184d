#pragma once
// Reading stored form descriptions (the text of FormParser.h) into component
// trees. The text is parsed whole first; then the root is made (or an existing
// root is read into) and marked csLoading, and for each object in the order
// written its class is found by name (ClassRegistry.h), it is made with the
// owner its container's GetChildOwner gives (the root by default), placed
// with SetParentComponent in the parent GetChildParent gives, and its
// ReadState reads its properties (PropertyTables.h) in the order written and
// then its children. A named component the root owns is bound to the root's
// member of that name; events are bound to the root's handlers by name.
// References to components (of this form, or of a form read earlier) are
// fixed up once everything is made; then Loaded runs for each component in
// read order, and finally the root's AfterConstruction (a form's OnCreate).
// Reading makes no window.
//
// Any error (syntax, unknown class, property, member, handler or reference, a
// bad value, an exception from a setter) raises EReadError (EClassNotFound for
// a class) naming the problem and its line, after every component the reading
// made is freed and the members it bound are cleared.
#include "platform/classes/Component.h"
#include "platform/classes/FormParser.h"
#include "platform/classes/PropertyTables.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStream;
class TReader;
class TWriter;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

// What DefineProperties talks to. Data that is no published property is
// defined by name with a reading and a writing callback: DefineProperty for
// values (a list of column widths), DefineBinaryProperty for bytes (stored as
// hex { ... }). HasData tells the writer whether there is anything to store.
class TFiler : public TObject {
public:
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;
    TComponent* Root() const { return FRoot; }

protected:
    TComponent* FRoot = nullptr;
};

class TReader : public TFiler {
public:
    // The owner and parent the component being read was made with.
    TComponent* Owner() const { return FOwner; }
    TComponent* Parent() const { return FParent; }

    // TComponent::ReadState's work: the properties of Instance, then the
    // components stored inside it.
    void ReadData(TComponent* Instance);

    // ---- the value of a defined property, inside its ReadData callback ----
    TFormValueKind NextValue() const;
    bool EndOfList() const;
    void ReadListBegin();
    void ReadListEnd();
    std::int64_t ReadInt64();
    int ReadInteger();
    bool ReadBoolean();
    double ReadFloat();
    std::string ReadString();
    std::string ReadIdent();

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

private:
    friend struct TReaderRun;
    struct TFixup {
        TPersistent* Instance;
        const TPropertyInfo* Property;
        std::string Reference;
        std::string Where;
        int Line;
    };
    struct TCursor {
        const TFormValue* Values;
        std::size_t Count;
        std::size_t Index;
    };

    TReader() = default;
    void ReadRoot(TComponent* Root, const TFormObject& Node);
    void ReadComponent(const TFormObject& Node);
    void BindMember(TComponent* Component, const TFormObject& Node);
    void ApplyProperties(TPersistent* Instance, const std::vector<TFormProperty>& Properties, const std::string& Where);
    void ApplyProperty(TPersistent* Instance, const TFormProperty& Property, const std::string& Where);
    void ApplyValue(TPersistent* Instance, const TPropertyInfo& Info, const TFormValue& Value, const std::string& Path, int Line);
    void ApplyStrings(TPersistent* Instance, const TFormValue& Value, const std::string& Path, int Line);
    bool ReadDefined(TPersistent* Instance, const std::string& Name, const TFormValue& Value, const std::string& Path, int Line);
    void ResolveFixups();
    TComponent* ResolveReference(const std::string& Reference) const;
    const TFormValue& Take(const char* What);
    void Undo();
    [[noreturn]] void Fail(const std::string& Message, int Line) const;

    const TPropertyTable* FRootTable = nullptr;
    const TFormObject* FNode = nullptr;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    std::vector<TComponent*> FCreated;  // made by this reading, in order
    std::vector<TComponent*> FLoaded;   // read, in order (Loaded runs in this order)
    std::vector<const TMemberEntry*> FBound;
    std::vector<TFixup> FFixups;
    // The defined property being looked for, and the data it reads.
    const std::string* FDefining = nullptr;
    const TFormValue* FDefiningValue = nullptr;
    std::string FDefiningPath;
    int FDefiningLine = 0;
    bool FDefined = false;
    std::vector<TCursor> FCursors;
};

// Reads a description into Root, which its constructor made; the description
// must name Root's class (or a registered class Root derives from). On error,
// what the reading made is freed and Root's bound members are cleared; Root
// itself stays the caller's.
void ReadComponentText(TComponent* Root, std::string_view Text);

// Makes the root of the registered class the description names, owned by
// Owner, and reads it; on error nothing is left.
TComponent* CreateComponentFromText(std::string_view Text, TComponent* Owner);

// Descriptions compiled into the program, by the class they describe.
void RegisterFormDescription(const std::string& ClassName, std::string Text);
void UnRegisterFormDescription(const std::string& ClassName);
// Reads the description registered for Instance's class into Instance; false
// when none is registered.
bool ReadFormDescription(TComponent* Instance);

// Pictures are named in descriptions by file, relative to this folder (the
// pictures generated at build time); names leading out of it are refused.
void SetFormPictureFolder(const std::string& Folder);
std::string FormPictureFolder();
// The file a description's picture name stands for; EReadError when the
// name leads out of the picture folder or no folder is set.
// Where names the property in the message.
std::string FormPicturePath(const std::string& Name, const std::string& Where = "");
// A root read from a description and still alive, by name: references to
// components of other forms go through it.
TComponent* FindGlobalComponent(const std::string& Name);
