#!/usr/bin/python3
"""Time from a real click on Stop to the Stop button drawn disabled again, in the workbench on
an X display, while the script waits in one statement. The buttons are found by colour on the
screen: Stop is red while a run is on, Run is green while none is.
Usage: workbench_stop.py ROUNDS   (on a display where korvane runs the script already)
"""
import ctypes
import statistics
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
# Images are not freed (XDestroyImage is a macro): they are small and the run is short.
ALL_PLANES, Z_PIXMAP = 0xFFFFFFFF, 2
DISPLAY = ctypes.c_void_p(x11.XOpenDisplay(None))
ROOT = x11.XDefaultRootWindow(DISPLAY)


def rgb(x, y, width=1, height=1):
    image = x11.XGetImage(DISPLAY, ROOT, x, y, width, height, ALL_PLANES, Z_PIXMAP)
    for row in range(height):
        for column in range(width):
            pixel = x11.XGetPixel(image, column, row)
            yield x + column, y + row, (pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255


def is_red(r, g, b):
    return r > 150 and g < 90 and b < 90


def is_green(r, g, b):
    return g > 120 and r < 90 and b < 90


def find(colour, within=(0, 40, 600, 60)):
    """The first pixel of `colour` in the toolbar's band of the screen, or None."""
    for x, y, r, g, b in rgb(*within):
        if colour(r, g, b):
            return x, y
    return None


def click(at):
    xtst.XTestFakeMotionEvent(DISPLAY, -1, at[0], at[1], 0)
    xtst.XTestFakeButtonEvent(DISPLAY, 1, 1, 0)
    xtst.XTestFakeButtonEvent(DISPLAY, 1, 0, 0)
    x11.XFlush(DISPLAY)


def red_at(at):
    return is_red(*next(rgb(*at))[2:])


def wait_for(condition, limit, what):
    started = time.monotonic()
    while not condition():
        if time.monotonic() - started > limit:
            sys.exit(what)
        time.sleep(0.005)


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    wait_for(lambda: find(is_red), 20, "no run seen: Stop never turned red")
    stop = find(is_red)
    times = []
    for _ in range(rounds):
        if not red_at(stop):
            click(find(is_green))
            wait_for(lambda: red_at(stop), 10, "Run did not start the script")
        time.sleep(0.3)  # well inside the waiting statement
        start = time.perf_counter()
        click(stop)
        while red_at(stop):
            if time.perf_counter() - start > 10:
                sys.exit("Stop did not end the run")
        times.append((time.perf_counter() - start) * 1000)
        wait_for(lambda: find(is_green), 10, "Run did not come back")
    print("click on Stop to Stop drawn disabled: median %.1f ms  max %.1f ms  (%d runs)"
          % (statistics.median(times), max(times), len(times)))


if __name__ == "__main__":
    main()
