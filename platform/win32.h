// The one door through which Orvane reaches Win32, the Setup API and the registry.
// On Windows it is the real thing; elsewhere the simulated system declares the same subset.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h must come first.
#include <setupapi.h>
// The device nodes' status (CM_Get_DevNode_Status, which setupapi.dll exports too).
#include <cfgmgr32.h>
// The common controls, for InitCommonControls.
#include <commctrl.h>
// The device-change events, for WM_DEVICECHANGE.
#include <dbt.h>
#include <string.h>
#else
#include "sim/win32_sim.h"
#endif
