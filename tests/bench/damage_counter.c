/* Counts presented frames from outside the program that draws them: one line
 * per DAMAGE event on the root window of $DISPLAY, each with its
 * CLOCK_MONOTONIC time, so any two programs on one display are counted alike.
 *
 * Runs until it is killed. Output (stdout, one line each, flushed at once):
 *   ready                      once the damage object exists
 *   SECONDS X Y W H            an event: when it arrived and the damaged
 *                              bounding box at that moment
 *
 * The damage is reported once it becomes non-empty and repaired right after,
 * so whatever is drawn before the repair reaches the server joins the same
 * event; a frame drawn in several requests close together may still give
 * more than one (the caller merges events closer than a threshold).
 *
 * Built and run by peer_bench.py: cc damage_counter.c -lXdamage -lXfixes -lX11
 */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>
#include <time.h>

static double now_seconds(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

int main(void) {
  Display* dpy = XOpenDisplay(NULL);
  if (dpy == NULL) {
    fprintf(stderr, "damage_counter: cannot open display\n");
    return 1;
  }
  int damage_event, damage_error, fixes_event, fixes_error;
  if (!XDamageQueryExtension(dpy, &damage_event, &damage_error) ||
      !XFixesQueryExtension(dpy, &fixes_event, &fixes_error)) {
    fprintf(stderr, "damage_counter: no DAMAGE or XFIXES extension\n");
    return 1;
  }
  int major = 0, minor = 0;
  XDamageQueryVersion(dpy, &major, &minor);

  Window root = DefaultRootWindow(dpy);
  Damage damage = XDamageCreate(dpy, root, XDamageReportNonEmpty);
  XSync(dpy, False);
  printf("ready\n");
  fflush(stdout);

  /* Runs until killed: every line is already flushed. */
  for (;;) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    if (ev.type != damage_event + XDamageNotify) continue;
    const double t = now_seconds();
    XDamageNotifyEvent* d = (XDamageNotifyEvent*)&ev;
    /* Repairing re-arms the report for the next frame. */
    XDamageSubtract(dpy, damage, None, None);
    XFlush(dpy);
    printf("%.6f %d %d %d %d\n", t, d->area.x, d->area.y, d->area.width, d->area.height);
    fflush(stdout);
  }
}
