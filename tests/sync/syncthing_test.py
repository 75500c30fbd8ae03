#!/usr/bin/env python3
"""One catalogue on two machines, with a real sync engine.

Two Syncthing instances (Debian's package) with homes of their own share two
data folders on this machine, on loopback only (no discovery, relays, NAT
traversal, usage or crash reports) with a 1 s watch delay. The windowed program
runs on each folder (offscreen), driven by sync_driver: both make edits at once
(different items, the same item, an addition each that takes the same number, a
character each, a hand-over each), then both idle until the folders settle. The
end: the same catalogue on both sides byte for byte, holding every change, no
character holding an item it was not given, no file besides the documented
ones, no conflict copy left; and closing changes neither database.

Usage: syncthing_test.py SYNC_DRIVER KISTORA_CLI SAMPLE_DATA
Exit 77 (skipped) when syncthing is not installed.
"""
import copy
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request
import xml.etree.ElementTree as ET

DEADLINE = time.monotonic() + 170  # the whole test stays under three minutes
FOLDER = "kistora"
DOCUMENTED = {"items.kdb", "chars.kdb", "kistora.lock", "kistora.ini", "kistora.ini.bak", "backups", ".stfolder"}


def undocumented(folder):
    # Syncthing keeps its own temporary files of an abandoned download a day, to resume it
    # (never synced); the program's (~syncthing~kistora-...) must not be there.
    return {name for name in os.listdir(folder) if not name.startswith(".syncthing.")} - DOCUMENTED


describe = None  # says what the folders hold when a wait fails


def fail(message):
    print("FAIL: " + message, flush=True)
    if describe is not None:
        print(describe(), flush=True)
    sys.exit(1)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Instance:
    def __init__(self, root, name, data):
        self.name, self.data = name, data
        self.home = os.path.join(root, "st-" + name)
        self.gui, self.port, self.key = free_port(), free_port(), "cle-" + name
        out = subprocess.run(["syncthing", "generate", "--home=" + self.home, "--no-default-folder",
                              "--skip-port-probing"], capture_output=True, text=True, check=True)
        self.id = next(l.split()[-1] for l in (out.stdout + out.stderr).splitlines() if "Device ID:" in l)

    def configure(self, other, dials):
        path = os.path.join(self.home, "config.xml")
        tree = ET.parse(path)
        config = tree.getroot()
        options = config.find("options")
        for tag, value in [("globalAnnounceEnabled", "false"), ("localAnnounceEnabled", "false"),
                           ("relaysEnabled", "false"), ("natEnabled", "false"), ("urAccepted", "-1"),
                           ("crashReportingEnabled", "false"), ("startBrowser", "false"),
                           ("autoUpgradeIntervalH", "0")]:
            options.find(tag).text = value
        for listen in options.findall("listenAddress"):
            options.remove(listen)
        ET.SubElement(options, "listenAddress").text = "tcp://127.0.0.1:%d" % self.port
        gui = config.find("gui")
        gui.find("address").text = "127.0.0.1:%d" % self.gui
        gui.find("apikey").text = self.key
        device = ET.SubElement(config, "device", id=other.id, name=other.name, compression="metadata",
                               introducer="false")
        # One side dials, the other waits ("dynamic" finds nothing with discovery off):
        # two dials crossing each other hold the first connection up by 20 s or more.
        ET.SubElement(device, "address").text = "tcp://127.0.0.1:%d" % other.port if dials else "dynamic"
        # The folder from Syncthing's own defaults (conflict copies kept, among the rest), changes
        # watched with a 1 s delay.
        folder = copy.deepcopy(config.find("defaults/folder"))
        folder.attrib.update(id=FOLDER, label=FOLDER, path=self.data, rescanIntervalS="60", fsWatcherEnabled="true",
                             fsWatcherDelayS="1")
        for device in folder.findall("device"):
            folder.remove(device)
        for device_id in (self.id, other.id):
            ET.SubElement(folder, "device", id=device_id, introducedBy="")
        config.append(folder)
        tree.write(path)

    def start(self, logs):
        env = dict(os.environ, STNORESTART="1", STNOUPGRADE="1", STNODEFAULTFOLDER="1")
        self.log = open(os.path.join(logs, "syncthing-" + self.name + ".log"), "w")
        self.process = subprocess.Popen(["syncthing", "serve", "--home=" + self.home, "--no-browser",
                                         "--no-restart", "--no-upgrade", "--logflags=0"],
                                        stdout=self.log, stderr=subprocess.STDOUT, env=env)

    def rest(self, path, method="GET"):
        request = urllib.request.Request("http://127.0.0.1:%d%s" % (self.gui, path), headers={"X-API-Key": self.key},
                                         method=method)
        with urllib.request.urlopen(request, timeout=5) as answer:
            body = answer.read()
            return json.loads(body) if body else None

    def scan(self):
        # A pull that met a file changed since the last scan waits a minute otherwise.
        try:
            self.rest("/rest/db/scan?folder=" + FOLDER, method="POST")
        except Exception:
            pass

    def idle(self):
        try:
            status = self.rest("/rest/db/status?folder=" + FOLDER)
            connected = self.rest("/rest/system/connections")["connections"]
        except Exception:
            return False
        return (status["state"] == "idle" and status["needTotalItems"] == 0 and status.get("errors", 0) == 0 and
                any(c["connected"] for c in connected.values()))


class Program:
    def __init__(self, driver, data, root, name):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_STATE_HOME=os.path.join(root, "state-" + name),
                   XDG_RUNTIME_DIR=os.path.join(root, "run-" + name))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        self.process = subprocess.Popen([driver, data], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                        env=env)
        self.expect("ready")

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def expect(self, start):
        line = self.process.stdout.readline().strip()
        if not line.startswith(start):
            fail("the program answered %r, not %r" % (line, start))
        return line


def wait(what, condition, step=0.5):
    while time.monotonic() < DEADLINE:
        if condition():
            return
        time.sleep(step)
    fail("timed out waiting for " + what)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def catalogue(cli, data):
    return json.loads(subprocess.run([cli, "dump", data], capture_output=True, text=True, check=True).stdout)


def main():
    if shutil.which("syncthing") is None:
        print("syncthing is not installed: skipped")
        return 77
    driver, cli, sample = sys.argv[1:4]
    root = tempfile.mkdtemp(prefix="kistora-sync-")
    instances, programs = [], {}
    try:
        data = {side: os.path.join(root, "data-" + side) for side in "AB"}
        for path in data.values():
            os.makedirs(path)
        # The player's catalogue on the first machine; the second gets it through the sync.
        subprocess.run([sample, data["A"]], check=True)
        a, b = Instance(root, "A", data["A"]), Instance(root, "B", data["B"])
        instances = [a, b]
        a.configure(b, dials=True)
        b.configure(a, dials=False)
        for instance in instances:
            instance.start(root)
        started = time.monotonic()
        wait("the first sync", lambda: all(os.path.exists(os.path.join(data["B"], f)) for f in ("items.kdb", "chars.kdb"))
             and read(os.path.join(data["A"], "items.kdb")) == read(os.path.join(data["B"], "items.kdb"))
             and a.idle() and b.idle())
        print("first sync: %.1f s" % (time.monotonic() - started), flush=True)
        before = catalogue(cli, data["A"])

        for side in "AB":
            programs[side] = Program(driver, data[side], root, side)
        for side, program in programs.items():
            program.ask("edits " + side)
        numbers = {side: int(program.expect("done").split()[1]) for side, program in programs.items()}
        if numbers["A"] != numbers["B"]:
            fail("both additions should take the same number: %r" % numbers)
        edited = time.monotonic()
        if os.environ.get("KISTORA_TRACE_SYNC_TEST"):
            for tick in range(12):
                print(tick, [sorted(i["name"] for i in catalogue(cli, data[s])["items"] if i["name"][1:2] == " ")
                             for s in "AB"], sorted(os.listdir(data["A"])), sorted(os.listdir(data["B"])), flush=True)
                time.sleep(0.5)

        # Both idle until the folders settle: the same files on both sides, for a few seconds.
        def settled():
            for program in programs.values():
                program.ask("idle")
                program.expect("idle")
            files = [(read(os.path.join(data[s], "items.kdb")), read(os.path.join(data[s], "chars.kdb"))) for s in "AB"]
            done = files[0] == files[1] and a.idle() and b.idle() and not any(undocumented(data[s]) for s in "AB")
            if not done:
                a.scan()
                b.scan()
            return done
        stable = [0]

        def state():
            lines = []
            for s in "AB":
                names = sorted(i["name"] for i in catalogue(cli, data[s])["items"] if i["name"][1:2] == " ")
                lines.append("%s: files %s, edits %s" % (s, sorted(os.listdir(data[s])), names))
            for instance in (a, b):
                try:
                    status = instance.rest("/rest/db/status?folder=" + FOLDER)
                    lines.append("%s: %s need %s errors %s" % (instance.name, status["state"], status["needTotalItems"],
                                                               status.get("errors")))
                except Exception as error:
                    lines.append("%s: %s" % (instance.name, error))
            return "\n".join(lines)
        global describe
        describe = state
        wait("the folders to settle", lambda: stable.__setitem__(0, stable[0] + 1 if settled() else 0) or stable[0] >= 4,
             step=1)
        print("settled %.1f s after the edits" % (time.monotonic() - edited - 3), flush=True)

        merged = catalogue(cli, data["A"])
        items = {item["index"]: item for item in merged["items"]}
        names = {item["name"]: item for item in merged["items"]}
        chars = {char["name"]: char for char in merged["characters"]}
        for name in ("A change", "B change", "A neuf", "B neuf"):
            if name not in names:
                fail("%r is missing: %s" % (name, sorted(names)))
        same = [item for item in merged["items"] if item["name"] in ("A meme", "B meme")]
        if len(same) != 2 or items.get(3, {}).get("name") not in ("A meme", "B meme"):
            fail("item 3 changed on both sides: one at 3, the other beside it: %r" % same)
        other = next(item for item in same if item["index"] != 3)
        if "(conflit avec l'objet 3)" not in other["notes"]:
            fail("the other version of item 3 should say so in its notes: %r" % other)
        for side in "AB":
            held = chars.get("Perso " + side, {}).get("items")
            if held != [names[side + " neuf"]["index"]]:
                fail("Perso %s should hold its own new item %d, not %r" % (side, names[side + " neuf"]["index"], held))
        first = merged["characters"][0]
        if sorted(first["items"]) != sorted(before["characters"][0]["items"] + [4, 5]):
            fail("the first character should hold items 4 and 5 besides its own: %r" % first["items"])
        for side in "AB":
            extra = undocumented(data[side])
            if extra:
                fail("undocumented files in %s: %s" % (side, sorted(extra)))

        # Closing writes the options, never a database nobody changed.
        stamps = {s: [os.stat(os.path.join(data[s], f)).st_mtime_ns for f in ("items.kdb", "chars.kdb")] for s in "AB"}
        for program in programs.values():
            program.ask("quit")
        for program in programs.values():
            program.expect("closed")
            program.process.wait(timeout=30)
        for side in "AB":
            if [os.stat(os.path.join(data[side], f)).st_mtime_ns for f in ("items.kdb", "chars.kdb")] != stamps[side]:
                fail("closing rewrote a database on " + side)
        print("ok: every change on both sides, %d items, %d characters" % (len(items), len(chars)), flush=True)
        return 0
    finally:
        for program in programs.values():
            if program.process.poll() is None:
                program.process.kill()
                program.process.wait()
        for instance in instances:
            instance.process.terminate()
            instance.process.wait(timeout=20)
        if os.environ.get("KISTORA_KEEP_SYNC_TEST") is None:
            shutil.rmtree(root, ignore_errors=True)
        else:
            print("kept: " + root)


if __name__ == "__main__":
    sys.exit(main())
