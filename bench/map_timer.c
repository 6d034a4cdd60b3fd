/* Times a program from its start to its window on the screen:
 *   map_timer CAPTION PROGRAM [ARGUMENT...]
 * starts PROGRAM (standard input /dev/null, as a launcher leaves it; its output thrown away),
 * prints the milliseconds from just before the start to the moment the X server maps a top-level
 * window titled CAPTION, ends the program, and prints the processor time (user and system, ms)
 * the program had used by then: steadier than the wall time on a busy machine. Meant for a display without a window manager,
 * where a program's windows are the root window's children. Exit status 1 when no such window
 * showed within ten seconds or the program ended first. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static double Milliseconds(const struct timespec* from, const struct timespec* to) {
  return (double)(to->tv_sec - from->tv_sec) * 1e3 + (double)(to->tv_nsec - from->tv_nsec) / 1e6;
}

static int Titled(Display* display, Window window, const char* caption) {
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  XTextProperty text;
  int same = 0;
  if (XGetTextProperty(display, window, &text, name) && text.value != NULL) {
    same = text.encoding == utf8 && strcmp((const char*)text.value, caption) == 0;
    XFree(text.value);
  }
  if (!same && XGetWMName(display, window, &text) && text.value != NULL) {
    same = strcmp((const char*)text.value, caption) == 0;
    XFree(text.value);
  }
  return same;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: map_timer CAPTION PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "map_timer: no display\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  struct timespec start, mapped;
  pid_t child;
  clock_gettime(CLOCK_MONOTONIC, &start);
  if (posix_spawn(&child, argv[2], &actions, NULL, argv + 2, environ) != 0) {
    perror("map_timer: posix_spawn");
    return 2;
  }

  int found = 0, ended = 0;
  struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
  while (!found) {
    while (!found && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && Titled(display, event.xmap.window, argv[1])) {
        clock_gettime(CLOCK_MONOTONIC, &mapped);
        found = 1;
      }
    }
    if (found || (ended = waitpid(child, NULL, WNOHANG) == child)) break;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (Milliseconds(&start, &now) > 10000.0 || poll(&connection, 1, 100) < 0) break;
  }
  struct rusage usage = {0};
  if (!ended) {
    kill(child, SIGKILL);
    wait4(child, NULL, 0, &usage);
  }
  XCloseDisplay(display);
  if (!found) {
    fprintf(stderr, "map_timer: no window titled \"%s\" was mapped\n", argv[1]);
    return 1;
  }
  double cpu = (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  printf("%.3f %.3f\n", Milliseconds(&start, &mapped), cpu);
  return 0;
}
