// The automatic backup of the headset's configuration before it is
// overwritten: its file name, and writing it without ever replacing an
// earlier backup.
#pragma once

#include <string>

// Counters 0 to 99 are tried.
constexpr int kBackupCounterLimit = 100;

// The serial number as a file name part: every byte that is not an ASCII
// letter or digit, '.', '_' or '-' becomes '_'. A serial can be a device
// path or hold any character; the name must still stay in its directory.
std::string BackupFileStem(const std::string& serial);

// stem + "-" + counter + ".json", e.g. "ABC123-0.json".
std::string BackupFileName(const std::string& serial, int counter);

enum class BackupResult { kWritten, kAllNamesTaken, kWriteFailed };

// Writes `text` unchanged to the first backup name in `directory` (empty
// text: the working directory) that is free, and sets `name` to it. The
// text goes to a temporary file, is synced, and only then takes the name,
// in a way that fails rather than replace a file that appeared meanwhile.
// kWriteFailed sets `error` to the reason; no temporary file remains after any result.
BackupResult WriteBackupFile(const std::string& directory, const std::string& serial,
                             const std::string& text, std::string* name, std::string* error);
