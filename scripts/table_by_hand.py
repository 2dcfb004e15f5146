#!/usr/bin/env python3
"""Plays the table by hand under a virtual X server, with the mouse as a person does, and saves a
picture after each step: cards drawn from the "Gameplay" label's menu, one put on the table from
the hand, dragged to another place, its menu open, turned sideways, flipped face down and put into
the graveyard; the table's own menu and a token put down from it, with its text in the hover
window; a card dragged off the table back into the hand; the graveyard moved to the hand; the deck
turned face up with Ctrl+O.

Usage: scripts/table_by_hand.py [output-folder] [program-folder]
  output-folder:  where the PNG files go (default build/table-by-hand)
  program-folder: a built program folder (default build/release/Tablewright, built first)
The run works on a scratch copy of the program folder, started as a new user. It needs Xvfb,
xdotool and ImageMagick's import (scripts/screenshots.sh installs them). Look at the pictures.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TWIPS = 15  # twips a pixel
ROW = 22  # pixels a pop-up menu row
# The "Gameplay" label of the duel window's menu bar, which starts after the title text.
GAMEPLAY_LABEL = (5400, 195)


def px(twips):
    return int(round(twips / TWIPS))


class Desktop:
    """A virtual X server of our own and the program running on it."""

    def __init__(self, work):
        self.work = work
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1600x1000x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise SystemExit("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
        self.program = None

    def close(self):
        for p in (self.program, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()

    def start(self, exe):
        log = open(os.path.join(self.work, "program.log"), "wb")
        self.program = subprocess.Popen([exe], cwd=os.path.dirname(exe), env=self.env, stdout=log, stderr=log)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True).stdout

    def windows(self):
        """The shown windows as (id, title)."""
        out = []
        for wid in self.xdotool("search", "--onlyvisible", "--name", "").split():
            title = self.xdotool("getwindowname", wid).strip()
            if title and not title.startswith("Qt Selection Owner"):
                out.append((wid, title))
        return out

    def geometry(self, wid):
        pos = size = (0, 0)
        for line in self.xdotool("getwindowgeometry", wid).splitlines():
            line = line.strip()
            if line.startswith("Position:"):
                x, y = line.split()[1].split(",")
                pos = (int(x), int(y))
            elif line.startswith("Geometry:"):
                w, h = line.split()[1].split("x")
                size = (int(w), int(h))
        return pos, size

    def wait_for(self, predicate, seconds=30, what="a window"):
        end = time.time() + seconds
        while time.time() < end:
            if self.program.poll() is not None:
                raise SystemExit("the program ended while waiting for " + what)
            found = predicate()
            if found:
                return found
            time.sleep(0.2)
        raise SystemExit("timed out waiting for " + what + "; shown: " + repr(self.windows()))

    def window(self, title, seconds=30):
        return self.wait_for(lambda: next((w for w, t in self.windows() if t == title), None), seconds, title)

    def answer_boxes(self, keep):
        """Answers with Enter every shown window whose title is not in keep, until none is left."""
        for _ in range(30):
            time.sleep(0.3)
            boxes = [w for w, t in self.windows() if t not in keep]
            if not boxes:
                return
            self.xdotool("windowactivate", "--sync", boxes[0])
            self.xdotool("key", "--clearmodifiers", "Return")

    def snap(self, wid, path):
        time.sleep(0.6)  # let the front end paint
        subprocess.run(["import", "-window", str(wid), path], env=self.env, check=True,
                       capture_output=True, timeout=10)
        print(path)

    def snap_screen(self, path):
        time.sleep(0.6)
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, capture_output=True,
                       timeout=10)
        print(path)

    # The pointer, in screen pixels.
    def move(self, x, y):
        self.xdotool("mousemove", "--sync", x, y)

    def click(self, x, y, button=1, repeat=1):
        self.move(x, y)
        time.sleep(0.15)
        self.xdotool("click", "--repeat", repeat, "--delay", 120, button)
        time.sleep(0.3)

    def drag(self, start, end, steps=12):
        self.move(*start)
        time.sleep(0.15)
        self.xdotool("mousedown", 1)
        time.sleep(0.15)
        for i in range(1, steps + 1):
            self.move(start[0] + (end[0] - start[0]) * i // steps, start[1] + (end[1] - start[1]) * i // steps)
            time.sleep(0.05)
        time.sleep(0.15)
        self.xdotool("mouseup", 1)
        time.sleep(0.3)

    def menus(self):
        """The open pop-up menus (shown windows without a title) as (x, y, width, height)."""
        out = []
        for wid in self.xdotool("search", "--onlyvisible", "--name", "^$").split():
            (x, y), (w, h) = self.geometry(wid)
            if 20 < w < 800 and 20 < h < 800:
                out.append((x, y, w, h))
        return out

    def choose(self, *rows):
        """Chooses in the pop-up menu just opened: the row of each menu on the way, counted from 0
        among the shown rows; a submenu's row opens it."""
        seen = self.menus()
        for depth, row in enumerate(rows):
            menu = self.wait_for(lambda: [m for m in self.menus() if m not in seen[:depth]] or None, 5,
                                 "a pop-up menu")[-1]
            seen = self.menus()
            x, y = menu[0] + 40, menu[1] + 11 + ROW * row
            if depth + 1 < len(rows):
                self.move(x, y)
                time.sleep(0.6)  # the submenu opens under the pointer's row
            else:
                self.click(x, y)


def sample_deck(set_file, deck_file):
    """A deck file of the set's first 45 main-deck cards."""
    picked = []
    with open(set_file, "rb") as f:
        for line in f.read().split(b"\r\n"):
            p = line.split(b"|")
            if len(p) < 6 or any(k in p[4] for k in (b"Fusion", b"Synchro", b"Ritual")):
                continue
            picked.append(b"1|" + p[3].split(b";")[0] + b"|" + p[1])
    with open(deck_file, "wb") as f:
        f.write(b"\r\n".join(picked[:45] + [b"-SIDE DECK-"]) + b"\r\n")


def built_program_folder(folder=None):
    """The given program folder, or build/release's, built first."""
    if folder:
        return os.path.abspath(folder)
    build = os.path.join(ROOT, "build", "release")
    subprocess.run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DTW_BUILD_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build], check=True)
    return os.path.join(build, "Tablewright")


def prepare_copy(folder, copy):
    """A scratch copy of the program folder as a new user finds it, with a deck in its decks folder."""
    shutil.copytree(folder, copy, symlinks=True)
    for f in ("settings.ini", "errormessage.txt"):
        if os.path.exists(os.path.join(copy, f)):
            os.remove(os.path.join(copy, f))
    os.makedirs(os.path.join(copy, "decks"), exist_ok=True)
    sample_deck(os.path.join(copy, "zqm.set"), os.path.join(copy, "decks", "sample.dek"))


def run_by_hand(out_name, play):
    """Runs play(desk, out, copy) on a scratch copy of the program folder (argument 2, or the
    built one) started as a new user under a virtual X server, with pictures in argument 1 (or
    build/OUT_NAME); the copy and the server go at the end whatever happens."""
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", out_name))
    folder = built_program_folder(sys.argv[2] if len(sys.argv) > 2 else None)
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp()
    desk = None
    try:
        copy = os.path.join(work, "Tablewright")
        prepare_copy(folder, copy)
        desk = Desktop(work)
        desk.start(os.path.join(copy, "Tablewright"))
        play(desk, out, copy)
    finally:
        if desk:
            desk.close()
        shutil.rmtree(work, ignore_errors=True)


def main():
    run_by_hand("table-by-hand", lambda desk, out, copy: play(desk, out))


def to_duel_window(desk):
    """From the first start to the duel window with the deck of the decks folder; its window id."""
    # The first start's welcome box comes before the deck editor shows.
    def deck_shop():
        shown = desk.windows()
        for wid, title in shown:
            if title == "Deck Shop":
                return wid
        for wid, title in shown:
            if title != "Loading Set File":
                desk.xdotool("windowactivate", "--sync", wid)
                desk.xdotool("key", "--clearmodifiers", "Return")
        return None

    shop = desk.wait_for(deck_shop, 90, "the deck editor")
    desk.answer_boxes({"Deck Shop"})
    # The deck file in the file list, then "Use This Deck" (twips 10890,480 and 8160,7260).
    shop_at, _ = desk.geometry(shop)
    desk.click(shop_at[0] + 760, shop_at[1] + 40, repeat=2)
    desk.answer_boxes({"Deck Shop"})
    desk.click(shop_at[0] + 660, shop_at[1] + 498)

    def duel_window():
        for wid, title in desk.windows():
            if title != "Deck Shop" and desk.geometry(wid)[1][0] > 900:
                return wid
        desk.answer_boxes({"Deck Shop"})
        return None

    duel = desk.wait_for(duel_window, 30, "the duel window")
    time.sleep(1)
    return duel


def play(desk, out):
    shot = lambda name: os.path.join(out, name + ".png")
    duel = to_duel_window(desk)
    desk.snap(duel, shot("01-duel-window"))
    at, _ = desk.geometry(duel)

    def on_window(x_twips, y_twips):
        return at[0] + px(x_twips), at[1] + px(y_twips)

    def on_table(x_twips, y_twips):  # the play surface lies at (3480, 390)
        return on_window(3480 + x_twips, 390 + y_twips)

    # Three cards drawn through the "Gameplay" label's menu ("Draw Card", its sixth row).
    for _ in range(3):
        desk.click(*on_window(*GAMEPLAY_LABEL))
        desk.choose(5)
    desk.snap(duel, shot("02-three-cards-drawn"))

    # A double click on the hand's first card puts it on the table, at the first place of the
    # monster row (2070, 3825); a card is 855 x 1215.
    desk.click(*on_window(13770 + 450, 480 + 120), repeat=2)
    desk.snap(duel, shot("03-card-placed"))

    # Dragged by its middle to a little beside the place (4590, 1990): the release snaps it there.
    grab = (427, 607)
    start = on_table(2070 + grab[0], 3825 + grab[1])
    end = on_table(4590 + 120 + grab[0], 1990 + 90 + grab[1])
    desk.drag(start, end)
    desk.snap(duel, shot("04-card-dragged"))
    card = on_table(4590 + grab[0], 1990 + grab[1])

    # Its menu with the right button; "Turn Card Horiz/Vert" is the seventh row.
    desk.click(*card, button=3)
    desk.snap_screen(shot("05-card-menu"))
    desk.choose(6)
    desk.snap(duel, shot("06-card-sideways"))

    # Sideways the card is 1215 x 855: its middle moved. "Flip Card Over" is the sixth row.
    card = on_table(4590 + 600, 1990 + 420)
    desk.click(*card, button=3)
    desk.choose(5)
    desk.snap(duel, shot("07-card-face-down"))

    # Face down there is no "Add Counter": "Put in Graveyard" is still the first row.
    desk.click(*card, button=3)
    desk.snap_screen(shot("08-face-down-menu"))
    desk.choose(0)
    desk.snap(duel, shot("09-card-in-graveyard"))

    # The table's own menu: "Tokens", its first token. It lies down at the freed place.
    desk.click(*on_table(6000, 4000), button=3)
    desk.snap_screen(shot("10-table-menu"))
    desk.choose(5, 0)
    # The pointer over the token's text area shows its text beside the card.
    desk.move(*on_table(2070 + 100, 3825 + 700))
    desk.move(*on_table(2070 + 400, 3825 + 1000))
    desk.snap_screen(shot("11-token-and-its-text"))

    # A hand card put on the table from the hand's own menu ("Put into Play", its first row),
    # then dragged out over the table's left edge near its bottom: back into the hand.
    desk.click(*on_window(13770 + 450, 480 + 120), button=3)
    desk.snap_screen(shot("12-hand-menu"))
    desk.choose(0)
    desk.snap(duel, shot("12-second-card-placed"))
    desk.drag(on_table(3330 + grab[0], 3825 + grab[1]), on_table(-700 + grab[0], 5750 + grab[1]), steps=20)
    desk.snap(duel, shot("13-dragged-back-to-hand"))

    # The graveyard back to the hand from the "Gameplay" label: Movement, Graveyard, its first row.
    desk.click(*on_window(*GAMEPLAY_LABEL))
    desk.choose(3, 2, 0)
    desk.snap(duel, shot("14-graveyard-moved-to-hand"))

    # Ctrl+O turns the deck face up and names its top card.
    desk.xdotool("key", "ctrl+o")
    time.sleep(0.3)
    desk.snap(duel, shot("15-deck-turned-face-up"))

if __name__ == "__main__":
    main()
