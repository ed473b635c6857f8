// Calls into the dialog bar. The bar is a companion module reached through its LISP functions
// (acedInvoke with the function's name and arguments). Each call answers 1 on success; on any
// other result it prints the call's error message and answers 0, and the command goes on.
#pragma once

#include "arx/ads.h"
#include "companions/zelgui/zelgui.h"

#include <cstddef>

int Zelads_FpText(ZelBarTextCallback callback);
int Zelads_FpTile(ZelBarTileCallback callback);
int Zelads_LoadDlg(const ACHAR* name);
int Zelads_UnloadDlg();
int Zelads_SetText(const ACHAR* key, const ACHAR* text);
int Zelads_SetTileText(const ACHAR* key, const ACHAR* text);
// The field's text, copied into buf (cut to size - 1 characters).
int Zelads_GetText(const ACHAR* key, ACHAR* buf, size_t size);
int Zelads_SetFocusText(const ACHAR* key, const ACHAR* value = nullptr);
int Zelads_SetTile(const ACHAR* key, const ACHAR* value = nullptr);
int Zelads_ModeText(const ACHAR* key, short mode, short extra = 0);
int Zelads_ShowText(const ACHAR* key, short show, short extra = 0);
int Zelads_ModeTile(const ACHAR* key, short mode);
int Zelads_ShowTile(const ACHAR* key, short show);
int Zelads_ShowCombo(const ACHAR* key, short show);
int Zelads_ModeCmbList(const ACHAR* key, short mode);
int Zelads_ClrCmbList(const ACHAR* key);
int Zelads_AddCmbList(const ACHAR* key, const ACHAR* item);
int Zelads_DelCmbList(const ACHAR* key, const ACHAR* item);
int Zelads_SetCmbText(short key, const ACHAR* text);
int Zelads_MaskEvent(short which, short on);
int Zelads_RedrawBitmap(short which);
int Zelads_ResetOsmode();
int Zelads_ResetDrgmode();

// The command-line bar: page 0 "DEFAULT", 1 "TEXT", 2 "COORD".
int ArxCmd_LoadDlg(int page);
int ArxCmd_GetText(const ACHAR* key, ACHAR* buf, size_t size);
int ArxCmd_ShowText(const ACHAR* key, const ACHAR* value);
int ArxCmd_ModeText(const ACHAR* key, const ACHAR* value);
int ArxCmd_SetText(const ACHAR* key, const ACHAR* text);
int ArxCmd_SetFocusText(const ACHAR* key);
int ArxCmd_Step(const ACHAR* key);
int ArxCmd_EndJob();
int ArxCmd_SetLastPt();
int ArxCmd_NULL(short which);
// The handle of a control of the bar (0 when the bar cannot tell).
long long ArxCmd_GetHWnd(int id);
// The selection of the text field behind a handle (a caret when first == last; last -1: to the
// end of the text), as a command puts the caret back after changing the text.
int ArxCmd_SetSel(long long handle, int first, int last);
// The selection of the text field behind a handle replaced by the text (inserted at the caret).
int ArxCmd_ReplaceSel(long long handle, const ACHAR* text);

// What every command does to the bar when it starts and ends.
void ResetDialogBar();
