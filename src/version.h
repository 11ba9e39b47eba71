/* The component's version, shared by the code and the VERSIONINFO resource. */
#pragma once

#define DWX_VERSION_MAJOR 1
#define DWX_VERSION_MINOR 4
#define DWX_VERSION_TEXT "1.4"
#define DWX_DESCRIPTION "Volume control toolbar"
