// A command's changes as one undo group, by driving the host's UNDO command (UNDOCTL: 4 the
// Auto option is on, 8 a group is open).
#pragma once

// Closes an open group and opens a new one when Auto is on.
void UndoRestartGroup();
void UndoRestartGroupQuiet(); // with CMDECHO off around it
// Ends a pending host command and closes the open group.
void UndoCloseGroup();
void UndoCloseGroupQuiet();
// Turns Auto on unless it is; wasOn tells UndoAutoRestore whether to turn it off again.
void UndoAutoOn(int& wasOn);
void UndoAutoRestore(int wasOn);
// Closes the open group and undoes it.
void UndoRollBack();

// CMDECHO: saved receives whether it was on; it is set to value when that differs.
void CmdEchoSave(int& saved, int value);
void CmdEchoRestore(int saved);
