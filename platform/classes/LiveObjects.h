// Live objects: whether an object a Variant refers to still exists, and which objects are sub-objects
// that their owner creates and frees.
//
// An object is numbered the first time a Variant refers to it; the number travels in the reference's tag
// (Variants.h) and is forgotten when the object is destroyed. A reference whose object was freed, or whose
// address now holds another object, is no longer alive. Thread-safe (one lock).
#pragma once

#include "platform/classes/Object.h"
#include "platform/rtl/Variants.h"

namespace classesconsts {
inline const char* const SObjectFreed = "Object reference is no longer valid";
}

// True when the object Value refers to still exists; nil, references made before the registry started
// and values that are no object reference count as alive.
bool VarObjectAlive(const Variant& Value);
// The object Value refers to; a reference to a freed object raises EAccessViolation SObjectFreed.
TObject* VarLiveObject(const Variant& Value);

// Marks an object that its owner creates and frees (a control's font, a memo's lines, a canvas, the
// application): others may use it but must not free it.
void MarkOwnedSubObject(TObject* Object);
bool IsOwnedSubObject(const TObject* Object);
// Marks an object made at a user's request (a script's constructor call): that user frees it.
void MarkUserMade(TObject* Object);
bool IsUserMade(const TObject* Object);

struct LiveObjectAccess {
  static uint8_t& Flags(TObject* Object) { return Object->liveFlags_; }
  static uint8_t Flags(const TObject* Object) { return Object->liveFlags_; }
};
