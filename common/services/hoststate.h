// The host's state as the commands read and change it: system variables (colour names of
// CECOLOR given as numbers), object snap, highlighting of selections, the last entity, items
// of result-buffer lists, and numbers as text.
#pragma once

#include "arx/ads.h"
#include "arx/db.h"

#include <string>
#include <vector>

// acedGetVar; CECOLOR's colour names come back as their numbers ("RED" as "1").
int GetSysVar(const ACHAR* name, resbuf* result);
void SetOsmode(int bits);
// How many entities were (un)highlighted (none when highlighting is off and on is asked).
int HighlightSet(const ads_name ss, bool on);
int HighlightEntity(const ads_name ent, bool on);
// The last entity of the drawing, sub-entities included; false when the drawing is empty.
bool LastEntity(ads_name ent);
// The first item of the list with that type code, or null.
const resbuf* FindGroup(const resbuf* list, int code);
// acdbRToS with DIMZIN held at 8, so that trailing zeros are left out.
int RealToText(double value, int units, int precision, ACHAR* buf, size_t size);

// Utilities.
void PumpMessages(int milliseconds);
// Grey that stands out on the drawing area's background (environment value "Background").
int ContrastGrey();
void LockLayers(const std::vector<AcDbObjectId>& layers);
// Unlocks every locked layer of the working drawing and appends its id to layers.
void UnlockAllLayers(std::vector<AcDbObjectId>& layers);
// Every member of first, then of second, in result; false when nothing was added.
bool SelectionUnion(const ads_name first, const ads_name second, ads_name result);
void AddSelectionIds(const ads_name ss, std::vector<AcDbObjectId>& ids);
// The item after the string item equal to key: "%d" for 1070, "%.3f" for 1040, else the text.
bool XdataValue(const resbuf* list, const ACHAR* key, std::wstring& value);
// The object of a handle text; the null id when it is missing or erased.
AcDbObjectId HandleToId(const ACHAR* handle);
