// The runtime layer of the API: application messages, runtime objects, the system registry
// and the dynamic linker that loads modules.
//
// A module is a shared library exporting acrxEntryPoint and acrxGetApiVersion (ZEL_ARX_EXPORT).
// The host calls acrxEntryPoint with kInitAppMsg once after loading it, kLoadDwgMsg for every
// drawing open then and opened later (that drawing is the current document during the call),
// kUnloadDwgMsg before a drawing closes, kInvkSubrMsg when LISP calls one of its functions
// that has no acedRegFunc procedure, kUnloadAppMsg before unloading and kQuitMsg when the
// program ends. appId is the module's handle for the dynamic linker.
#pragma once

#include "ads.h"

#include <cstddef>
#include <cstdint>

#ifndef ZEL_ADESK_DEFINED
#define ZEL_ADESK_DEFINED
namespace Adesk {
using Boolean = bool;
constexpr bool kFalse = false;
constexpr bool kTrue = true;
using Int16 = int16_t;
using UInt16 = uint16_t;
using Int32 = int32_t;
using UInt32 = uint32_t;
using Int64 = int64_t;
using LongPtr = intptr_t;
using IntPtr = intptr_t;
} // namespace Adesk
#endif

namespace AcRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
} // namespace AcRx

// The version of this API; a module answers it from acrxGetApiVersion.
constexpr int kZelArxApiVersion = 20;

#define ZEL_ARX_EXPORT extern "C" __attribute__((visibility("default")))

// What a module exports.
using AcRxEntryPointFn = AcRx::AppRetCode (*)(AcRx::AppMsgCode msg, void* appId);
using AcRxGetApiVersionFn = int (*)();

// Root of the runtime objects kept in the system registry.
class AcRxObject {
public:
    virtual ~AcRxObject() = default;
};

// A dictionary of runtime objects by name. It does not own what it holds.
class AcRxDictionary : public AcRxObject {
public:
    // Null when nothing has that name.
    virtual AcRxObject* at(const ACHAR* key) const = 0;
    // Stores obj under key; the object that had the name before, or null.
    virtual AcRxObject* atPut(const ACHAR* key, AcRxObject* obj) = 0;
    // Removes the name; the object it had, or null.
    virtual AcRxObject* remove(const ACHAR* key) = 0;
    virtual bool has(const ACHAR* key) const = 0;
    virtual uint32_t numEntries() const = 0;
};

// Names of the host's objects in the system registry.
#define ACRX_COMMAND_DOCK L"ACAD_REGISTERED_COMMANDS"
#define ACAD_EDITOR_OBJ L"AcEditor"
#define ACRX_DYNAMIC_LINKER L"DynamicLinker"

// The system registry of the running host (null when no host runs).
AcRxDictionary* acrxSysRegistry();

// Loads and unloads modules and keeps what they declare about themselves.
class AcRxDynamicLinker : public AcRxObject {
public:
    // A locked module (the state after loading) is not unloaded by ARXUNLOAD.
    virtual bool unlockApplication(void* appId) const = 0;
    virtual bool lockApplication(void* appId) const = 0;
    virtual bool isApplicationLocked(const ACHAR* name) const = 0;
    // The module works with several open drawings.
    virtual bool registerAppMDIAware(void* appId) const = 0;
    virtual bool registerAppNotMDIAware(void* appId) const = 0;
    // By file name or path, as ARXLOAD and ARXUNLOAD take it; false (told when printit)
    // when it cannot be done.
    virtual bool loadModule(const ACHAR* fileName, bool printit, bool asCmd = false) = 0;
    virtual bool unloadModule(const ACHAR* fileName, bool asCmd = false) = 0;

    static AcRxDynamicLinker* cast(AcRxObject* o) { return dynamic_cast<AcRxDynamicLinker*>(o); }
};
AcRxDynamicLinker* acrxDynamicLinkerPtr();
#define acrxDynamicLinker acrxDynamicLinkerPtr()

// The file a module or companion library of that name would be loaded from, found as the
// dynamic linker finds modules (ZELCAD_MODULE_PATH, the working folder, the program's folder
// and the folder above it; NAME, NAME.so, libNAME.so, NAME/NAME.so). RTNORM with the path, or
// RTERROR when there is none or it does not fit len. Works without a running session.
int acrxFindModuleFile(const ACHAR* name, ACHAR* result, size_t len);
