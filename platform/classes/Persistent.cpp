#include "platform/classes/Persistent.h"

#include "platform/rtl/Exceptions.h"

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    const std::string sourceName = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName() + ".");
}
