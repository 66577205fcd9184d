#include "platform/user/controls/Controls.h"

void RegisterListBoxClass() {}
