// Turning the type name and value text of a keyed edit into a JSON value.
#pragma once

#include <json/json.h>

#include <string>

#include "tool/tool_options.h"

// The value of `edit` by its type name, matched with letter case:
//   "string"  the text unchanged
//   "float"   strtof, kept at single precision (widened to double)
//   "double"  strtod
//   "int"     strtoll in base 10, a signed 64-bit integer
// Leading blanks and a sign are accepted and characters after the number
// ignored, but at least one character must convert and the result must be
// in range (an infinity is not). On failure the result is null and `error`
// holds the message to print, line end included.
Json::Value MakeTypedJsonValue(const TypedElementEdit& edit, std::string* error);
