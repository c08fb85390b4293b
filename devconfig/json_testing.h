// Test helper: a JSON literal that the test relies on parsing.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"

inline Json::Value JsonOf(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error << "\n" << text;
  return root;
}
