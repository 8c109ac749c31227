#pragma once

#include "platform/Platform.h"

#include <functional>

class QWidget;

// The real services of this desktop; `owner` parents the dialogs.
Platform makeDesktopPlatform(std::function<QWidget*()> owner);
