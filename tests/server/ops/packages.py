#!/usr/bin/python3
"""The Debian packages of the program and the server, as dpkg reads them: built with CPack from
the build folder, their control data and contents checked with dpkg-deb, unpacked into a
scratch root, and the server's systemd unit checked and its command line started there on
private ports.

usage: packages.py BUILD-FOLDER
"""
import configparser
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.request

BUILD = None


def dpkg_deb(*arguments):
    return subprocess.run(["dpkg-deb", *arguments], capture_output=True, text=True, check=True).stdout


def unit_service_section(path):
    # systemd units allow repeated keys; the ones checked here are given once.
    parser = configparser.ConfigParser(strict=False, interpolation=None)
    parser.optionxform = str
    parser.read(path)
    return parser


class Packages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        out = os.path.join(cls.scratch.name, "packages")
        subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                        "-B", out], check=True, capture_output=True, cwd=BUILD, timeout=900)
        cls.debs = {dpkg_deb("-f", deb, "Package").strip(): deb
                    for deb in glob.glob(os.path.join(out, "*.deb"))}
        cls.root = os.path.join(cls.scratch.name, "root")
        for deb in cls.debs.values():
            subprocess.run(["dpkg-deb", "-x", deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_both_packages_hold_what_they_install(self):
        self.assertEqual(sorted(self.debs), ["tellavo", "tellavo-server"])
        expected = {
            "tellavo": ["./usr/bin/tellavo", "./usr/share/applications/tellavo.desktop",
                        "./usr/share/icons/hicolor/scalable/apps/tellavo.svg"],
            "tellavo-server": ["./usr/bin/tellavo-server",
                               "./usr/lib/systemd/system/tellavo-server.service",
                               "./etc/tellavo/server.conf"],
        }
        for package, paths in expected.items():
            with self.subTest(package=package):
                listing = [line.split()[-1] for line in dpkg_deb("-c", self.debs[package]).splitlines()]
                for path in paths:
                    self.assertIn(path, listing)
                fields = dpkg_deb("-f", self.debs[package], "Version", "Architecture", "Depends")
                self.assertIn("Version: 1.0.0", fields)
                self.assertIn("libqt6core6", fields)  # found by the library scan
        self.assertIn("adduser", dpkg_deb("-f", self.debs["tellavo-server"], "Depends"))

    def test_server_scripts_make_its_user_and_keep_its_settings(self):
        control = os.path.join(self.scratch.name, "control")
        subprocess.run(["dpkg-deb", "-e", self.debs["tellavo-server"], control], check=True)
        with open(os.path.join(control, "conffiles")) as f:
            self.assertEqual(f.read().split(), ["/etc/tellavo/server.conf"])
        for script in ("postinst", "prerm", "postrm"):
            path = os.path.join(control, script)
            self.assertTrue(os.access(path, os.X_OK), script)
            subprocess.run(["sh", "-n", path], check=True)
        with open(os.path.join(control, "postinst")) as f:
            postinst = f.read()
        self.assertIn("adduser --system", postinst)
        self.assertIn("-m 0700 /var/lib/tellavo", postinst)

    def test_desktop_entry_names_the_installed_program_and_icon(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(os.path.join(self.root, "usr/share/applications/tellavo.desktop"))
        desktop = entry["Desktop Entry"]
        self.assertEqual(desktop["Type"], "Application")
        self.assertTrue(os.path.exists(os.path.join(self.root, "usr/bin", desktop["Exec"].split()[0])))
        self.assertTrue(os.path.exists(os.path.join(
            self.root, "usr/share/icons/hicolor/scalable/apps", desktop["Icon"] + ".svg")))

    def test_unit_is_hardened_and_its_command_line_serves(self):
        unit_path = os.path.join(self.root, "usr/lib/systemd/system/tellavo-server.service")
        service = unit_service_section(unit_path)["Service"]
        for key, value in {"User": "tellavo", "NoNewPrivileges": "yes", "PrivateTmp": "yes",
                           "ProtectHome": "yes", "ProtectSystem": "strict",
                           "StateDirectory": "tellavo",
                           "EnvironmentFile": "/etc/tellavo/server.conf"}.items():
            self.assertEqual(service[key], value, key)
        if shutil.which("systemd-analyze"):
            verify = subprocess.run(["systemd-analyze", "verify", "--man=no", unit_path],
                                    capture_output=True, text=True)
            # Every complaint counts but the program's absence: it exists once installed.
            faults = [line for line in verify.stderr.splitlines()
                      if line.strip() and "is not executable" not in line]
            self.assertEqual(faults, [], verify.stderr)

        # The settings file sets the variable the command line names.
        with open(os.path.join(self.root, "etc/tellavo/server.conf")) as f:
            settings = dict(shlex.split(line, comments=True)[0].split("=", 1)
                            for line in f if shlex.split(line, comments=True))
        command = []
        for word in shlex.split(service["ExecStart"]):
            command += shlex.split(settings[word[1:]]) if word.startswith("$") else [word]
        self.assertEqual(command[0], "/usr/bin/tellavo-server")
        data = os.path.join(self.scratch.name, "var-lib-tellavo")
        command = [os.path.join(self.root, command[0].lstrip("/"))] + [
            data if word == "/var/lib/tellavo" else
            re.sub(r"^[0-9.]+:\d+$", "127.0.0.1:0", word) for word in command[1:]]
        process = subprocess.Popen(command + ["--seed", "demo"], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        try:
            listening = {}
            for line in process.stdout:
                match = re.match(rb"listening ([\w-]+) 127\.0\.0\.1:(\d+)", line)
                if match:
                    listening[match.group(1).decode()] = int(match.group(2))
                if "metrics" in listening:
                    break
            self.assertEqual(sorted(listening), ["http", "https", "metrics", "relay", "relay-tls"])
            with urllib.request.urlopen("http://127.0.0.1:%d/health" % listening["metrics"],
                                        timeout=30) as reply:
                self.assertEqual((reply.status, reply.read()), (200, b"ok\n"))
        finally:
            process.terminate()
            process.wait(30)
            process.stdout.close()
        self.assertEqual(oct(os.stat(data).st_mode & 0o777), "0o700")


if __name__ == "__main__":
    BUILD = sys.argv.pop(1)
    unittest.main(verbosity=2)
