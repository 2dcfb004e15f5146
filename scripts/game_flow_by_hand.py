#!/usr/bin/env python3
"""Plays the duel window's game flow by hand under a virtual X server, with the mouse and keys as a
person does, and saves a picture after each step: the window with its own chrome and each of the
four menus of its label menu bar, the title picture dragged, the phases stepped and the turn
handed over, life points from the table's menu and from the calculator, a sticky note made,
dragged and edited, the die and the coin, a skin put on from the settings window, the utility
launchers (Scrollkeep started as a process of its own, a missing program said so) and the
window minimised.

Usage: scripts/game_flow_by_hand.py [output-folder] [program-folder]
  output-folder:  where the PNG files go (default build/game-flow-by-hand)
  program-folder: a built program folder (default build/release/Tablewright, built first)
The run works on a scratch copy of the program folder, started as a new user. It needs Xvfb,
xdotool and ImageMagick's import (scripts/screenshots.sh installs them). Look at the pictures.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from table_by_hand import px, run_by_hand, to_duel_window  # noqa: E402

# The menu-bar labels' left edges, in twips, as the duel window's load lays them out right of the
# title (120 + 3900 + 150, then each 100 right of the one before, at their design widths).
BAR = {"File": 4170, "Chat": 4555, "Gameplay": 5030, "More": 5895}


def main():
    run_by_hand("game-flow-by-hand", play)


def play(desk, out, copy):
    shot = lambda name: os.path.join(out, name + ".png")
    duel = to_duel_window(desk)
    desk.snap(duel, shot("01-duel-window-and-its-chrome"))

    def at():
        return desk.geometry(duel)[0]

    def on_window(x_twips, y_twips):
        a = at()
        return a[0] + px(x_twips), a[1] + px(y_twips)

    def on_table(x_twips, y_twips):  # the play surface lies at (3480, 390)
        return on_window(3480 + x_twips, 390 + y_twips)

    def key(*keys):
        for k in keys:
            desk.xdotool("key", "--clearmodifiers", k)
            time.sleep(0.3)

    # Each label of the menu bar opens its menu under itself; the label under the pointer is lit.
    for n, name in enumerate(["File", "Chat", "Gameplay", "More"]):
        desk.click(*on_window(BAR[name] + 60, 195))
        desk.snap_screen(shot("%02d-menu-%s" % (2 + n, name.lower())))
        key("Escape")
    desk.move(*on_window(BAR["Chat"] + 60, 195))
    desk.snap_screen(shot("06-chat-label-lit"))

    # The title picture dragged 150 pixels right and 80 down, then back.
    before = at()
    desk.drag(on_window(9000, 150), on_window(9000 + 150 * 15, 150 + 80 * 15))
    moved = at()
    print("title drag: window from %s to %s" % (before, moved))
    desk.snap_screen(shot("07-title-dragged"))
    desk.drag(on_window(9000, 150), on_window(9000 - 150 * 15, 150 - 80 * 15))

    # Phases: Ctrl+P twice, the table menu's "Phases" submenu, then "End Your Turn".
    desk.click(*on_table(8000, 6500))
    key("ctrl+p", "ctrl+p")
    desk.click(*on_table(6000, 4000), button=3)
    desk.choose(0, 3)  # Phases, Attack
    desk.snap(duel, shot("08-attack-phase"))
    desk.click(*on_table(6000, 4000), button=3)
    desk.choose(2)  # End Your Turn
    desk.snap(duel, shot("09-turn-handed-over"))

    # Life points from the table's menu: LP, Subtract 800.
    desk.click(*on_table(6000, 4000), button=3)
    desk.choose(1, 2)
    desk.snap(duel, shot("10-lp-subtract-800"))

    # The calculator from the same submenu: 10 / 4 = 2.5, added to the life points as 2.
    desk.click(*on_table(6000, 4000), button=3)
    desk.choose(1, 13)
    calc = desk.window("LP Calculator")
    c_at, _ = desk.geometry(calc)

    def calc_key(col, row):
        desk.click(c_at[0] + px(120 + 660 * col) + 20, c_at[1] + px(1860 + 540 * row) + 16)

    for col, row in [(0, 2), (0, 3), (3, 3), (0, 1), (4, 2)]:  # 1 0 / 4 =
        calc_key(col, row)
    desk.snap(calc, shot("11-calculator-tape"))
    desk.click(c_at[0] + px(1800), c_at[1] + px(1860 + 4 * 540 + 60 + 2 * 480) + 14)  # add the answer
    desk.snap_screen(shot("12-calculator-answer-added"))
    calc_key(4, 1)  # Quit hides it

    # A sticky note: made from the table's menu, dragged, edited from its own menu.
    desk.click(*on_table(6000, 4000), button=3)
    desk.choose(4)
    note = on_table(4005 + 200, 2985 + 300)
    desk.drag(note, (note[0] + 120, note[1] - 90))
    note = (note[0] + 120, note[1] - 90)
    desk.click(*note, button=3)
    desk.choose(0)
    time.sleep(0.8)
    key("ctrl+a")
    desk.xdotool("type", "--delay", 30, "Burn 300 ~each turn")
    desk.snap_screen(shot("13-note-edit-box"))
    key("Return")
    desk.snap(duel, shot("14-sticky-note"))

    # The die and the coin.
    desk.click(*on_table(8000, 6500))
    key("ctrl+r", "ctrl+f")
    desk.snap(duel, shot("15-die-and-coin"))

    # A skin from the settings window: File, Settings, the skin's Browse; the dialog offers the
    # program's default skin.
    desk.click(*on_window(BAR["File"] + 60, 195))
    desk.choose(2)
    settings = desk.window("Settings")
    s_at, _ = desk.geometry(settings)
    desk.click(s_at[0] + px(4890) + 30, s_at[1] + px(1800) + 10)
    desk.window("Open")
    time.sleep(0.8)
    key("Return")
    desk.snap_screen(shot("16-skin-chosen"))
    desk.click(s_at[0] + px(120) + 60, s_at[1] + px(4080) + 15)  # Save Settings and Exit
    desk.snap(duel, shot("17-duel-window-with-skin"))

    # The launchers: Scrollkeep runs as a process of its own; a missing program is said so.
    desk.click(*on_window(BAR["More"] + 60, 195))
    desk.choose(2, 1)
    scrollkeep = desk.wait_for(lambda: next((w for w, t in desk.windows() if t.startswith("Scrollkeep")), None),
                               15, "Scrollkeep")
    pids = subprocess.run(["pgrep", "-f", os.path.join(copy, "Utilities", "Scrollkeep")], capture_output=True,
                          text=True).stdout.split()
    print("Scrollkeep runs as process %s, Tablewright as %s" % (" ".join(pids), desk.program.pid))
    desk.snap_screen(shot("18-scrollkeep-started"))
    for p in pids:
        subprocess.run(["kill", p])
    desk.wait_for(lambda: all(w != scrollkeep for w, _ in desk.windows()) or None, 10, "Scrollkeep to end")
    for n, row in enumerate([2, 0]):  # Bridgehall, IRC Chat
        desk.click(*on_window(BAR["More"] + 60, 195))
        desk.choose(2, row)
        time.sleep(0.8)
        desk.snap_screen(shot("%02d-%s-missing" % (19 + n, ["bridgehall", "chat-utility"][n])))
        desk.answer_boxes({"Tablewright"})

    # The minimise picture.
    desk.click(*on_window(18810 - 720 + 150, 195))
    time.sleep(0.8)
    shown = [t for _, t in desk.windows()]
    print("after minimise, shown windows: %s" % shown)
    desk.snap_screen(shot("21-minimised"))


if __name__ == "__main__":
    main()
