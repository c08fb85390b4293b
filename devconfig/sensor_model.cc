#include "devconfig/sensor_model.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <utility>

#include "devconfig/jsonhelpers.h"

namespace {

float FloatFromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// A number beyond single precision would be stored as an infinity; it reads
// as 0, like any other element that is not a usable number.
float ToStoredFloat(double value) {
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0f;
  return static_cast<float>(value);
}

float StoredFloat(float value) { return std::isfinite(value) ? value : 0.0f; }

// The first three elements, as JsonGet(element, i, zero) reads them; one
// walk over the array instead of three lookups.
SensorVector3 ReadVector3(const Json::Value& element, const Json::Value& zero) {
  float xyz[3] = {0.0f, 0.0f, 0.0f};
  JsonForEachElement(element, [&](Json::ArrayIndex i, const Json::Value& value) {
    if (i < 3) xyz[i] = ToStoredFloat(JsonRead{&value, &zero}.asDouble());
  });
  SensorVector3 v;
  v.x = xyz[0];
  v.y = xyz[1];
  v.z = xyz[2];
  return v;
}

Json::Value WriteVector3List(const std::vector<SensorVector3>& list) {
  Json::Value array(Json::arrayValue);
  for (const SensorVector3& v : list) {
    Json::Value triple(Json::arrayValue);
    triple.append(JsonFloat(StoredFloat(v.x)));
    triple.append(JsonFloat(StoredFloat(v.y)));
    triple.append(JsonFloat(StoredFloat(v.z)));
    array.append(std::move(triple));
  }
  return array;
}

Json::Value WriteIntList(const std::vector<int32_t>& list) {
  Json::Value array(Json::arrayValue);
  for (int32_t entry : list) array.append(Json::Value(entry));
  return array;
}

bool IsIdentityMap(const std::vector<int32_t>& channelMap, size_t pointCount) {
  if (channelMap.size() != pointCount) return false;
  for (size_t i = 0; i < channelMap.size(); ++i)
    if (channelMap[i] != static_cast<int64_t>(i)) return false;
  return true;
}

}  // namespace

SensorVector3 RenormalizeModelNormal(SensorVector3 n) {
  n.x = StoredFloat(n.x);
  n.y = StoredFloat(n.y);
  n.z = StoredFloat(n.z);
  const float len2 = std::fmaf(n.z, n.z, std::fmaf(n.x, n.x, n.y * n.y));
  const float low = FloatFromBits(kNormalLength2LowBits);
  const float high = FloatFromBits(kNormalLength2HighBits);
  if (len2 > low && len2 < high) return n;

  if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) return n;  // no direction to keep
  if (len2 >= FLT_MIN && std::isfinite(len2)) {
    const float scale = 1.0f / std::sqrt(len2);
    n.x *= scale;
    n.y *= scale;
    n.z *= scale;
    return n;
  }
  // The squared length overflowed single precision or lost its precision
  // below the normal range; every finite float squares within double range.
  const double x = n.x, y = n.y, z = n.z;
  const double length = std::sqrt(x * x + y * y + z * z);
  n.x = static_cast<float>(x / length);
  n.y = static_cast<float>(y / length);
  n.z = static_cast<float>(z / length);
  return n;
}

bool ReadSensorModel(const Json::Value& root, SensorModel* model) {
  *model = SensorModel();
  const Json::Value emptyObject(Json::objectValue);
  const Json::Value& s = *JsonGet(root, "skybeacon_config", emptyObject);

  model->modelCad = JsonGet(s, "modelCad", Json::Value("")).asString();
  if (!JsonHas(s, "modelPoints") || !JsonHas(s, "modelNormals")) return false;

  const Json::Value zero(0.0);
  // A member that is not an array has no elements.
  const Json::Value& points = JsonAt(s, "modelPoints");
  if (points.isArray()) model->modelPoints.reserve(points.size());
  JsonForEachElement(points, [&](Json::ArrayIndex, const Json::Value& point) {
    model->modelPoints.push_back(ReadVector3(point, zero));
  });

  if (JsonHas(s, "channelMap")) {
    const Json::Value& map = JsonAt(s, "channelMap");
    const Json::Value zeroChannel(0);
    JsonForEachElement(map, [&](Json::ArrayIndex, const Json::Value& channel) {
      model->channelMap.push_back(JsonRead{&channel, &zeroChannel}.asInt());
    });
  } else {
    for (size_t i = 0; i < model->modelPoints.size(); ++i)
      model->channelMap.push_back(static_cast<int32_t>(i));
  }

  const Json::Value& normals = JsonAt(s, "modelNormals");
  if (normals.isArray()) model->modelNormals.reserve(normals.size());
  JsonForEachElement(normals, [&](Json::ArrayIndex, const Json::Value& normal) {
    model->modelNormals.push_back(RenormalizeModelNormal(ReadVector3(normal, zero)));
  });

  if (JsonHas(s, "channelOrder")) {
    const Json::Value& order = JsonAt(s, "channelOrder");
    const Json::Value none(-1);
    JsonForEachElement(order, [&](Json::ArrayIndex, const Json::Value& entry) {
      const int32_t channel = JsonRead{&entry, &none}.asInt();
      if (channel >= 0) model->channelOrder.push_back(channel);
    });
  }

  model->modelPointsHash = ComputeModelPointsHash(model->channelMap, model->modelPoints);
  model->present = true;
  return true;
}

Json::Value WriteSensorModel(const SensorModel& model) {
  Json::Value o;  // stays null when nothing is added
  if (!model.modelCad.empty()) o["modelCad"] = model.modelCad;
  if (!model.channelMap.empty() && !IsIdentityMap(model.channelMap, model.modelPoints.size()))
    o["channelMap"] = WriteIntList(model.channelMap);
  if (!model.channelOrder.empty()) o["channelOrder"] = WriteIntList(model.channelOrder);
  if (!model.modelPoints.empty()) o["modelPoints"] = WriteVector3List(model.modelPoints);
  if (!model.modelNormals.empty()) o["modelNormals"] = WriteVector3List(model.modelNormals);
  return o;
}
