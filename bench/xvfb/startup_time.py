#!/usr/bin/env python3
"""Times the real program under a virtual X server: from exec to the moment the deck editor's
window ("Deck Shop") is mapped on the screen, on the generated 100,000-entry set file, and its
peak memory (VmHWM) by then. Each run starts from a scratch copy of the program folder with
stored settings, so that no first-run box waits for a person.

Usage: bench/xvfb/startup_time.py PROGRAM-FOLDER [RUNS]   (prints one line per run, then medians)
Needs Xvfb and libX11; the set file is written as the card benchmarks write it."""
import ctypes
import ctypes.util
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def make_set_text():
    # The same 80,000 records (100,000 entries) as bench/bench_sets.hpp.
    sets = ["ALP1", "BRV", "CSK7", "DWN"]
    out = []
    records = entries = 0
    while entries < 100000:
        twice = records % 4 == 0
        line = "%d|Bench Card %d|%d" % (records, records, records % 900 + 1)
        line += ";7|" if twice else "|"
        line += sets[records % 4]
        if twice:
            line += ";" + sets[(records + 1) % 4]
        line += "|Drake/Effect|EMBER|4||1800|1200|" if records % 3 else "|Magic Card|Magic||Field|||"
        line += "When this card is put on the table, you may draw 1 card.|\r\n"
        out.append(line)
        entries += 2 if twice else 1
        records += 1
    return "".join(out).encode("ascii")


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


def start_xvfb():
    r, w = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1600x1000x24", "-nolisten", "tcp", "-noreset"],
                            pass_fds=(w,), stderr=subprocess.DEVNULL)
    os.close(w)
    display = b""
    while not display.endswith(b"\n"):
        chunk = os.read(r, 16)
        if not chunk:
            raise SystemExit("Xvfb did not start")
        display += chunk
    os.close(r)
    return xvfb, ":" + display.decode().strip()


def main():
    folder = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    xvfb, display = start_xvfb()
    os.environ["DISPLAY"] = display
    os.environ["QT_QPA_PLATFORM"] = "xcb"
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x11.XPending.argtypes = [ctypes.c_void_p]
    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
    x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    root = x11.XDefaultRootWindow(dpy)
    SUBSTRUCTURE_NOTIFY = 1 << 19
    PROPERTY_CHANGE = 1 << 22
    MAP_NOTIFY, PROPERTY_NOTIFY = 19, 28
    x11.XSelectInput(dpy, root, SUBSTRUCTURE_NOTIFY)
    set_text = make_set_text()
    times, peaks = [], []
    work = tempfile.mkdtemp()
    try:
        for run in range(runs):
            copy = os.path.join(work, "run")
            shutil.rmtree(copy, ignore_errors=True)
            os.mkdir(copy)
            for name in os.listdir(folder):
                src = os.path.join(folder, name)
                if name in ("Tablewright", "Utilities"):
                    subprocess.run(["cp", "-al", src, copy], check=True)
                elif os.path.isdir(src):
                    shutil.copytree(src, os.path.join(copy, name))
                else:
                    shutil.copy2(src, copy)
            with open(os.path.join(copy, "zqm.set"), "wb") as f:
                f.write(set_text)
            with open(os.path.join(copy, "settings.ini"), "wb") as f:
                f.write(b"[settings]\r\nfirsttime=no\r\nusername=Timer\r\n")
            while x11.XPending(dpy):
                x11.XNextEvent(dpy, ctypes.byref(XEvent()))
            start = time.monotonic()
            program = subprocess.Popen([os.path.join(copy, "Tablewright")], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            shown = None
            mapped = set()
            ev = XEvent()
            while shown is None and program.poll() is None and time.monotonic() - start < 60:
                if not x11.XPending(dpy):
                    time.sleep(0.0005)
                    continue
                x11.XNextEvent(dpy, ctypes.byref(ev))
                if ev.type == MAP_NOTIFY:
                    # XMapEvent: type, serial, send_event, display, event, window, ...
                    window = ctypes.cast(ctypes.byref(ev), ctypes.POINTER(ctypes.c_ulong))[5]
                    mapped.add(window)
                    x11.XSelectInput(dpy, window, PROPERTY_CHANGE)
                elif ev.type == PROPERTY_NOTIFY:
                    window = ctypes.cast(ctypes.byref(ev), ctypes.POINTER(ctypes.c_ulong))[4]
                else:
                    continue
                name = ctypes.c_char_p()
                if window in mapped and x11.XFetchName(dpy, window, ctypes.byref(name)) and name.value == b"Deck Shop":
                    shown = time.monotonic() - start
            peak = 0
            try:
                with open("/proc/%d/status" % program.pid) as f:
                    for line in f:
                        if line.startswith("VmHWM:"):
                            peak = int(line.split()[1]) / 1024
            except OSError:
                pass
            program.kill()
            program.wait()
            if shown is None:
                print("run %d: the deck editor did not show" % (run + 1))
                continue
            times.append(shown)
            peaks.append(peak)
            print("run %d: %.3f s to the deck editor, peak %.0f MiB" % (run + 1, shown, peak), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        xvfb.terminate()
        xvfb.wait()
    if times:
        print("median of %d: %.3f s, peak %.0f MiB" % (len(times), statistics.median(times), statistics.median(peaks)))


main()
