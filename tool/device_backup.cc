#include "tool/device_backup.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "corelib/src/pathtools.h"

namespace {

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '.' || c == '_' || c == '-';
}

// The reason alone: the caller names the backup file, and the temporary
// name would only confuse.
std::string ErrorText(int code) { return strerror(code != 0 ? code : EIO); }

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// The backup's content under a name no backup can have (a leading dot, the
// process id), created exclusively so that nothing already there is used.
// The mode is 0666 less the umask, as for any file the tool writes.
bool WriteTemporary(const std::string& directory, const std::string& text, std::string* path,
                    std::string* error) {
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    *path = corelib::JoinPath(directory, ".sbconfigtool-backup-" + std::to_string(getpid()) +
                                             "-" + std::to_string(attempt) + ".tmp");
    fd = open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 99)) {
      *error = ErrorText(errno);
      return false;
    }
  }
  // The first failing step gives the reason.
  int code = 0;
  if (!WriteAll(fd, text) || fsync(fd) != 0) code = errno != 0 ? errno : EIO;
  if (close(fd) != 0 && code == 0) code = errno;
  if (code != 0) {
    unlink(path->c_str());
    *error = ErrorText(code);
    return false;
  }
  return true;
}

// Gives the temporary file its final name unless that name exists; 0 or
// the error number (EEXIST when the name is taken).
int PublishWithoutReplacing(const std::string& temporary, const std::string& path) {
  if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
    return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  // File systems without RENAME_NOREPLACE: a hard link fails on an
  // existing name just the same.
  if (link(temporary.c_str(), path.c_str()) != 0) return errno;
  unlink(temporary.c_str());
  return 0;
}

// Makes the new name survive a crash; best effort, the data is synced.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

std::string BackupFileStem(const std::string& serial) {
  std::string stem = serial;
  for (char& c : stem) {
    if (!IsNameCharacter(c)) c = '_';
  }
  return stem;
}

std::string BackupFileName(const std::string& serial, int counter) {
  return BackupFileStem(serial) + "-" + std::to_string(counter) + ".json";
}

BackupResult WriteBackupFile(const std::string& directory, const std::string& serial,
                             const std::string& text, std::string* name, std::string* error) {
  std::string temporary;
  for (int counter = 0; counter < kBackupCounterLimit; ++counter) {
    const std::string candidate = BackupFileName(serial, counter);
    const std::string path = corelib::JoinPath(directory, candidate);
    if (corelib::FileExists(path)) continue;
    // Written once, on the first free name: a failure then names the file
    // the user would have got.
    if (temporary.empty() && !WriteTemporary(directory, text, &temporary, error)) {
      *name = candidate;
      return BackupResult::kWriteFailed;
    }
    // A name taken since the check (another run, a dangling link) is skipped.
    const int code = PublishWithoutReplacing(temporary, path);
    if (code == EEXIST) continue;
    if (code != 0) {
      unlink(temporary.c_str());
      *name = candidate;
      *error = ErrorText(code);
      return BackupResult::kWriteFailed;
    }
    SyncDirectory(directory);
    *name = candidate;
    return BackupResult::kWritten;
  }
  if (!temporary.empty()) unlink(temporary.c_str());
  return BackupResult::kAllNamesTaken;
}
