// Reading JSON text: the classic reader with comments, and the loaders.
#include "devconfig/jsonhelpers.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>

#include "corelib/src/logchannel.h"

namespace {

const char kLibraryException[] = "exception thrown in JSON library";

// Reads a whole regular file. False when there is nothing to read: no file,
// a directory, or no permission to open it.
bool ReadWholeFile(const std::string& path, std::string* text, bool* readError) {
  *readError = false;
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
    return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "rb"), fclose);
  if (!file)
    return false;
  text->clear();
  if (S_ISREG(info.st_mode) && info.st_size > 0)
    text->reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof(buffer), file.get())) > 0)
    text->append(buffer, got);
  *readError = ferror(file.get()) != 0;
  return true;
}

}  // namespace

bool ParseJsonText(const std::string& text, Json::Value* root, std::string* error) {
  std::string message;
  try {
    Json::Reader reader(Json::Features::all());
    Json::Value parsed;
    const char* begin = text.data();
    if (reader.parse(begin, begin + text.size(), parsed, true)) {
      root->swap(parsed);
      return true;
    }
    message = reader.getFormattedErrorMessages();
  } catch (...) {
    // Deep nesting and the like throw from inside the reader.
    message = kLibraryException;
  }
  if (error != nullptr)
    *error = message;
  return false;
}

bool JsonGuard(const std::function<void()>& body, std::string* error) {
  try {
    body();
    return true;
  } catch (const std::exception& e) {
    if (error != nullptr)
      *error = e.what();
  } catch (...) {
    if (error != nullptr)
      *error = kLibraryException;
  }
  return false;
}

int LoadJsonFile(const std::string& path, Json::Value* root, std::string* errorOut) {
  std::string text;
  bool readError = false;
  if (!ReadWholeFile(path, &text, &readError))
    return kJsonLoadFileMissing;
  std::string error;
  if (readError) {
    error = "could not read the file";
  } else if (text.empty() || ParseJsonText(text, root, &error)) {
    return kJsonLoadOk;
  }
  if (errorOut != nullptr)
    *errorOut = error;
  else
    corelib::Log("Parsing of JSON file \"%s\" failed: %s\n", path.c_str(), error.c_str());
  return kJsonLoadParseError;
}

int LoadJsonString(const std::string& text, Json::Value* root, std::string* errorOut) {
  if (text.empty())
    return kJsonLoadOk;
  std::string error;
  if (ParseJsonText(text, root, &error))
    return kJsonLoadOk;
  if (errorOut != nullptr)
    *errorOut = error;
  else
    corelib::Log("Parsing of JSON string \"%s\" failed: %s\n", text.c_str(), error.c_str());
  return kJsonLoadParseError;
}
