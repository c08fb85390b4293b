// Trees left to the end of the process (see JsonRelease).
#include "devconfig/jsonhelpers.h"

#include <utility>
#include <vector>

namespace {

bool g_leaveToExit = false;
// Allocated once and never freed: reachable from here until the process ends.
std::vector<Json::Value>* g_kept = nullptr;

}  // namespace

void JsonLeaveTreesToExit() { g_leaveToExit = true; }

bool JsonTreesLeftToExit() { return g_leaveToExit; }

void JsonRelease(Json::Value&& value) {
  if (!g_leaveToExit) {
    Json::Value freed(std::move(value));
    return;
  }
  if (g_kept == nullptr) g_kept = new std::vector<Json::Value>();
  g_kept->push_back(std::move(value));
}
