#include "skin/controls/SkinDataAssign.h"

#include "platform/classes/PropertyTables.h"

int AssignSkinData(TComponent* Owner, TspSkinData* Data)
{
    int n = 0;
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        TComponent* c = Owner->Components(i);
        const TPropertyTable* table = c->PropertyTable();
        const TPropertyInfo* p = table ? table->FindProperty("SkinData") : nullptr;
        if (p && p->SetComponent && p->SetComponent(c, Data))
            ++n;
        n += AssignSkinData(c, Data);
    }
    return n;
}
