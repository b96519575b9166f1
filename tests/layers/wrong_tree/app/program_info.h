// Core code that uses a platform backend directly instead of platform/.
#pragma once
#include "platform/files.h"
#include "platform/posix/posix_util.h"
