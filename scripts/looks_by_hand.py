#!/usr/bin/env python3
"""Looks at the piles by hand under a virtual X server, with the mouse as a person does, and saves a
picture after each step: the deck looked at in the pile viewer over the duel window, a row dragged
from it onto the table, another row's menu and "Put into Hand", the graveyard opened by a click on
its place on the table, and the top cards of the deck viewed and reordered.

Usage: scripts/looks_by_hand.py [output-folder] [program-folder]
  output-folder:  where the PNG files go (default build/looks-by-hand)
  program-folder: a built program folder (default build/release/Tablewright, built first)
It works as scripts/table_by_hand.py does, on a scratch copy started as a new user. Look at the
pictures.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from table_by_hand import GAMEPLAY_LABEL, px, run_by_hand, to_duel_window  # noqa: E402

LIST_ROW = 13  # pixels a row of a list box


def play(desk, out):
    shot = lambda name: os.path.join(out, name + ".png")
    duel = to_duel_window(desk)
    at, _ = desk.geometry(duel)

    def on_window(x_twips, y_twips):
        return at[0] + px(x_twips), at[1] + px(y_twips)

    def on_table(x_twips, y_twips):  # the play surface lies at (3480, 390)
        return on_window(3480 + x_twips, 390 + y_twips)

    def viewer(title):
        wid = desk.window(title, 10)
        (x, y), _ = desk.geometry(wid)
        # The list lies at (75, 240) twips in the viewer: the middle of row k.
        return wid, lambda k: (x + px(75) + 60, y + px(240) + LIST_ROW * k + LIST_ROW // 2)

    desk.snap(duel, shot("00-duel-window"))
    # "Search Deck": the "Gameplay" label's menu, "Decks Gameplay", its second row.
    desk.click(*on_window(*GAMEPLAY_LABEL))
    desk.choose(1, 1)
    _, row = viewer("Viewing Your Deck")
    desk.snap_screen(shot("01-deck-look-over-the-duel-window"))

    # The first row dragged onto the middle of the table: it goes into play.
    desk.drag(row(0), on_table(5000, 3000), steps=20)
    desk.snap_screen(shot("02-row-dragged-onto-the-table"))

    # The right button on the second row opens its menu; "Put into Hand" is its second row.
    desk.click(*row(1), button=3)
    desk.snap_screen(shot("03-row-menu"))
    desk.choose(1)
    desk.snap_screen(shot("04-row-put-into-hand"))

    # Two cards into the graveyard with Ctrl+T, then a click on the graveyard's place (8190 to
    # 9300 across, 3675 to 5160 down the table): the deck look ends and the graveyard opens.
    desk.click(*on_window(9000, 9000))  # the window's bare ground below the table takes the keys
    for _ in range(2):
        desk.xdotool("key", "ctrl+t")
        time.sleep(0.3)
    desk.click(*on_table(8700, 4400))
    viewer("Viewing Your Graveyard")
    desk.snap_screen(shot("05-graveyard-look-from-the-table"))

    # "View Top of the Deck", its third row: three cards, the second moved up.
    desk.click(*on_window(*GAMEPLAY_LABEL))
    desk.choose(1, 2)
    box = desk.wait_for(lambda: next((w for w, t in desk.windows() if t.startswith("Tablewright Version")), None),
                        10, "the question of how many cards")
    desk.xdotool("windowactivate", "--sync", box)
    desk.xdotool("key", "--clearmodifiers", "ctrl+a")
    desk.xdotool("type", "3")
    desk.snap_screen(shot("06-how-many-cards"))
    desk.xdotool("key", "--clearmodifiers", "Return")
    wid, row = viewer("Viewing the top 3 Cards of the Deck")
    desk.click(*row(1))
    (x, y), _ = desk.geometry(wid)
    desk.click(x + px(75 + 540), y + px(3240 + 180))  # "Move Up"
    desk.snap_screen(shot("07-top-of-deck-reordered"))


def main():
    run_by_hand("looks-by-hand", lambda desk, out, copy: play(desk, out))


if __name__ == "__main__":
    main()
