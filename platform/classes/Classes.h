#pragma once
// The class library in one include: objects and events, persistent objects,
// components, lists, string lists, collections and streams.
#include "platform/classes/Events.h"
#include "platform/classes/Object.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
