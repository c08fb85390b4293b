// The least a run can cost: read a document, parse it with JsonCpp's classic
// reader and write it back with JsonCpp's styled writer, nothing else.
// The benchmark builds it against the same libraries as sbconfigtool so that
// both pay the same dynamic linking.
//
//   bench-floor                  does nothing (startup alone)
//   bench-floor IN               writes the document to standard output
//   bench-floor IN OUT           writes it to the file OUT
#include <json/json.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

bool ReadAll(const char* path, std::string* text) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path, "rb"), fclose);
  if (!file) return false;
  char buffer[65536];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof(buffer), file.get())) > 0) text->append(buffer, got);
  return ferror(file.get()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 0;
  std::string text;
  if (!ReadAll(argv[1], &text)) {
    fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  Json::Value root;
  Json::Reader reader;
  if (!reader.parse(text, root, true)) {
    fprintf(stderr, "%s", reader.getFormattedErrorMessages().c_str());
    return 1;
  }
  Json::StyledWriter writer;
  const std::string out = writer.write(root);
  FILE* target = argc > 2 ? fopen(argv[2], "wb") : stdout;
  if (target == nullptr) return 1;
  const bool ok = fwrite(out.data(), 1, out.size(), target) == out.size();
  return (fclose(target) == 0 && ok) ? 0 : 1;
}
