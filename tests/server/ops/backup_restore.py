#!/usr/bin/python3
"""Backing up an SQLite school while the server writes to it, and putting the copy back: the
copy is read by Python's own sqlite3 module, holds every write committed before the backup
began, and the restored school opens and serves again.

usage: backup_restore.py PATH-TO-tellavo-server
"""
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.parse
import urllib.request

SERVER = None


def start_server(data):
    process = subprocess.Popen(
        [SERVER, "--data", data, "--seed", "demo", "--listen", "127.0.0.1:0",
         "--argon2-memory", "8192", "--argon2-passes", "1"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    for line in process.stdout:
        match = re.match(rb"listening http 127\.0\.0\.1:(\d+)", line)
        if match:
            return process, int(match.group(1))
    raise AssertionError("the server did not start")


def stop_server(process):
    process.terminate()
    process.wait(30)
    process.stdout.close()


def sign_in(port, name="klient"):
    form = {"user": name, "pass": name, "logintype": "1", "loginver": "1.0.0.0", "job": "2",
            "envlang": "2", "ssl": "0", "polling": "0", "booksver": "1", "skypever": "",
            "osver": "", "proxy": "0"}
    request = urllib.request.Request(
        "http://127.0.0.1:%d/tellavo/client.php?action=login" % port,
        data=urllib.parse.urlencode(form).encode())
    with urllib.request.urlopen(request, timeout=30) as reply:
        return reply.read().startswith(b"ok")


def run(*arguments):
    return subprocess.run([SERVER, *arguments], capture_output=True, text=True, timeout=120)


def sign_ins_of_klient(path):
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    try:
        return db.execute("SELECT COUNT(*) FROM LOGINS WHERE IDUSER = 7").fetchone()[0]
    finally:
        db.close()


class BackupRestore(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.data = os.path.join(self.folder.name, "data")
        self.school = os.path.join(self.data, "school.sqlite")
        self.copy = os.path.join(self.folder.name, "copy.sqlite")

    def tearDown(self):
        self.folder.cleanup()

    def test_a_copy_taken_under_writes_holds_every_committed_write_and_restores(self):
        process, port = start_server(self.data)
        try:
            seeded = sign_ins_of_klient(self.school)
            committed = [0]
            stop = threading.Event()
            half_way = threading.Event()

            def write_load():
                while not stop.is_set():
                    if sign_in(port):
                        committed[0] += 1  # its sign-in record was committed before the reply
                    if committed[0] >= 20:
                        half_way.set()

            writer = threading.Thread(target=write_load)
            writer.start()
            self.assertTrue(half_way.wait(120))
            before = committed[0]
            backup = run("--data", self.data, "--backup", self.copy)
            after = committed[0]
            half_way.clear()
            # Writes go on after the copy, and a restore is refused while the server runs.
            while committed[0] < after + 5 and writer.is_alive():
                threading.Event().wait(0.05)
            refused = run("--data", self.data, "--restore", self.copy)
            stop.set()
            writer.join(60)
        finally:
            stop_server(process)

        self.assertEqual(backup.returncode, 0, backup.stderr)
        self.assertEqual(oct(os.stat(self.copy).st_mode & 0o777), "0o600")
        db = sqlite3.connect("file:%s?mode=ro" % self.copy, uri=True)
        self.assertEqual(db.execute("PRAGMA integrity_check").fetchone()[0], "ok")
        db.close()
        in_copy = sign_ins_of_klient(self.copy)
        self.assertGreaterEqual(in_copy, seeded + before)
        self.assertLessEqual(in_copy, seeded + after)
        self.assertNotEqual(refused.returncode, 0)
        self.assertIn("stop it first", refused.stderr)
        self.assertGreater(sign_ins_of_klient(self.school), in_copy)

        restored = run("--data", self.data, "--restore", self.copy)
        self.assertEqual(restored.returncode, 0, restored.stderr)
        self.assertEqual(sign_ins_of_klient(self.school), in_copy)
        process, port = start_server(self.data)
        try:
            self.assertTrue(sign_in(port))
        finally:
            stop_server(process)
        self.assertEqual(sign_ins_of_klient(self.school), in_copy + 1)

    def test_bad_copies_and_places_are_refused_and_the_school_stays(self):
        process, port = start_server(self.data)
        stop_server(process)
        seeded = sign_ins_of_klient(self.school)
        garbage = os.path.join(self.folder.name, "garbage.sqlite")
        with open(garbage, "wb") as f:
            f.write(b"SQLite format 3\x00" + os.urandom(8192))
        empty = os.path.join(self.folder.name, "empty.sqlite")
        sqlite3.connect(empty).execute("CREATE TABLE T (X)").connection.close()
        cases = [
            (["--restore", garbage], ""),
            (["--restore", empty], "holds no school"),
            (["--restore", os.path.join(self.folder.name, "missing")], "no copy"),
            (["--db", "postgresql://u@127.0.0.1/school", "--backup", self.copy], "pg_dump"),
            (["--data", os.path.join(self.folder.name, "nothing"), "--backup", self.copy],
             "no school"),
        ]
        for arguments, reason in cases:
            with self.subTest(arguments=arguments):
                result = run("--data", self.data, *arguments)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(reason, result.stderr)
        self.assertFalse(os.path.exists(self.copy))
        self.assertEqual(sign_ins_of_klient(self.school), seeded)


if __name__ == "__main__":
    SERVER = sys.argv.pop(1)
    unittest.main(verbosity=2)
