// Identifiers of the preferences dialog and its items, shared by the resource script and the code.
#pragma once

#define DWX_PREFS_DIALOG 101
#define DWX_PREFS_DEVICE_LIST 1000
#define DWX_PREFS_CONTROL_LIST 1001
#define DWX_PREFS_CONTROL_LABEL 1002
#define DWX_PREFS_INTERNAL_NOTE 1003
