#pragma once
#include "tests/support/GuiThread.h"
