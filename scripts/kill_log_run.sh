#!/usr/bin/env bash
# Kills logged duels with kill -9 and reads every game log back through the log viewer.
#
#   scripts/kill_log_run.sh [RUNS] [BUILD_DIR] [PARALLEL]
#
# Each run starts two headless tables in folders of their own, both with "Log Duel" ticked, that
# duel over loopback and chat about 1,200 lines each for some seconds. One of them, chosen at
# random, is killed with SIGKILL: in half of the runs at a random moment of the duel, in the
# other half just as its logs folder sees a write of a save (a random one of the first few), so
# that the kill falls inside a save. The other table is then killed as well after a random
# pause, or, in every other run, left to reach its quit. Afterwards every game log (*.qlra) of
# both tables is read back by tw_log_check through the log viewer's window: it must open
# without a word, be one line ending in CR LF, show whole lines, and hold only lines that the
# duel wrote. Prints one line per run and a summary; exit status 0 when every log read back
# whole. Not part of the test command: it takes minutes.
set -euo pipefail

runs=${1:-200}
build=${2:-build/rel}
parallel=${3:-4}
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_TESTS=ON >/dev/null
fi
cmake --build "$build" -j 4 --target tw_headless tw_log_check >/dev/null

exec python3 - "$runs" "$build" "$parallel" "$here" <<'PY'
import ctypes
import os
import random
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
from concurrent.futures import ThreadPoolExecutor

runs, build, parallel, source = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), sys.argv[4]
headless = os.path.join(build, "tests", "tw_headless")
checker = os.path.join(build, "tests", "tw_log_check")
set_file = os.path.join(source, "data", "zqm.set")
seed = int(os.environ.get("KILL_RUN_SEED", str(int(time.time()))))
print(f"{runs} runs, seed {seed}", flush=True)

libc = ctypes.CDLL("libc.so.6", use_errno=True)
IN_MODIFY, IN_MOVED_TO, IN_CREATE = 0x2, 0x80, 0x100


def sample_deck():
    # Fourteen main-deck cards of the sample set three times, one extra-deck card twice.
    deck, main_cards, extra = [], 0, False
    with open(set_file, encoding="latin-1", newline="") as f:
        for line in f.read().split("\n"):
            fields = line.rstrip("\r").split("|")
            if len(fields) < 6:
                continue
            code = fields[3].split(";")[0]
            extra_kind = "Fusion" in fields[4] or "Synchro" in fields[4]
            if extra_kind and not extra:
                deck.append(f"2|{code}|{fields[1]}")
                extra = True
            elif not extra_kind and main_cards < 14:
                deck.append(f"3|{code}|{fields[1]}")
                main_cards += 1
    return "\r\n".join(deck) + "\r\n-SIDE DECK-\r\n"


DECK = sample_deck()


def chats(name, run):
    steps, texts = [], []
    for i in range(1200):
        text = f"run {run} line {i} from {name}: " + "abcdefghij" * (1 + i % 7)
        texts.append(text)
        steps.append("chat:" + text)
        if i % 12 == 11:
            steps.append("sleep:40")
    return steps, texts


class Table:
    def __init__(self, root, name):
        self.name = name
        self.folder = os.path.join(root, name)
        os.makedirs(os.path.join(self.folder, "decks"))
        os.makedirs(os.path.join(self.folder, "Logs"))
        shutil.copy(set_file, self.folder)
        with open(os.path.join(self.folder, "decks", "duel.dek"), "w", newline="") as f:
            f.write(DECK)
        self.lines = []
        self.handshake = threading.Event()
        self.port = threading.Event()
        self.port_number = 0

    def start(self, options, steps):
        args = [headless, "--folder", self.folder, "--user", self.name, "--timeout", "20"] + options + steps
        self.process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                        encoding="latin-1")
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.process.stdout:
            line = line.rstrip("\n")
            self.lines.append(line)
            if line.startswith("PORT "):
                self.port_number = int(line[5:])
                self.port.set()
            if line == "LOG <Game> Handshake Accepted":
                self.handshake.set()

    def deck_step(self):
        return "deck:" + os.path.join(self.folder, "decks", "duel.dek")

    def logs(self):
        folder = os.path.join(self.folder, "Logs")
        return sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".qlra") and not n.startswith("."))

    def leftovers(self):
        return [n for n in os.listdir(os.path.join(self.folder, "Logs")) if n.startswith(".")]

    def killed_inside_a_save(self):
        # Between a save's first write into its copy and the swap, that copy is newer than the
        # log (or there is no log yet); at any other moment the spare is the older one.
        folder = os.path.join(self.folder, "Logs")
        logs = self.logs()
        log_size = os.path.getsize(logs[0]) if logs else -1
        return any(os.path.getsize(os.path.join(folder, n)) > log_size for n in self.leftovers())


def kill_at_a_save(table, rng):
    # Waits for a random one of the first writes into a file of its logs folder, then kills at
    # once or within a moment: inside that save, or just after it.
    fd = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
    libc.inotify_add_watch(fd, os.path.join(table.folder, "Logs").encode(), IN_MODIFY | IN_MOVED_TO | IN_CREATE)
    wanted = rng.randint(1, 6)
    seen = 0
    until = time.monotonic() + 30
    try:
        while seen < wanted and time.monotonic() < until and table.process.poll() is None:
            ready, _, _ = select.select([fd], [], [], 0.05)
            if ready:
                data, at = os.read(fd, 65536), 0
                while at + 16 <= len(data):  # struct inotify_event, then its name
                    _, mask, _, size = struct.unpack_from("iIII", data, at)
                    seen += 1 if mask & IN_MODIFY else 0
                    at += 16 + size
        pause = rng.choice([0, 0, rng.uniform(0, 0.001)])
        if pause:
            time.sleep(pause)
        table.process.send_signal(signal.SIGKILL)
    finally:
        os.close(fd)
    return f"at write {seen}"


def one_run(run):
    rng = random.Random(seed * 1000 + run)
    root = tempfile.mkdtemp(prefix=f"tw-kill-{run}-")
    try:
        ann, bob = Table(root, "Ann"), Table(root, "Bob")
        ann_steps, ann_texts = chats("Ann", run)
        bob_steps, bob_texts = chats("Bob", run)
        ann.start(["--port", "listen=0"],
                  [ann.deck_step(), "logduel", "listen", "wait:Handshake Accepted"] + ann_steps + ["quit"])
        if not ann.port.wait(30):
            return run, False, "Ann never listened", [], False
        bob.start(["--port", f"listen={ann.port_number}", "--port", "direct_local=0"],
                  [bob.deck_step(), "logduel", "connect", "mode:0", "address:127.0.0.1", "connect",
                   "wait:Handshake Accepted"] + bob_steps + ["quit"])
        victim, other = (ann, bob) if rng.random() < 0.5 else (bob, ann)
        if not victim.handshake.wait(30):
            return run, False, "no handshake", [], False
        if run % 2 == 0:
            time.sleep(rng.uniform(0, 4.5))
            victim.process.send_signal(signal.SIGKILL)
            how = "at random"
        else:
            how = kill_at_a_save(victim, rng)
        victim.process.wait()
        if run % 4 < 2:
            time.sleep(rng.uniform(0, 1.5))
            other.process.send_signal(signal.SIGKILL)
            other_how = "killed too"
        else:
            other_how = "left to quit"
        try:
            other.process.wait(90)
        except subprocess.TimeoutExpired:
            other.process.kill()
            other.process.wait()
        for t in (ann, bob):
            t.reader.join(10)
        known = set()
        for t in (ann, bob):
            known.update(l[4:] for l in t.lines if l.startswith("LOG "))
        known.update("<Ann> " + t for t in ann_texts)
        known.update("<Bob> " + t for t in bob_texts)
        known_file = os.path.join(root, "known.txt")
        with open(known_file, "w", encoding="latin-1", newline="") as f:
            f.write("".join(l + "\n" for l in known))
        logs = ann.logs() + bob.logs()
        if not logs:
            return run, False, f"{victim.name} killed {how}, {other.name} {other_how}: no game log", [], False
        check = subprocess.run([checker, "--known", known_file] + logs, capture_output=True, text=True,
                               encoding="latin-1")
        results = check.stdout.splitlines()
        whole = sum(1 for r in results if r.startswith("WHOLE "))
        spares = len(victim.leftovers()) + len(other.leftovers())
        if victim.killed_inside_a_save():
            how += " (inside a save)"
        line = (f"{victim.name} killed {how}, {other.name} {other_how}: {whole}/{len(logs)} logs whole "
                f"({', '.join(r.split()[-1] + ' lines' for r in results if r.startswith('WHOLE '))}), "
                f"{spares} hidden temporaries left")
        ok = check.returncode == 0 and whole == len(logs)
        if not ok:
            line += "\n    " + "\n    ".join(r for r in results if not r.startswith("WHOLE "))
            keep = os.path.join(tempfile.gettempdir(), f"tw-kill-failed-{seed}-{run}")
            shutil.copytree(root, keep, dirs_exist_ok=True)
            line += f"\n    kept in {keep}"
        return run, ok, line, results, "(inside a save)" in how
    finally:
        shutil.rmtree(root, ignore_errors=True)


good = inside = 0
logs_whole = logs_total = 0
with ThreadPoolExecutor(parallel) as pool:
    for run, ok, line, results, in_save in pool.map(one_run, range(runs)):
        good += ok
        inside += in_save
        logs_total += len(results)
        logs_whole += sum(1 for r in results if r.startswith("WHOLE "))
        print(f"run {run + 1:3}: {'ok  ' if ok else 'FAIL'} {line}", flush=True)
print(f"{good} of {runs} runs read back whole; {logs_whole} of {logs_total} game logs whole; "
      f"{inside} of the first kills fell inside a save")
sys.exit(0 if good == runs else 1)
PY
