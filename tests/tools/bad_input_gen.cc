// Writes the generated part of the bad-input corpus (tests/e2e/bad_input_test.sh):
// for every member of every example document, at any depth, one document
// per wrong kind of value in its place, and for every number (and the first
// element of every array of numbers) one document per extreme number.
//
// Usage: bad_input_gen OUT_DIR EXAMPLE.json...
// Files are named <example>~<member path>~<variant>.json; the member path
// joins names with '.' and array indexes with '@'. A member path that an
// earlier example or array element had already (a document under
// "device_json" counting as one at the top) is not repeated.
#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "corelib/src/pathtools.h"
#include "devconfig/jsonhelpers.h"

namespace {

// A value spliced into the text as it stands, so that it can be what the
// JSON writer would never produce (numbers out of every range).
struct Variant {
  const char* name;
  const char* text;
};

// One of each kind; a member is given every kind but its own.
const Variant kKinds[] = {
    {"null", "null"},         {"true", "true"},          {"int", "-1"},
    {"real", "0.5"},          {"string", "\"x\""},       {"emptyarray", "[]"},
    {"emptyobject", "{}"},    {"array", "[1, \"a\", {}]"}, {"object", "{\"x\": [1]}"},
};

// Numbers out of the range of each of the model's number types. Literals
// no reader takes (1e400) fail the same way wherever they stand; the
// bad-input test has them once.
const Variant kNumbers[] = {
    {"minus1", "-1"},
    {"belowint32", "-2147483649"},
    {"aboveuint32", "4294967296"},
    {"abovefloat", "1e39"},
    {"lowestdouble", "-1.7976931348623157e308"},
    {"denormal", "4.9e-324"},
    {"minuszero", "-0.0"},
};

const char kMarker[] = "@@bad-input-marker@@";

bool IsNumber(const Json::Value& v) { return v.isInt() || v.isUInt() || v.isInt64() || v.isUInt64() || v.isDouble(); }

// The kind a variant text has, to skip a member's own kind.
const char* KindOf(const Json::Value& v) {
  switch (v.type()) {
    case Json::nullValue: return "null";
    case Json::booleanValue: return "true";
    case Json::intValue:
    case Json::uintValue: return "int";
    case Json::realValue: return "real";
    case Json::stringValue: return "string";
    case Json::arrayValue: return v.empty() ? "emptyarray" : "array";
    case Json::objectValue: return v.empty() ? "emptyobject" : "object";
  }
  return "";
}

struct Generator {
  std::set<std::string>* seen;
  std::string outDir;
  std::string example;
  Json::Value root;
  int written = 0;
  bool failed = false;

  // Writes root with the value at *slot replaced by `text`.
  void Emit(Json::Value* slot, const std::string& path, const Variant& variant) {
    Json::Value saved = *slot;
    *slot = Json::Value(kMarker);
    std::string document = WriteStyledJson(root);
    *slot = saved;
    const std::string quoted = std::string("\"") + kMarker + "\"";
    const size_t at = document.find(quoted);
    if (at == std::string::npos) {
      failed = true;
      return;
    }
    document.replace(at, quoted.size(), variant.text);
    std::string name = example + "~" + path + "~" + variant.name + ".json";
    for (char& c : name) {
      if (c == '/' || c == ' ')
        c = '_';
    }
    if (!corelib::WriteTextFile(corelib::JoinPath(outDir, name), document)) {
      fprintf(stderr, "bad_input_gen: cannot write %s\n", name.c_str());
      failed = true;
      return;
    }
    ++written;
  }

  // The key leaves out array indexes: the members of the first camera or
  // eye stand for those of the others.
  bool FirstTime(const std::string& path) {
    const std::string prefix = "device_json.";
    std::string key;
    for (size_t i = path.compare(0, prefix.size(), prefix) == 0 ? prefix.size() : 0; i < path.size(); ++i) {
      if (isdigit(static_cast<unsigned char>(path[i])) && !key.empty() && key.back() == '@')
        continue;
      key.push_back(path[i]);
    }
    return seen->insert(key).second;
  }

  void Visit(Json::Value* value, const std::string& path, bool isMember) {
    // A member seen in an earlier example is not varied again, but what lies
    // inside it may still be new.
    if (isMember && FirstTime(path)) {
      for (const Variant& kind : kKinds) {
        if (std::string(kind.name) != KindOf(*value))
          Emit(value, path, kind);
      }
      if (IsNumber(*value)) {
        for (const Variant& number : kNumbers)
          Emit(value, path, number);
      }
    }
    if (value->isObject()) {
      for (const std::string& name : value->getMemberNames())
        Visit(&(*value)[name], path.empty() ? name : path + "." + name, true);
    } else if (value->isArray()) {
      for (Json::ArrayIndex i = 0; i < value->size(); ++i) {
        Json::Value* element = &(*value)[i];
        const std::string elementPath = path + "@" + std::to_string(i);
        // Numbers of an array: the first stands for the rest.
        if (i == 0 && IsNumber(*element) && FirstTime(elementPath)) {
          for (const Variant& number : kNumbers)
            Emit(element, elementPath, number);
        }
        if (element->isObject() || element->isArray())
          Visit(element, elementPath, false);
      }
    }
  }

};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: bad_input_gen OUT_DIR EXAMPLE.json...\n");
    return 2;
  }
  int total = 0;
  std::set<std::string> seen;
  for (int i = 2; i < argc; ++i) {
    Generator generator;
    generator.seen = &seen;
    generator.outDir = argv[1];
    std::string base = argv[i];
    base = base.substr(base.find_last_of('/') + 1);
    generator.example = base.substr(0, base.rfind(".json"));
    std::string error;
    if (!ParseJsonText(corelib::ReadTextFile(argv[i]), &generator.root, &error)) {
      fprintf(stderr, "bad_input_gen: %s: %s\n", argv[i], error.c_str());
      return 1;
    }
    generator.Visit(&generator.root, "", false);
    if (generator.failed)
      return 1;
    total += generator.written;
  }
  printf("%d\n", total);
  return 0;
}
