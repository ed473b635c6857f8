// The entries of the support library zeldll.so and the start-up library zelstartup.so, as the
// modules look them up by exported name (C linkage). Texts cross in buffers of
// kZelCfgBufLen wide characters; integers as "%d" texts.
#pragma once

#include "arx/acdocman.h"
#include "arx/ads.h"

#include <cstddef>

inline constexpr size_t kZelCfgBufLen = 256;

// Results of dll_zel_entselp: an entity was picked (its name and the pick point are given), a
// point was given; the user cancelled; nothing was given (Enter). Only 1 and 2 are usable.
enum ZelEntSelResult {
    kZelSelEntity = 0x1,
    kZelSelPoint = 0x2,
    kZelSelCancelled = 0x100,
    kZelSelNothing = 0x200,
};

// Per-document settings ("Loc"; a null document is the current one) and common settings
// ("Cmn"). The getters copy the value (or, when the key is not set, the default text) into
// value and answer nonzero when the key was found. The setters answer nonzero when written.
using ZelGetCfgLocFn = int (*)(AcApDocument* doc, const ACHAR* key, ACHAR* value, const ACHAR* def);
using ZelSetCfgLocFn = int (*)(AcApDocument* doc, const ACHAR* key, const ACHAR* value);
using ZelGetCfgCmnFn = int (*)(const ACHAR* key, ACHAR* value, const ACHAR* def);
using ZelSetCfgCmnFn = int (*)(const ACHAR* key, const ACHAR* value);
// The drag filter of a document: on from start to end; 1 when it changed, 0 when it was
// already in that state.
using ZelStartDragFilterFn = int (*)(AcApDocument* doc, void* command);
using ZelEndDragFilterFn = int (*)(AcApDocument* doc);
// The drag switch: on (1) when a command starts, off (0) when it ends; 1 when done, 0 when
// switching off a command that does not hold it.
using ZelDrgSwFn = int (*)(AcApDocument* doc, void* command, int on);
// An entity or a point: entityPrompt first; a pick on an entity of a kind the mask refuses
// asks again with pointPrompt for a point alone. kinds: the entity-kind mask of the command
// object base (line 1, circle 2, arc 4, construction line 8, ray 16, text 64, polyline 128,
// spline 256, ellipse 512, leader 1024, multiline text 2048; 0 accepts every kind). The
// reserved arguments are 0. Result: ZelEntSelResult.
using ZelEntSelPFn = int (*)(int reserved, const ACHAR* entityPrompt, const ACHAR* pointPrompt,
                             int kinds, ads_name entity, ads_point point, int reserved2);
// Holds and highlights the entity at the point for the pick record (a key: the record's
// address); the entity it held before is unhighlighted. 1 when an entity is held now.
using ZelHighlightSubFn = int (*)(void* pickRecord, const ads_point point);
// zelstartup.so: the product name (never null).
using ZelProductNameFn = const ACHAR* (*)();
