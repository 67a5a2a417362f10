#!/usr/bin/python3
"""The server program as operators watch it: its metrics are read by the monitoring systems'
own text parser, its JSON log lines by Python's json module, and its health answer by a plain
HTTP client, with hostile names and actions (quotes, line feeds, control characters) sent to it.

usage: metrics_and_logs.py PATH-TO-tellavo-server
"""
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.parse
import urllib.request

from prometheus_client.parser import text_string_to_metric_families

SERVER = None
HOSTILE = ['a"b\\c', "line\nforged: tellavo.server.http: request action=login", "tab\tbell\x07\x1b[31m"]


class RunningServer:
    """tellavo-server on free loopback ports with the demo school, its log read as it comes."""

    def __init__(self, *extra):
        self.folder = tempfile.TemporaryDirectory()
        env = dict(os.environ, QT_LOGGING_RULES="tellavo.server.*.info=true")
        self.process = subprocess.Popen(
            [SERVER, "--data", self.folder.name, "--seed", "demo", "--listen", "127.0.0.1:0",
             "--metrics", "127.0.0.1:0", "--argon2-memory", "8192", "--argon2-passes", "1",
             *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        self.ports = {}
        for line in self.process.stdout:
            match = re.match(rb"listening (\w+) 127\.0\.0\.1:(\d+)", line)
            if match:
                self.ports[match.group(1).decode()] = int(match.group(2))
            if "http" in self.ports and "metrics" in self.ports:
                break
        self.log = []
        self.reader = threading.Thread(target=self._read_log, daemon=True)
        self.reader.start()

    def _read_log(self):
        for line in self.process.stderr:
            self.log.append(line)

    def stop(self):
        self.process.terminate()
        self.process.wait(30)
        self.reader.join(30)
        self.process.stdout.close()
        self.process.stderr.close()
        self.folder.cleanup()

    def post(self, query, form):
        url = "http://127.0.0.1:%d/tellavo/client.php?%s" % (self.ports["http"], query)
        request = urllib.request.Request(url, data=urllib.parse.urlencode(form).encode("latin-1"))
        with urllib.request.urlopen(request, timeout=30) as reply:
            return reply.status, reply.read()

    def get(self, port_name, path):
        url = "http://127.0.0.1:%d%s" % (self.ports[port_name], path)
        try:
            with urllib.request.urlopen(url, timeout=30) as reply:
                return reply.status, reply.read().decode()
        except urllib.error.HTTPError as error:
            return error.code, error.read().decode()

    def metrics(self):
        status, text = self.get("metrics", "/metrics")
        assert status == 200
        samples = {}
        for family in text_string_to_metric_families(text):
            for s in family.samples:
                samples[(s.name, tuple(sorted(s.labels.items())))] = s.value
        return samples


def sign_in(server, name, password):
    form = {"user": name, "pass": password, "logintype": "1", "loginver": "1.0.0.0", "job": "2",
            "envlang": "2", "ssl": "0", "polling": "0", "booksver": "1", "skypever": "",
            "osver": "", "proxy": "0"}
    return server.post("action=login", form)


class MetricsAndLogs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = RunningServer("--log-format", "json")

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def test_metrics_count_what_happened_and_parse_strictly(self):
        before = self.server.metrics()
        status, body = sign_in(self.server, "klient", "klient")
        self.assertEqual(status, 200)
        for name in HOSTILE:
            sign_in(self.server, name, "x")
        # Actions no server knows, hostile ones among them, share one label.
        for action in HOSTILE + ["nosuchaction"]:
            self.server.post("action=" + urllib.parse.quote(action) +
                             "&PHPSESSID=0123456789abcdef0123456789abcdef", {})
        after = self.server.metrics()

        def delta(name, **labels):
            key = (name, tuple(sorted(labels.items())))
            return after.get(key, 0) - before.get(key, 0)

        self.assertEqual(delta("tellavo_signins_total", result="accepted"), 1)
        self.assertEqual(delta("tellavo_signins_total", result="refused"), len(HOSTILE))
        self.assertEqual(delta("tellavo_requests_total", action="login", status="200", result="ok"), 1)
        self.assertEqual(delta("tellavo_requests_total", action="login", status="203",
                               result="refused"), len(HOSTILE))
        self.assertEqual(delta("tellavo_requests_total", action="other", status="203",
                               result="refused"), len(HOSTILE) + 1)
        self.assertEqual(delta("tellavo_request_duration_seconds_count", action="login"),
                         len(HOSTILE) + 1)
        self.assertEqual(after[("tellavo_request_duration_seconds_bucket",
                                (("action", "login"), ("le", "+Inf")))],
                         after[("tellavo_request_duration_seconds_count", (("action", "login"),))])
        self.assertGreater(delta("tellavo_database_statement_seconds_count"), 0)
        labels = {dict(key[1]).get("action") for key in after}
        self.assertFalse(any(name in labels for name in HOSTILE), labels)

    def test_every_log_line_is_one_json_object_and_hostile_names_arrive_intact(self):
        for name in HOSTILE:
            sign_in(self.server, name, "x")
        sign_in(self.server, "klient", "klient")
        # The request line of the last sign-in is written after its reply: wait for it.
        for _ in range(200):
            if any(b'"action":"login"' in line and b'"status":"200"' in line
                   for line in list(self.server.log)):
                break
            threading.Event().wait(0.05)
        records = [json.loads(line) for line in list(self.server.log)]
        for record in records:
            self.assertTrue({"time", "level", "category", "message"} <= record.keys(), record)
        names = [r.get("name") for r in records if r["category"] == "tellavo.server.signin"]
        for name in HOSTILE:
            self.assertIn(name, names)
        requests = [r for r in records if r["category"] == "tellavo.server.http"]
        self.assertTrue(any(r.get("action") == "login" and r.get("status") == "200" and
                            r.get("user") == "7" and float(r.get("ms")) >= 0 for r in requests))

    def test_health_answers_on_both_listeners(self):
        self.assertEqual(self.server.get("metrics", "/health"), (200, "ok\n"))
        self.assertEqual(self.server.get("http", "/health"), (200, "ok\n"))
        self.assertEqual(self.server.get("metrics", "/nothing")[0], 404)


class TextLog(unittest.TestCase):
    def test_a_name_with_a_line_feed_cannot_forge_a_text_line(self):
        server = RunningServer()
        try:
            sign_in(server, HOSTILE[1], "x")
            server.process.terminate()
            server.process.wait(30)
            server.reader.join(30)
            forged = [line for line in server.log if line.startswith(b"forged")]
            self.assertEqual(forged, [])
            self.assertTrue(any(b"name=line\\x0aforged" in line for line in server.log), server.log)
        finally:
            server.stop()


if __name__ == "__main__":
    SERVER = sys.argv.pop(1)
    unittest.main(verbosity=2)
