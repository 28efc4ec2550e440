// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program on the X display and reports, with exact times, what its windows
// do as other X clients see it: the first top-level window mapped, then every
// property change on that window and every state request it sends to the root
// window. The bench reads these lines instead of polling the display.
//
// Usage: xwatch PROGRAM [ARGUMENT...]
// Output lines (times in ms since just before the fork, then wall clock in s):
//   pid <pid>
//   map <ms> <epoch> <window>
//   prop <ms> <epoch> <window> <atom>
//   client <ms> <epoch> <window> <type> <action> <atom1> <atom2>
//   exit <ms> <epoch> <status>
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static struct timespec start;

static double msSinceStart(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1e3 + (now.tv_nsec - start.tv_nsec) / 1e6;
}

static double epochNow(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

static void atomName(Display *display, Atom atom, char *out, size_t size)
{
    if (atom == None) {
        snprintf(out, size, "None");
        return;
    }
    char *name = XGetAtomName(display, atom);
    snprintf(out, size, "%s", name ? name : "?");
    if (name)
        XFree(name);
}

static int ignoreErrors(Display *display, XErrorEvent *error)
{
    (void)display;
    (void)error;
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xwatch: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    // Structure and substructure notify on the root: maps of its children, and the
    // _NET_WM_STATE requests programs send to the root window for a window manager.
    XSelectInput(display, root, SubstructureNotifyMask | StructureNotifyMask);
    XSync(display, False);

    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0) {
        perror("xwatch: fork");
        return 2;
    }
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        perror("xwatch: exec");
        _exit(127);
    }
    printf("pid %d\n", (int)child);
    fflush(stdout);

    Window watched = None;
    struct pollfd xfd = {ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            printf("exit %.3f %.6f %d\n", msSinceStart(), epochNow(),
                   WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
            fflush(stdout);
            break;
        }
        if (!XPending(display)) {
            if (poll(&xfd, 1, 100) < 0 && errno != EINTR)
                break;
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        const double ms = msSinceStart();
        const double epoch = epochNow();
        char a[128], b[128], c[128];
        switch (event.type) {
        case MapNotify:
            if (watched == None && !event.xmap.override_redirect) {
                watched = event.xmap.window;
                XSelectInput(display, watched, PropertyChangeMask);
                printf("map %.3f %.6f 0x%lx\n", ms, epoch, watched);
            }
            break;
        case PropertyNotify:
            if (event.xproperty.window == watched) {
                atomName(display, event.xproperty.atom, a, sizeof a);
                printf("prop %.3f %.6f 0x%lx %s\n", ms, epoch, event.xproperty.window, a);
            }
            break;
        case ClientMessage:
            atomName(display, event.xclient.message_type, a, sizeof a);
            atomName(display, (Atom)event.xclient.data.l[1], b, sizeof b);
            atomName(display, (Atom)event.xclient.data.l[2], c, sizeof c);
            printf("client %.3f %.6f 0x%lx %s %ld %s %s\n", ms, epoch, event.xclient.window, a,
                   event.xclient.data.l[0], b, c);
            break;
        default:
            break;
        }
        fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
