// The modules' bindings to the support library zeldll.so and the start-up library
// zelstartup.so. Each call finds the library by file name (in use when it is already loaded,
// else loaded for this one call and closed after it) and the entry by its exported name. A
// missing library prints "\n cannot found <library>." and the binding's own line, a missing
// entry "\n cannot found <entry>() in <library>."; the binding then answers its failure value.
//
// Settings values cross in buffers of kZelCfgBufLen wide characters; integers as "%d" texts.
// "Loc" settings belong to a document (null: the current one), "Cmn" settings are common.
#pragma once

#include "arx/acdocman.h"
#include "arx/ads.h"
#include "companions/zeldll/zeldll_api.h"

#include <string>

inline constexpr const ACHAR* kZelDllFile = L"zeldll.so";
inline constexpr const ACHAR* kZelStartupFile = L"zelstartup.so";
// The product name when the start-up library gives none.
inline constexpr const ACHAR* kZelDefaultProduct = L"KELDOR";

// ---- the entries (failure value; second line printed when the library is missing) ----------

// 0; "\n thunk_zel_getcfgLoc". value: kZelCfgBufLen characters.
int thunk_zel_getcfgLoc(AcApDocument* doc, const ACHAR* key, ACHAR* value, const ACHAR* def);
// 0; "\n thunk_zel_setcfgLoc"
int thunk_zel_setcfgLoc(AcApDocument* doc, const ACHAR* key, const ACHAR* value);
// 0; "\n thunk_zel_getcfgCmn"
int thunk_zel_getcfgCmn(const ACHAR* key, ACHAR* value, const ACHAR* def);
// 0; "\n thunk_zel_setcfgCmn"
int thunk_zel_setcfgCmn(const ACHAR* key, const ACHAR* value);
// 0; "\n dll_Start_DragFilter"
int thunk_Start_DragFilter(AcApDocument* doc, void* command);
// 0; "\n dll_End_DragFilter"
int thunk_End_DragFilter(AcApDocument* doc);
// 512; no second line
int thunk_zel_DrgSw(AcApDocument* doc, void* command, int on);
// 512; no second line. Result bits: kZelSelEntity (entity and point given), kZelSelPoint;
// 0, kZelSelCancelled and kZelSelNothing count as nothing usable.
int thunk_zel_entselp(int reserved, const ACHAR* entityPrompt, const ACHAR* pointPrompt, int kinds,
                      ads_name entity, ads_point point, int reserved2);
// 512; no second line. The point is copied before the call.
int thunk_zel_highlight_sub(void* pickRecord, const ads_point point);
// ""; "\n dll_getZelProductName"
std::wstring thunk_getZelProductName();

// ---- typed accessors ------------------------------------------------------------------------

// The value read as an integer (_wtoi), or def when the key is not set.
int ZelGetLocInt(const ACHAR* key, int def, AcApDocument* doc = nullptr);
int ZelGetCmnInt(const ACHAR* key, int def);
// out gets the value, or def (an empty text for null) when the key is not set; true when found.
bool ZelGetLocText(const ACHAR* key, std::wstring& out, const ACHAR* def = nullptr,
                   AcApDocument* doc = nullptr);
bool ZelGetCmnText(const ACHAR* key, std::wstring& out, const ACHAR* def = nullptr);
// The same into a caller's buffer of kZelCfgBufLen characters.
bool ZelGetLocText(const ACHAR* key, ACHAR* out, const ACHAR* def = nullptr,
                   AcApDocument* doc = nullptr);
bool ZelGetCmnText(const ACHAR* key, ACHAR* out, const ACHAR* def = nullptr);
// true when written.
bool ZelSetLocInt(const ACHAR* key, int value, AcApDocument* doc = nullptr);
bool ZelSetCmnInt(const ACHAR* key, int value);
bool ZelSetLocText(const ACHAR* key, const ACHAR* value, AcApDocument* doc = nullptr);
bool ZelSetCmnText(const ACHAR* key, const ACHAR* value);

// ---- per-document flags ("0" or "1") and the product name ---------------------------------

void ZelResetIsAppInt(AcApDocument* doc = nullptr); // "IsAppInt" back to "0"
void ZelResetIsFrom(AcApDocument* doc = nullptr);   // "IsFrom" back to "0"
void ZelSetFreezeSnapLock(int on, AcApDocument* doc = nullptr);
void ZelSetFreezeOsMode(int on, AcApDocument* doc = nullptr);
void ZelSetFreezeDragMode(int on, AcApDocument* doc = nullptr);

// The name from the start-up library, or kZelDefaultProduct when it is empty or missing.
std::wstring ZelProductName();
