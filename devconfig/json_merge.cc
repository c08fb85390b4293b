// Deep merge of one object into another.
#include "devconfig/jsonhelpers.h"

#include <exception>

namespace {

void Merge(Json::Value& destination, const Json::Value& source) {
  // getMemberNames is in ascending order; it throws for a source that is
  // neither an object nor null.
  for (const std::string& name : source.getMemberNames()) {
    Json::Value& target = destination[name];
    const Json::Value& incoming = source[name];
    if (target.isObject() && incoming.isObject())
      Merge(target, incoming);
    else
      target = Json::Value(incoming);
  }
}

}  // namespace

void MergeJsonObjects(Json::Value& destination, const Json::Value& source) {
  // A library error ends the merge where it happened; what was merged stays.
  try {
    Merge(destination, source);
  } catch (const std::exception&) {
  }
}
