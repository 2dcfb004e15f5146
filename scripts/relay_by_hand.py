#!/usr/bin/env python3
"""A duel through Bridgehall by hand, as three people on three machines run it, each on a virtual
X server of its own: the relay's operator starts Bridgehall and presses Start; Ann and Bob load a
deck, take it to the duel window, press Connect, choose the relay's host mode (Ann) or client mode
(Bob), type the relay's address and press Connect again. Ann then chats, the operator sends a line
from Bridgehall, and pictures are saved of the three windows after each step.

Usage: scripts/relay_by_hand.py [output-folder] [program-folder]
  output-folder:  where the PNG files go (default build/relay-by-hand)
  program-folder: a built program folder with Bridgehall in Utilities (default
                  build/release/Tablewright, built first)
The relay listens on its own ports (7237 for the host, 7240 for the client) and the tables
connect from theirs (7238 and 7239): nothing else on this machine may hold them. It needs Xvfb,
xdotool and ImageMagick's import (scripts/screenshots.sh installs them). Look at the pictures.
"""
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from table_by_hand import ROOT, Desktop, built_program_folder, prepare_copy, px, to_duel_window  # noqa: E402

RELAY_TITLE = "ZQM Bridgehall v0.1"
ADDRESS = "127.0.0.1"

# Controls (left, top, width, height in twips) of the duel window's panel and of Bridgehall.
CONNECT = (1365, 7980, 915, 375)
MODE_LIST = (390, 8460, 4215, 315)
ADDRESS_BOX = (390, 8820, 4215, 315)
CHAT_INPUT = (13770 + 1080, 7170 + 120)
RELAY_START = (120, 4320, 1335, 375)
RELAY_LINE = (120, 3810, 4815, 315)
RELAY_SEND = (5055, 3780, 1185, 375)


def middle(rect):
    return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2


def click_on(desk, wid, twips):
    at, _ = desk.geometry(wid)
    desk.xdotool("windowactivate", "--sync", wid)
    desk.click(at[0] + px(twips[0]), at[1] + px(twips[1]))


def key(desk, *keys):
    desk.xdotool("key", "--clearmodifiers", *keys)
    time.sleep(0.2)


def connect_through_relay(desk, duel, mode):
    click_on(desk, duel, middle(CONNECT))  # opens the panel
    time.sleep(0.5)
    click_on(desk, duel, middle(MODE_LIST))
    time.sleep(0.5)
    key(desk, "Home")
    for _ in range(mode):
        key(desk, "Down")
    key(desk, "Return")
    click_on(desk, duel, middle(ADDRESS_BOX))
    desk.xdotool("type", "--delay", 40, ADDRESS)
    click_on(desk, duel, middle(CONNECT))


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "relay-by-hand"))
    folder = built_program_folder(sys.argv[2] if len(sys.argv) > 2 else None)
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp()
    desks = []
    try:
        run(folder, work, out, desks)
    finally:
        for d in desks:
            d.close()
        shutil.rmtree(work, ignore_errors=True)


def run(folder, work, out, desks):
    shot = lambda name: os.path.join(out, name + ".png")

    relay_desk = Desktop(os.path.join(work))
    desks.append(relay_desk)
    relay_folder = os.path.join(work, "relay")
    shutil.copytree(os.path.join(folder, "Utilities"), relay_folder, symlinks=True)
    relay_desk.start(os.path.join(relay_folder, "Bridgehall"))
    relay = relay_desk.window(RELAY_TITLE, 60)
    click_on(relay_desk, relay, middle(RELAY_START))
    relay_desk.snap(relay, shot("relay-1-listening"))

    tables = {}
    for user, mode in (("Ann", 3), ("Bob", 4)):
        home = os.path.join(work, user)
        os.makedirs(home)
        copy = os.path.join(home, "Tablewright")
        prepare_copy(folder, copy)
        # The name the player would give in the settings window.
        with open(os.path.join(copy, "settings.ini"), "wb") as f:
            f.write(b"[settings]\r\nUSERNAME=" + user.encode() + b"\r\n")
        desk = Desktop(home)
        desks.append(desk)
        desk.start(os.path.join(copy, "Tablewright"))
        duel = to_duel_window(desk)
        connect_through_relay(desk, duel, mode)
        tables[user] = (desk, duel)
        time.sleep(4)
        relay_desk.snap(relay, shot("relay-2-" + user.lower() + "-arrived"))

    time.sleep(3)
    for user, (desk, duel) in tables.items():
        desk.snap(duel, shot("relay-3-" + user.lower() + "-connected"))

    desk, duel = tables["Ann"]
    click_on(desk, duel, CHAT_INPUT)
    desk.xdotool("type", "--delay", 40, "hello through the relay")
    key(desk, "Return")
    time.sleep(2)
    click_on(relay_desk, relay, middle(RELAY_LINE))
    relay_desk.xdotool("type", "--delay", 40, "good luck, both")
    click_on(relay_desk, relay, middle(RELAY_SEND))
    time.sleep(3)
    relay_desk.snap(relay, shot("relay-4-relaying"))
    for user, (desk, duel) in tables.items():
        desk.snap(duel, shot("relay-5-" + user.lower() + "-chat"))


if __name__ == "__main__":
    main()
