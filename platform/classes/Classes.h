// The class library's core in one include: objects and class references, type information, events,
// persistent objects and components, lists, collections, string lists, streams, form resources, INI
// files and threads. Kernel objects are in Kernel.h and SyncObjs.h.
#pragma once

#include "platform/classes/ClassErrors.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Delegate.h"
#include "platform/classes/Filer.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/Lists.h"
#include "platform/classes/Object.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Thread.h"
#include "platform/classes/TypInfo.h"
