#pragma once
// Objects that can copy their state from one another. Assign asks the source
// to copy itself (AssignTo) when the destination does not know the source's
// class; when neither side knows the other, EConvertError names both classes.
#include "platform/classes/Object.h"

class TFiler;
class TPropertyTable;

class TPersistent : public TObject {
public:
    // Copies Source's state into this object; nullptr is allowed only by
    // classes that treat it as "clear".
    virtual void Assign(TPersistent* Source);

    // The owner in the object tree, for classes that have one (collection
    // items, owned sub-objects); nullptr otherwise.
    virtual TPersistent* GetOwner() const { return nullptr; }

    // The published properties of the object's class (see PropertyTables.h);
    // a class declares its own with PUBLISHED, and inherits its parent's.
    static const TPropertyTable& ClassPropertyTable();
    virtual const TPropertyTable* PropertyTable() const;

    // Declares stored data that is no published property (a grid's column
    // widths, a compressed skin) with Filer->DefineProperty and friends.
    virtual void DefineProperties(TFiler* Filer) {}

protected:
    // Copies this object's state into Dest; the default knows no class.
    virtual void AssignTo(TPersistent* Dest);

private:
    [[noreturn]] void AssignError(TPersistent* Source);
};
