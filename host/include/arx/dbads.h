// The entity data lists of the C-style API: entity names, entget/entmod/entmake, walking the
// drawing, handles, registered applications and table searches. Included by db.h.
//
// An entity name is { slot of the object, tag of its database }; a name that is not one of a
// live database's objects is refused (RTERROR / eInvalidAdsName), never followed.
#pragma once

Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);

// The data list of an object: (-1 . name) (0 . type) (330 . owner) (5 . handle) 102 groups,
// subclass markers and fields. acdbEntGetX adds (-3 (1001 . app) ...) for the applications
// named in apps (RTSTR nodes; "*" and "?" match any text / character). The caller frees it.
struct resbuf* acdbEntGet(const ads_name ent);
struct resbuf* acdbEntGetX(const ads_name ent, const struct resbuf* apps);
// Changes an object from a data list that starts with its name. A group the kind does not
// have, a value out of range or a different type (0) gives RTERROR and changes nothing.
// A layer not in the drawing is created; xdata after -3 replaces that of each application.
int acdbEntMod(const struct resbuf* ent);
// Makes an entity in model space of the working drawing (or an object with no owner, for
// acdbEntMakeX). POLYLINE and INSERT with attributes are made by a sequence of calls ending
// with SEQEND; RTNORM for each accepted part, RTERROR for a bad list (the sequence is dropped).
int acdbEntMake(const struct resbuf* ent);
int acdbEntMakeX(const struct resbuf* ent, ads_name result);
// Erases an entity, or brings an erased one back.
int acdbEntDel(const ads_name ent);
// Nothing to redraw in a host without a screen: RTNORM for a live entity.
int acdbEntUpd(const ads_name ent);
// The last entity of model space that is not erased.
int acdbEntLast(ads_name result);
// The entity after ent in the drawing (model space, then paper space), walking into the
// sub-entities of complex entities; with a null ent the first one. RTERROR at the end.
int acdbEntNext(const ads_name ent, ads_name result);
int acdbHandEnt(const ACHAR* handle, ads_name result);
// Adds an application to the APPID table; RTERROR when it is there already or bad.
int acdbRegApp(const ACHAR* appName);
// The data list of a table record (without -1, with 0 type first); setNext makes the next
// acdbTblNext of that table continue after it. Null when there is none.
struct resbuf* acdbTblSearch(const ACHAR* table, const ACHAR* name, int setNext);
struct resbuf* acdbTblNext(const ACHAR* table, int rewind);
