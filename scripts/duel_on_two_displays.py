#!/usr/bin/env python3
"""Two people duel from their duel windows, each on a virtual X server of its own, as two people
on two machines do: both load a deck and take it to the duel window; the second presses Listen
and the panel shows the own address; the first presses Connect, keeps the mode "Normal Duel",
types the address and presses Connect again. Both duel logs then show the connection, a chat
line travels from one to the other, a card put down on the first table shows on the second, and
closing the first duel window tells the second.

On the way it checks the rule of one running program per user and display: both copies run at
the same time under the same user on their two displays, a second start on a display where one
runs says "Tablewright is already running." and ends, and (when run as root) a start by another
user on that display runs.

Usage: scripts/duel_on_two_displays.py [output-folder] [program-folder]
  output-folder:  where the PNG files go (default build/two-displays)
  program-folder: a built program folder (default build/release/Tablewright, built first)
The direct duel uses the program's own ports, 7238 to listen and 7237 to connect from. It needs
Xvfb, xdotool and ImageMagick's import (scripts/screenshots.sh installs them). Look at the
pictures.
"""
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from table_by_hand import ROOT, Desktop, built_program_folder, prepare_copy, px, to_duel_window  # noqa: E402

ADDRESS = "127.0.0.1"


def on_window(desk, wid, x_twips, y_twips):
    at, _ = desk.geometry(wid)
    return at[0] + px(x_twips), at[1] + px(y_twips)


# The panel's controls (left, top, width, height in twips) and the chat input.
LISTEN = (390, 7980, 915, 375)
CONNECT = (1365, 7980, 915, 375)
ADDRESS_BOX = (390, 8820, 4215, 315)
CHAT_INPUT = (13770 + 1080, 7170 + 120)


def middle(rect):
    return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2


def second_start(desk, exe, user=None):
    """Starts exe once more on this display; whether it ended by itself within 15 seconds, and the
    title of any window it showed."""
    before = {w for w, _ in desk.windows()}
    cmd = [exe] if user is None else ["runuser", "-u", user, "--", exe]
    env = dict(desk.env)
    if user is not None:
        env.pop("XDG_RUNTIME_DIR", None)
        env["HOME"] = "/tmp"
    p = subprocess.Popen(cmd, cwd=os.path.dirname(exe), env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    shown = None
    end = time.time() + 15
    while time.time() < end and p.poll() is None:
        new = [(w, t) for w, t in desk.windows() if w not in before]
        if new and shown is None:
            time.sleep(0.5)
            shown = new[0]
        if shown and user is None:
            break
        time.sleep(0.2)
    return p, shown


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "two-displays"))
    folder = built_program_folder(sys.argv[2] if len(sys.argv) > 2 else None)
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp()
    desks = []
    failures = []
    try:
        copies = []
        for name in ("first", "second"):
            os.makedirs(os.path.join(work, name))
            copy = os.path.join(work, name, "Tablewright")
            prepare_copy(folder, copy)
            copies.append(copy)
        first = Desktop(os.path.join(work, "first"))
        desks.append(first)
        second = Desktop(os.path.join(work, "second"))
        desks.append(second)
        print("displays", first.env["DISPLAY"], second.env["DISPLAY"])
        first.start(os.path.join(copies[0], "Tablewright"))
        second.start(os.path.join(copies[1], "Tablewright"))
        duel_a = to_duel_window(first)
        duel_b = to_duel_window(second)
        shot = lambda name: os.path.join(out, name + ".png")
        print("same user, two displays: both copies run")

        # The waiting player: Listen.
        second.click(*on_window(second, duel_b, *middle(LISTEN)))
        time.sleep(1.5)
        second.snap(duel_b, shot("01-second-listening"))

        # The connecting player: Connect opens the panel; the address over "Enter IP"; Connect.
        first.click(*on_window(first, duel_a, *middle(CONNECT)))
        first.snap(duel_a, shot("02-first-connect-panel"))
        first.click(*on_window(first, duel_a, *middle(ADDRESS_BOX)))
        first.xdotool("type", "--delay", 40, ADDRESS)
        first.snap(duel_a, shot("03-first-address-typed"))
        first.click(*on_window(first, duel_a, *middle(CONNECT)))
        time.sleep(3)
        first.answer_boxes({first.xdotool("getwindowname", duel_a).strip(), "Deck Shop"})
        first.snap(duel_a, shot("04-first-connected"))
        second.snap(duel_b, shot("05-second-connected"))

        # A chat line from the first, seen on the second.
        first.click(*on_window(first, duel_a, *CHAT_INPUT))
        first.xdotool("type", "--delay", 30, "Good luck from the first display")
        first.xdotool("key", "Return")
        time.sleep(1)
        second.snap(duel_b, shot("06-second-got-the-chat-line"))

        # A card put down on the first table shows on the second, on the opponent's half: one
        # drawn with Ctrl+D, then a double click on the hand's first row (13770, 480).
        first.xdotool("windowactivate", "--sync", duel_a)
        first.xdotool("key", "--clearmodifiers", "ctrl+d")
        time.sleep(0.5)
        first.click(*on_window(first, duel_a, 13770 + 450, 480 + 120), repeat=2)
        time.sleep(1.5)
        first.snap(duel_a, shot("06a-first-put-a-card-down"))
        second.snap(duel_b, shot("06b-second-sees-the-card"))

        # One program per user and display: another start on the second display is told so.
        p, shown = second_start(second, os.path.join(copies[0], "Tablewright"))
        if shown:
            second.snap(shown[0], shot("07-second-display-another-start"))
            second.xdotool("windowactivate", "--sync", shown[0])
            second.xdotool("key", "--clearmodifiers", "Return")
        try:
            p.wait(15)
            print("same user, same display: a second start showed %r and ended" % (shown[1] if shown else None))
            if not shown:
                failures.append("a second start on the same display showed no notice")
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()
            failures.append("a second start on the same display did not end")

        # Another user on the same display has a lock of its own.
        if os.geteuid() == 0:
            try:
                other = pwd.getpwnam("nobody").pw_name
            except KeyError:
                other = None
            if other:
                os.chmod(work, 0o755)
                subprocess.run(["chmod", "-R", "a+rwX", copies[0]], check=True)
                p, shown = second_start(second, os.path.join(copies[0], "Tablewright"), other)
                if p.poll() is None:
                    print("another user, same display: the start runs (window %r)" % (shown[1] if shown else None))
                    time.sleep(3)
                    second.snap_screen(shot("08-second-display-another-user"))
                    p.terminate()
                    p.wait(10)
                else:
                    failures.append("a start by another user on the same display ended (exit %s)" % p.returncode)

        # The first quits from the desktop's close: the second is told.
        first.xdotool("windowactivate", "--sync", duel_a)
        subprocess.run(["/usr/bin/python3", "-c", CLOSE_REQUEST, duel_a], env=first.env, check=True)
        # "Are you sure you want to quit?" and any box after it: Yes.
        end = time.time() + 20
        while time.time() < end and first.program.poll() is None:
            boxes = [w for w, t in first.windows() if w != duel_a and t != "Deck Shop"]
            if boxes:
                time.sleep(0.5)
                first.snap(boxes[0], shot("09-first-quit-question"))
                first.xdotool("windowactivate", "--sync", boxes[0])
                first.xdotool("key", "--clearmodifiers", "Return")
            time.sleep(0.3)
        end = time.time() + 20
        while time.time() < end and first.program.poll() is None:
            time.sleep(0.2)
        if first.program.poll() is None:
            failures.append("closing the first duel window did not end the program")
        time.sleep(1)
        second.snap(duel_b, shot("10-second-after-the-first-quit"))
    finally:
        for desk in desks:
            desk.close()
        shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print("FAILED:", f, file=sys.stderr)
    sys.exit(1 if failures else 0)


# The close request a window manager sends (WM_DELETE_WINDOW).
CLOSE_REQUEST = """
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
w.send_event(protocol.event.ClientMessage(window=w, client_type=d.intern_atom("WM_PROTOCOLS"),
             data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])),
             event_mask=X.NoEventMask)
d.flush()
"""

if __name__ == "__main__":
    main()
