#!/usr/bin/env python3
"""Runs the Windows program under Wine for the tests.

  wine.py setup                 make the test's own Wine prefix (WINEPREFIX)
  wine.py run PROGRAM [ARG...]  run PROGRAM in the current directory and turn
                                its message box into the POSIX build's line
  wine.py calls PROGRAM [ARG...] run it and print every traced call as JSON

The environment names the Wine loader (BRELK_WINE) and the prefix
(WINEPREFIX), which lives in the build tree so that a user's own prefix is
never touched. The box is read from Wine's relay trace, limited to the calls
listed in TRACED, so the run stays fast.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

TRACED = "user32.MessageBoxA;kernel32.CreateDirectoryA;kernel32.GetCurrentDirectoryA"
MB_ICONMASK, MB_ICONERROR, MB_ICONWARNING = 0xF0, 0x10, 0x30


def wine_env(display=False):
    env = dict(os.environ)
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    env["WINELOADER"] = env["BRELK_WINE"]
    if not display:
        env.pop("DISPLAY", None)
    return env


def setup():
    env = wine_env()
    env["WINEDEBUG"] = "-all"
    os.makedirs(os.path.dirname(env["WINEPREFIX"]), exist_ok=True)
    subprocess.run([env["BRELK_WINE"], "wineboot", "-i"], env=env, check=True, timeout=600,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([env["BRELK_WINE"], "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude",
                    "/t", "REG_SZ", "/d", TRACED, "/f"], env=env, check=True, timeout=300,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Without a window manager, Wine draws the box's title bar itself.
    subprocess.run([env["BRELK_WINE"], "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                    "/t", "REG_SZ", "/d", "N", "/f"], env=env, check=True, timeout=300,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Later runs start at once when the server outlives each program.
    subprocess.run(["wineserver", "-w"], env=env, timeout=300)


def unescape(s):
    """Reverses Wine's debugstr quoting of a traced string."""
    out, i = bytearray(), 0
    while i < len(s):
        c = s[i]
        if c != "\\":
            out += c.encode("latin-1")
            i += 1
            continue
        n = s[i + 1]
        if n == "x":
            out.append(int(s[i + 2:i + 4], 16))
            i += 4
        elif n in "01234567":
            j = i + 1
            while j < len(s) and j < i + 4 and s[j] in "01234567":
                j += 1
            out.append(int(s[i + 1:j], 8))
            i = j
        else:
            out += {"n": b"\n", "r": b"\r", "t": b"\t"}.get(n, n.encode("latin-1"))
            i += 2
    return out.decode("latin-1")


ARG = r'(?:[0-9a-fA-F]+ "((?:[^"\\]|\\.)*)"(?:\.\.\.)?|[0-9a-fA-F]+)'
CALL = re.compile(r'^[0-9a-f]+:Call (\w+)\.(\w+)\((.*)\) ret=[0-9a-f]+$')


def parse_args(text):
    args = []
    for m in re.finditer(ARG, text):
        whole = m.group(0)
        args.append(unescape(m.group(1)) if '"' in whole else int(whole, 16))
    return args


def traced_run(argv, display=False):
    env = wine_env(display)
    env["WINEDEBUG"] = "-all,+relay"
    with tempfile.TemporaryFile() as trace:
        status = subprocess.run([env["BRELK_WINE"]] + argv, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=trace).returncode
        trace.seek(0)
        lines = trace.read().decode("latin-1").splitlines()
    calls = []
    for line in lines:
        m = CALL.match(line)
        if m:
            calls.append({"function": m.group(2), "args": parse_args(m.group(3))})
    return status, calls


def run(argv):
    status, calls = traced_run(argv)
    boxes = [c["args"] for c in calls if c["function"] == "MessageBoxA"]
    for owner, text, caption, style in boxes:
        icon = style & MB_ICONMASK
        out = sys.stderr if icon in (MB_ICONERROR, MB_ICONWARNING) else sys.stdout
        if owner != 0:
            out.write("(box has an owner window %x) " % owner)
        out.write("%s: %s\n" % (caption, text))
    if len(boxes) != 1:
        sys.stderr.write("expected one message box, saw %d\n" % len(boxes))
    sys.exit(status)


def main():
    command, rest = sys.argv[1], sys.argv[2:]
    if command == "setup":
        setup()
    elif command == "run":
        run(rest)
    elif command == "calls":
        status, calls = traced_run(rest)
        print(json.dumps({"status": status, "calls": calls}))
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
