// Small file-system operations on text paths: where the temporary, home and
// driver configuration directories are, path text surgery, and whole-file
// reads and writes. Every operation reports failure through its result
// (false, empty text); none prints.
#pragma once

#include <string>
#include <vector>

namespace corelib {

// TMPDIR when set (even if empty), else "/tmp".
std::string TempDirectory();
// HOME, or empty text when it is not set.
std::string HomeDirectory();
// Target of /proc/self/exe; empty when unreadable or longer than 1023 bytes.
std::string ExecutablePath();
// The working directory; empty when unreadable or longer than 1023 bytes.
std::string CurrentDirectory();

// Every '/' and '\' becomes the separator.
std::string NormalizeSlashes(const std::string& path, char separator = '/');
// b when a is empty; else a minus one trailing '/' or '\', the separator, b.
std::string JoinPath(const std::string& a, const std::string& b, char separator = '/');
// Text before the last separator; the whole path without one; empty text
// when the only separator is the first character.
std::string DirName(const std::string& path, char separator = '/');
// Text after the last separator; the whole path without one.
std::string BaseName(const std::string& path, char separator = '/');

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);

// The whole file, read in binary mode. False (and no bytes) when the file
// cannot be opened or read whole, is empty, or exceeds 2^31 - 1 bytes.
bool ReadFileBytes(const std::string& path, std::vector<char>* bytes);
// The file as text: a leading UTF-8 byte order mark dropped and CR LF made
// LF (a lone CR stays). Empty for a missing, unreadable or empty file.
std::string ReadTextFile(const std::string& path);
// Creates or truncates the file and writes the text up to its first zero
// byte. True only when open, write, flush and close all succeed.
bool WriteTextFile(const std::string& path, const std::string& text);
// Writes path + ".tmp" and renames it over path. On failure the temporary
// file is removed and path is left as it was.
bool WriteTextFileAtomic(const std::string& path, const std::string& text);
bool DeleteFile(const std::string& path);

// Looks for name next to start, then in each directory above it; returns the
// joined path found, or empty text.
std::string FindUpward(const std::string& start, const std::string& name);
// start or its nearest existing ancestor whose last component equals name
// ignoring case; empty text when there is none.
std::string FindAncestorNamed(const std::string& start, const std::string& name);

// FindUpward from the executable for "runtime".
std::string RuntimeDirectory();
// The override when set; else derived from the working directory or the
// runtime directory, computed afresh on each call.
std::string DriverConfigDirectory();
void SetDriverConfigDirectory(const std::string& path);
std::string ReadDriverConfigFile(const std::string& name);
bool WriteDriverConfigFile(const std::string& name, const std::string& text);

}  // namespace corelib
