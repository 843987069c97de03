// The window system as the plug-ins and the host program see it.
#pragma once

#include "platform/win/clipboard.h"
#include "platform/win/commdlg.h"
#include "platform/win/handles.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/message_box.h"
#include "platform/win/modules.h"
#include "platform/win/registry.h"
#include "platform/win/screen.h"
#include "platform/win/system.h"
#include "platform/win/timers.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"
