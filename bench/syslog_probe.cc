// One device diagnostic sent the way the device library sends it: to the
// system log with a copy on standard error, falling back to the console
// when no logger listens. The benchmark times it against doing nothing to
// tell how much of a device round trip the diagnostics take on this machine.
//
//   syslog-probe          does nothing
//   syslog-probe send     sends one message of a device read's length
#include <syslog.h>

int main(int argc, char**) {
  if (argc > 1) {
    openlog(nullptr, LOG_PID | LOG_CONS | LOG_PERROR, LOG_USER);
    syslog(LOG_INFO, "%s",
           "BENCH-0001: Read config of 7989 bytes from [vid:f3a1, pid:2000] (BENCH-0001) and inflated to "
           "22919 bytes\n");
  }
  return 0;
}
