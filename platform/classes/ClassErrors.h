// Exceptions of the class library's core classes and the texts of their messages.
#pragma once

#include "platform/rtl/Exception.h"

// Lists and string lists.
K58_DECLARE_EXCEPTION(EListError, Exception);
K58_DECLARE_EXCEPTION(EStringListError, Exception);
// Streams and files.
K58_DECLARE_EXCEPTION(EStreamError, Exception);
K58_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
K58_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
K58_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
// Component streaming.
K58_DECLARE_EXCEPTION(EFilerError, EStreamError);
K58_DECLARE_EXCEPTION(EReadError, EFilerError);
K58_DECLARE_EXCEPTION(EWriteError, EFilerError);
K58_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
K58_DECLARE_EXCEPTION(EMethodNotFound, EFilerError);
K58_DECLARE_EXCEPTION(EInvalidImage, EFilerError);
K58_DECLARE_EXCEPTION(EParserError, Exception);
K58_DECLARE_EXCEPTION(EResNotFound, Exception);
// Components, type information, threads, INI files.
K58_DECLARE_EXCEPTION(EComponentError, Exception);
K58_DECLARE_EXCEPTION(EPropertyError, Exception);
K58_DECLARE_EXCEPTION(EPropertyConvertError, Exception);
K58_DECLARE_EXCEPTION(EInvalidOperation, Exception);
K58_DECLARE_EXCEPTION(EThread, Exception);
K58_DECLARE_EXCEPTION(EIniFileException, Exception);

// Message texts; those with %s or %d go through Format.
namespace classesconsts {
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SDuplicateItem = "List does not allow duplicates ($0%x)";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFCreateErrorEx = "Cannot create file \"%s\". %s";
inline constexpr const char* SFOpenErrorEx = "Cannot open file \"%s\". %s";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SCantWriteResourceStreamError = "Can't write to a read-only resource stream";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SDuplicateClass = "A class named %s already exists";
inline constexpr const char* SAbstractClass = "Cannot create instance of abstract class %s";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SReadOnlyProperty = "Property is read-only";
inline constexpr const char* SPropertyException = "Error reading %s%s%s: %s";
inline constexpr const char* SAncestorNotFound = "Ancestor for '%s' not found";
inline constexpr const char* SMethodNotFound = "Method '%s' not found";
inline constexpr const char* SInvalidPropertyPath = "Invalid property path";
inline constexpr const char* SUnresolvedReference = "Component '%s' not found";
inline constexpr const char* SThreadError = "Thread Error: %s (%d)";
inline constexpr const char* SThreadWaitSelf = "A thread cannot wait for itself";
inline constexpr const char* SCheckSynchronizeError =
    "CheckSynchronize called from thread $%x, which is NOT the main thread";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
inline constexpr const char* SInvalidCollectionItem = "Invalid collection item class";
}  // namespace classesconsts
