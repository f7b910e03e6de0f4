// Recording doubles of the platform layer, for tests.
#pragma once

#include "platform/testing/recording_help.h"
#include "platform/testing/recording_messagewindows.h"
#include "platform/testing/recording_shell.h"
#include "platform/testing/scripted_filedialog.h"
#include "platform/testing/scripted_fontdialog.h"
