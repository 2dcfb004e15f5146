#!/usr/bin/env python3
"""Writes the bundled site's set-updater pages: data/site/sets/zqm_sets_tcg.html and
zqm_sets_ocg.html. Each page carries the current set file of its card list as the text of its
fifth element (a <pre> after html, head, title and body): the sample set file of data/ with a
newer set of cards of our own invention added at the end, so that the updater finds and installs
a newer file on the bundled site.

Run it again after scripts/make_card_set.py. Deterministic; standard library only.

Usage: scripts/make_set_pages.py [data-folder]   (default: data/ beside this script)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_card_set import write  # noqa: E402  (through a temporary file, then a rename)

NEW_SET = "HGV"

# number, name, group, attribute, level, icon, atk, def, text
NEW_CARDS = [
    (2000, "Harrowgild Lamplighter", "Spellcaster", "LIGHT", "3", "", "1200", "900",
     "It walks the harbour wall at dusk and lights every lamp but its own."),
    (2001, "Pemberlane Ferryman", "Aqua/Effect", "WATER", "4", "", "1600", "1100",
     "When this card is put on the table, you may put 1 card from your graveyard on top of your deck."),
    (2002, "Oskvale Bellringer", "Machine/Effect", "EARTH", "2", "", "600", "1400",
     "Once per turn: you may look at the top card of your opponent's deck."),
    (2003, "Wrenhollow Kite", "Winged Beast", "WIND", "2", "", "900", "300",
     "It rides the first gust of every storm and is never seen to land."),
    (2004, "Harrowgild's Tidings", "Magic Card", "Magic", "", "Quick-Play", "", "",
     "Draw 1 card, then put 1 card from your hand on the bottom of your deck."),
    (2005, "Pemberlane's Lockgate", "Trap Card", "Trap", "", "Continuous", "", "",
     "Monsters your opponent controls cannot change their battle position."),
    (2006, "Oskvale Cinderwing", "Dragon/Fusion", "FIRE", "7", "", "2500", "1800",
     "Two winged monsters joined together."),
]

PAGE_HEAD = "<html>\r\n<head>\r\n<title>Current set file</title>\r\n</head>\r\n<body>\r\n<pre>"
PAGE_TAIL = "</pre>\r\n</body>\r\n</html>\r\n"


def new_records():
    out = []
    for i, (number, name, group, attribute, level, icon, atk, defence, text) in enumerate(NEW_CARDS):
        fields = [str(number), name, str(i + 1), NEW_SET, group, attribute, level, icon, atk,
                  defence, text]
        for f in fields:
            if any(c in f for c in "|\r\n<>&"):
                raise SystemExit("field holds a separator or markup: " + repr(f))
        out.append("|".join(fields) + "|\r\n")
    return "".join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    pages = os.path.join(data, "site", "sets")
    os.makedirs(pages, exist_ok=True)
    for set_file, page in (("zqm.set", "zqm_sets_tcg.html"), ("ocg_zqm.set", "zqm_sets_ocg.html")):
        with open(os.path.join(data, set_file), "rb") as f:
            current = f.read().decode("cp1252")
        if "<" in current or not current.endswith("|\r\n"):
            raise SystemExit(set_file + " cannot be carried in a page as it is")
        write(pages, page, PAGE_HEAD + current + new_records() + PAGE_TAIL)


if __name__ == "__main__":
    main()
