// A client header that reaches up into the window logic.
#pragma once
#include "strings/strutils.h"
#include "app/main_view.h"
