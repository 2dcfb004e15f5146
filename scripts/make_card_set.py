#!/usr/bin/env python3
"""Writes the sample card set of our own invention into data/: the two set files (zqm.set and
ocg_zqm.set), the token files (token.ptcg, token.cnl) and the art list that
scripts/make_pictures.sh draws placeholder art from.

Deterministic: the same files on every run. Standard library only.

Usage: scripts/make_card_set.py [output-folder]   (default: data/ beside this script)
"""
import os
import sys

SETS = ["QVR1", "HSK", "NLT4", "BWX"]
OCG_ONLY_SET = "ZEN5"

# Made-up words; a card name is one of these and a kind of creature or an action.
WORDS = [
    "Ashvel", "Brimmow", "Cindrel", "Dovrak", "Elmquist", "Fennow", "Gorrath", "Hallowind",
    "Isquel", "Jarrow", "Kestrin", "Lumbrel", "Morrask", "Nettlefen", "Orvane", "Pellish",
    "Quorrin", "Rustmane", "Sallowmere", "Thistlegard", "Umbrane", "Vellicor", "Wexmoor",
    "Yarrowick", "Zindle", "Quillfen", "Marrowvane", "Tessel", "Corvath", "Glimmerk",
]
RACES = ["Drake", "Golem", "Sprite", "Automaton", "Wyrm", "Beastkin", "Revenant", "Seer",
         "Kraken", "Sylph"]
# The monster type each kind of creature in a name is printed with, and the attributes: both
# from the lists the deck editor's search offers, so that its filters find the sample cards.
TYPE_OF_RACE = {
    "Drake": "Dragon", "Golem": "Rock", "Sprite": "Fairy", "Automaton": "Machine",
    "Wyrm": "Reptile", "Beastkin": "Beast-Warrior", "Revenant": "Zombie", "Seer": "Spellcaster",
    "Kraken": "Sea Serpent", "Sylph": "Winged Beast",
}
ATTRIBUTES = ["FIRE", "WATER", "WIND", "EARTH", "LIGHT", "DARK"]

SPELL_NOUNS = ["Lantern", "Compass", "Tithe", "Harvest", "Covenant", "Mirror", "Beacon",
               "Ledger", "Orchard", "Anvil", "Tapestry", "Kiln", "Reliquary", "Bellows"]
TRAP_NOUNS = ["Snare", "Pitfall", "Tripwire", "Ambush", "Rebuke", "Backlash", "Quagmire",
              "Mire", "Caltrops", "Tollgate", "Riptide", "Shutter"]

EFFECT_TEXTS = [
    "When this card is put on the table, you may draw 1 card.",
    "Once per turn: you may move 1 counter from any card to this card.",
    "When this card leaves the table, your opponent discards 1 card.",
    "This card gains 300 ATK for each counter on the table.",
    "Once per turn, you may look at the top card of your deck and put it on the bottom.",
    "If this card is turned face up, you gain 500 life points.",
    "Your opponent cannot attack any other card while this card is face up.",
]
NORMAL_TEXTS = [
    "It keeps to the high passes and hums when the wind turns.",
    "A patient hunter that waits under the ice for a whole season.",
    "Its shell is made of old coins that it swallowed as a hatchling.",
    "It carries messages between villages that have forgotten each other.",
    "Nobody has seen it sleep; the lamplighters say it counts the stars instead.",
]


def name_pool():
    """Every distinct word-race pair, in a fixed shuffled order."""
    pairs = [(w, r) for r in RACES for w in WORDS]
    # A fixed stride visits every pair once (the stride is prime to the count).
    n = len(pairs)
    stride = 7
    while gcd(stride, n) != 1:
        stride += 1
    return [pairs[(i * stride) % n] for i in range(n)]


def gcd(a, b):
    while b:
        a, b = b, a % b
    return a


class Card:
    def __init__(self, name, group, attribute, level, icon, atk, defence, desc):
        self.name = name
        self.group = group
        self.attribute = attribute
        self.level = level
        self.icon = icon
        self.atk = atk
        self.defence = defence
        self.desc = desc
        self.printings = []  # (set code, number)


def monsters(pool, start, count, kind, level_range, text_of):
    cards = []
    for i in range(count):
        word, race = pool[start + i]
        k = start + i
        level = level_range[0] + k % (level_range[1] - level_range[0] + 1)
        atk = 100 * (level * 3 + k % 7)
        defence = 100 * (level * 2 + (k * 3) % 9)
        group = TYPE_OF_RACE[race] + kind
        cards.append(Card(word + " " + race, group, ATTRIBUTES[k % len(ATTRIBUTES)], str(level),
                          "", str(atk), str(defence), text_of(k)))
    return cards


def spells_or_traps(nouns, words, count, offset, group, attribute, icon, text_of):
    cards = []
    for i in range(count):
        k = offset + i
        noun = nouns[k % len(nouns)]
        word = words[(k * 11 + 3) % len(words)]
        cards.append(Card(word + "'s " + noun, group, attribute, "", icon, "", "",
                          text_of(k)))
    return cards


def build_cards():
    pool = name_pool()
    at = 0
    out = []

    def take(count, kind, levels, text_of):
        nonlocal at
        out.extend(monsters(pool, at, count, kind, levels, text_of))
        at += count

    take(40, "", (1, 4), lambda k: NORMAL_TEXTS[k % len(NORMAL_TEXTS)])
    take(50, "/Effect", (1, 8), lambda k: EFFECT_TEXTS[k % len(EFFECT_TEXTS)])
    take(15, "/Fusion", (5, 10),
         lambda k: "Two monsters of the same kind joined together. " + EFFECT_TEXTS[k % 7])
    take(15, "/Synchro/Effect", (4, 9),
         lambda k: "1 tuned monster and 1 or more other monsters. " + EFFECT_TEXTS[k % 7])
    take(10, "/Ritual/Effect", (6, 10),
         lambda k: "Only put on the table by a rite of its own. " + EFFECT_TEXTS[k % 7])

    spell_texts = {
        "": "Draw 2 cards, then put 1 card from your hand on the bottom of your deck.",
        "Continuous": "Each of your monsters gains 200 ATK while this card stays face up.",
        "Equip": "Attach to 1 monster on the table: it gains 400 ATK and 200 DEF.",
        "Field": "All monsters of one attribute of your choice gain 300 ATK.",
        "Quick-Play": "Play during either player's turn: one monster gains 500 ATK this turn.",
        "Ritual": "Discard monsters whose levels add up to 6 or more to start a rite.",
    }
    trap_texts = {
        "": "When your opponent attacks, the attacking monster loses 600 ATK.",
        "Continuous": "Once per turn, put 1 counter on a monster your opponent controls.",
        "Counter": "When your opponent plays a spell, it has no effect.",
    }
    offset = 0
    # The set file names spells "Magic Card" with the attribute "Magic".
    for icon, count in [("", 12), ("Continuous", 8), ("Equip", 8), ("Field", 6),
                        ("Quick-Play", 8), ("Ritual", 6)]:
        out.extend(spells_or_traps(SPELL_NOUNS, WORDS, count, offset, "Magic Card", "Magic",
                                   icon, lambda k, t=spell_texts[icon]: t))
        offset += count
    for icon, count in [("", 10), ("Continuous", 8), ("Counter", 6)]:
        out.extend(spells_or_traps(TRAP_NOUNS, WORDS, count, offset, "Trap Card", "Trap",
                                   icon, lambda k, t=trap_texts[icon]: t))
        offset += count

    out.append(Card("Salt &amp; Cinder Wyrm", "Reptile/Fusion", "FIRE", "8", "", "2700", "2100",
                    "Two wyrms of different attributes joined together."))

    seen = set()
    for c in out:
        if c.name in seen:
            raise SystemExit("duplicate card name: " + c.name)
        seen.add(c.name)
    return out


def assign_printings(cards, sets):
    counters = {code: 0 for code in sets}
    for i, c in enumerate(cards):
        codes = [sets[i % len(sets)]]
        if i % 5 == 0:  # some cards are printed again in the next set
            codes.append(sets[(i + 1) % len(sets)])
        if i % 23 == 0:
            codes.append(sets[(i + 2) % len(sets)])
        for code in codes:
            counters[code] += 1
            c.printings.append((code, counters[code]))


def record(number, c):
    fields = [
        str(number), c.name,
        ";".join(str(n) for _, n in c.printings),
        ";".join(code for code, _ in c.printings),
        c.group, c.attribute, c.level, c.icon, c.atk, c.defence, c.desc,
    ]
    for f in fields:
        if "|" in f or "\r" in f or "\n" in f:
            raise SystemExit("field holds a separator: " + repr(f))
    return "|".join(fields)


def set_file(cards):
    return "".join(record(1000 + i, c) + "|\r\n" for i, c in enumerate(cards))


TOKENS = [
    ("Ember Spark Token", "Fairy", "FIRE", "1", "100", "100",
     "A spark that floats above the table for a while."),
    ("Pebble Token", "Rock", "EARTH", "2", "0", "800", "Small, round and stubborn."),
    ("Wisp Token", "Zombie", "DARK", "1", "300", "0", "It fades when nobody looks at it."),
    ("Gale Seed Token", "Winged Beast", "WIND", "3", "600", "600", "It sprouts in the next storm."),
]


def token_file():
    lines = []
    for name, group, attribute, level, atk, defence, desc in TOKENS:
        lines += ["[" + name + "]", "CARDNO=", "NAME=" + name, "GROUP=" + group,
                  "TYPE=" + attribute, "LEVEL=" + level, "ICON=", "ATK=" + atk,
                  "DEF=" + defence, "DESC=" + desc, "FUSION=0", ""]
    return "".join(line + "\r\n" for line in lines)


def token_list():
    return "".join(t[0] + "\r\n" for t in TOKENS)


def art_list(cards):
    lines = ["# Card art drawn by scripts/make_pictures.sh: set code, a tab, the card name."]
    for i, c in enumerate(cards):
        if i % 3 == 0:
            lines.append(c.printings[0][0] + "\t" + c.name.replace("&amp;", "&"))
    return "\n".join(lines) + "\n"


def write(folder, name, text):
    """Through a temporary file in the same folder, then a rename."""
    path = os.path.join(folder, name)
    part = os.path.join(folder, "." + name + ".part")
    with open(part, "wb") as f:
        f.write(text.encode("cp1252"))
    os.replace(part, path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    os.makedirs(folder, exist_ok=True)

    cards = build_cards()
    assign_printings(cards, SETS)
    write(folder, "zqm.set", set_file(cards))

    # The alternative list: the same cards and a few printed only in a set of its own.
    ocg = build_cards()
    assign_printings(ocg, SETS)
    for i, c in enumerate(ocg):
        if i % 10 == 0:
            c.printings.append((OCG_ONLY_SET, i // 10 + 1))
    write(folder, "ocg_zqm.set", set_file(ocg))

    write(folder, "token.ptcg", token_file())
    write(folder, "token.cnl", token_list())
    write(folder, "art-list.txt", art_list(cards))
    print("%d cards, %d printings" % (len(cards), sum(len(c.printings) for c in cards)))


if __name__ == "__main__":
    main()
