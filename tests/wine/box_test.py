#!/usr/bin/env python3
"""What only a real Win32 implementation shows, read from Wine's relay trace:
the box's arguments for real command lines, and a run at a drive's root.

  box_test.py PROGRAM SPAWN
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine  # noqa: E402

PROGRAM, SPAWN = None, None
OK = "BRELK successfully installed!"
MB_OK, MB_ICONERROR = 0x00, 0x10


def dos_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


class Package:
    """A fresh package directory; the program is copied in, as users get it."""

    def __init__(self, files=(), dirs=()):
        self.root = tempfile.mkdtemp(prefix="brelk-wine-")
        for d in dirs:
            os.makedirs(os.path.join(self.root, d))
        for f in files:
            with open(os.path.join(self.root, f), "w") as out:
                out.write(f)
        self.program = os.path.join(self.root, "brelk-install.exe")
        shutil.copy(PROGRAM, self.program)

    def tree(self):
        found = set()
        for parent, dirs, files in os.walk(self.root):
            for name in dirs + files:
                found.add(os.path.relpath(os.path.join(parent, name), self.root))
        return found - {"brelk-install.exe"}

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def boxes(calls):
    return [c["args"] for c in calls if c["function"] == "MessageBoxA"]


class CommandLineCaption(unittest.TestCase):
    """The caption comes from the command line exactly as the process got it."""

    CASES = [
        # (command line given to CreateProcess, expected caption)
        ('"{path}" ', "brelk-install.exe"),  # a Windows shell quotes the path and adds a space
        ('{path}', "brelk-install.exe"),
        ('"{path}" C:\\packages\\brelk', "brelk"),  # an argument's backslash counts too
    ]

    def test_cases(self):
        for template, caption in self.CASES:
            with self.subTest(command_line=template):
                package = Package(files=["x.h"])
                try:
                    os.chdir(package.root)
                    command_line = template.format(path=dos_path(package.program))
                    status, calls = wine.traced_run([SPAWN, dos_path(package.program), command_line])
                    self.assertEqual(status, 0)
                    self.assertEqual(boxes(calls), [[0, OK, caption, MB_OK]])
                    self.assertEqual(package.tree(), {"INCLUDE", "INCLUDE/x.h", "LIB"})
                finally:
                    os.chdir("/")
                    package.close()

    def test_failure_asks_for_error_icon(self):
        package = Package(files=["x.h"], dirs=["INCLUDE/x.h"])
        try:
            os.chdir(package.root)
            status, calls = wine.traced_run([package.program])
            self.assertEqual(status, 1)
            self.assertEqual(boxes(calls), [[0, "BRELK was not completely installed: 1 file could not be "
                                             "moved and was left in place.", "brelk-install.exe",
                                             MB_OK | MB_ICONERROR]])
        finally:
            os.chdir("/")
            package.close()


class DriveRoot(unittest.TestCase):
    """At a drive's root the joined paths hold a doubled backslash, and still work."""

    def test_drive_root(self):
        package = Package(files=["x.h", "mandelf.h", "z.lib", "readme.txt"])
        letter = os.path.join(os.environ["WINEPREFIX"], "dosdevices", "p:")
        try:
            if os.path.lexists(letter):
                os.remove(letter)
            os.symlink(package.root, letter)
            os.chdir(package.root)
            status, calls = wine.traced_run([package.program])
            self.assertEqual(status, 0)
            created = [c["args"][0] for c in calls if c["function"] == "CreateDirectoryA"]
            self.assertEqual(created, ["P:\\\\INCLUDE", "P:\\\\LIB"])
            self.assertEqual(boxes(calls), [[0, OK, "brelk-install.exe", MB_OK]])
            self.assertEqual(package.tree(),
                             {"INCLUDE", "INCLUDE/x.h", "LIB", "LIB/z.lib", "mandelf.h", "readme.txt"})
        finally:
            os.chdir("/")
            if os.path.lexists(letter):
                os.remove(letter)
            package.close()


if __name__ == "__main__":
    PROGRAM, SPAWN = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0], "-v"])
