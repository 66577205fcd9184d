#pragma once
// The class library in one include: objects and events, persistent objects,
// components, lists, string lists, collections and streams.
#include "platform/classes/Collections.h"
#include "platform/classes/Component.h"
#include "platform/classes/Events.h"
#include "platform/classes/Lists.h"
#include "platform/classes/Object.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/Sets.h"
#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
