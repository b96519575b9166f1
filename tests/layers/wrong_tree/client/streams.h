// A client header that reaches up into the window logic.
#pragma once
#include "app/main_view.h"
#include "strings/strutils.h"
