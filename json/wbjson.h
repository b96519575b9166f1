// UWBJSON: the JSON value tree with its parser and writer, in one include.
#pragma once

#include "json/wbjson_baltree.h"
#include "json/wbjson_errors.h"
#include "json/wbjson_number.h"
#include "json/wbjson_text.h"
#include "json/wbjson_values.h"
#include "json/wbjson_variant.h"
