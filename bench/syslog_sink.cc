// A minimal system logger for the benchmark: it listens on a unix datagram
// socket, as journald or rsyslog listen on /dev/log, and throws every message
// away. With it the C library hands a diagnostic to a logger the way it does
// on a production machine, instead of writing it to /dev/console.
//
//   syslog-sink PATH     binds PATH, then receives until SIGTERM or SIGINT
//                        and prints the number of messages received
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stop = 0;

void Stop(int) { g_stop = 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || strlen(argv[1]) >= sizeof(sockaddr_un::sun_path)) {
    fprintf(stderr, "usage: syslog-sink PATH\n");
    return 2;
  }
  // No SA_RESTART: the signal must end a waiting recv.
  struct sigaction action;
  memset(&action, 0, sizeof(action));
  action.sa_handler = Stop;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address;
  memset(&address, 0, sizeof(address));
  address.sun_family = AF_UNIX;
  strcpy(address.sun_path, argv[1]);
  unlink(argv[1]);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    perror("syslog-sink");
    return 1;
  }
  // Any local program may log, as with a real logger.
  chmod(argv[1], 0666);
  // A signal that lands just before recv would not end it; the timeout
  // makes sure the flag is seen.
  timeval wait = {0, 100000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
  long received = 0;
  char message[8192];
  while (!g_stop) {
    if (recv(fd, message, sizeof(message), 0) >= 0)
      ++received;
  }
  close(fd);
  unlink(argv[1]);
  printf("%ld\n", received);
  return 0;
}
