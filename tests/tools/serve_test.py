"""`tavrin-cli --simulate serve` driven by real clients: PyVISA with its pure-Python backend,
and plain sockets where a client must misbehave. Every server listens on a free port of
127.0.0.1 that it picks itself (--port 0) and names in its first log line.

Environment: TAVRIN_CLI (the program), TAVRIN_EXAMPLES (tools/examples), TAVRIN_PROFILES.
"""
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import pyvisa

CLI = os.environ.get("TAVRIN_CLI", "tavrin-cli")
EXAMPLES = os.environ.get("TAVRIN_EXAMPLES", "tools/examples")
PROFILES = os.environ.get("TAVRIN_PROFILES", "sim/profiles")


class Server:
    """One server process; its log goes to a file (a pipe nobody reads could stop it)."""

    def __init__(self, *args):
        self.log = tempfile.NamedTemporaryFile(prefix="tavrin-serve-", suffix=".log")
        env = dict(os.environ, XDG_STATE_HOME=tempfile.gettempdir())
        self.process = subprocess.Popen([CLI, "--simulate", "serve", "--port", "0", *args],
                                        stderr=self.log, stdout=subprocess.DEVNULL, env=env)
        deadline = time.monotonic() + 10
        while not (m := re.search(r"listening on 127\.0\.0\.1:(\d+)", self.text())):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise AssertionError("the server did not start: " + self.text())
            time.sleep(0.02)
        self.port = int(m.group(1))

    def text(self):
        with open(self.log.name, errors="replace") as f:
            return f.read()

    def descriptors(self):
        return len(os.listdir(f"/proc/{self.process.pid}/fd"))

    def stop(self, how=signal.SIGTERM):
        self.process.send_signal(how)
        return self.process.wait(timeout=10)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()


class ServeTest(unittest.TestCase):
    server_args = ()

    def setUp(self):
        self.restart(*self.server_args)
        self.rm = pyvisa.ResourceManager("@py")
        self.addCleanup(self.rm.close)

    def restart(self, *args):
        self.server = Server(*args)
        self.addCleanup(self.server.close)

    def visa(self, timeout_ms=5000):
        return self.rm.open_resource(f"TCPIP::127.0.0.1::{self.server.port}::SOCKET",
                                     read_termination="\n", write_termination="\n",
                                     timeout=timeout_ms)

    def raw(self):
        s = socket.create_connection(("127.0.0.1", self.server.port), timeout=5)
        self.addCleanup(s.close)
        return s

    @staticmethod
    def line(s):
        data = b""
        while not data.endswith(b"\n"):
            chunk = s.recv(4096)
            if not chunk:
                return data.decode(errors="replace") if data else None
            data += chunk
        return data.decode(errors="replace")

    def query_raw(self, s, line):
        s.sendall(line.encode() + b"\n")
        return self.line(s)

    def served(self):
        tester = self.visa()
        self.assertEqual(tester.query("*IDN?"), "3.2.0")
        tester.close()


class Protocol(ServeTest):
    def test_queries_errors_and_terminations(self):
        tester = self.visa()
        self.assertEqual(tester.query("*IDN?"), "3.2.0")
        # A command gets no answer; its error waits in the library's queue.
        tester.write("CONF:AVER:BURS 300")
        tester.write("CONF:AVER:BURS 4")
        self.assertEqual(tester.query("SYST:ERR?"), '-222, "Data out of Range"')
        self.assertEqual(tester.query("SYST:ERR?"), '+0, "No Error"')
        self.assertEqual(tester.query("conf:aver:burs?"), "4")
        # A query the library leaves without an answer still gets its (empty) line.
        self.assertEqual(tester.query("XYZ;*IDN?"), "")
        self.assertEqual(tester.query("SYST:ERR?"), '-102, "Syntax Error"')
        self.assertEqual(tester.query("*CLS?"), "")
        # "\r\n", empty lines, blank lines and comments: nothing runs, nothing answers.
        tester.write_termination = "\r\n"
        tester.write("")
        tester.write("   \t ")
        tester.write("# a comment")
        self.assertEqual(tester.query("STAT:DEV?  # the state"), "IDLE")
        self.assertEqual(tester.query("SYST:ERR?"), '+0, "No Error"')
        tester.close()

    def test_bad_bytes_run_nothing_by_accident(self):
        s = self.raw()
        s.sendall(b"CONF:AVER:BURS 5\n")
        # A NUL must not cut the line into a command that succeeds.
        s.sendall(b"CONF:AVER:BURS 7\x00junk\n")
        s.sendall(b"CONF:AVER:BURS?\n")
        self.assertEqual(self.line(s), "5\n")
        self.assertNotEqual(self.query_raw(s, "SYST:ERR?"), '+0, "No Error"\n')
        # Binary garbage is lines of errors or nothing; the session goes on.
        s.sendall(bytes(range(256)) * 64 + b"\n\xff\xfe?\n")
        self.assertEqual(self.line(s), "\n")  # the garbage held a "?": one (empty) answer
        self.assertEqual(self.query_raw(s, "*IDN?"), "3.2.0\n")

    def test_over_long_line_is_refused_and_the_session_goes_on(self):
        s = self.raw()
        s.sendall(b"*IDN?" + b" " * (64 * 1024 - 5) + b"\r\n")  # at the bound: runs
        self.assertEqual(self.line(s), "3.2.0\n")
        s.sendall(b" " * 200_000 + b"CONF:AVER:BURS 3\n")  # would set 3 if it ran
        self.assertRegex(self.line(s), r'^-223, "Too much data; .* 65536 bytes"\n$')
        self.assertEqual(self.query_raw(s, "CONF:AVER:BURS?"), "1\n")
        self.assertIn("longer than 65536 bytes; discarded", self.server.text())

    def test_half_line_at_disconnect_is_dropped(self):
        s = self.raw()
        s.sendall(b"CONF:AVER:BURS 9")
        s.close()
        tester = self.visa()
        self.assertEqual(tester.query("CONF:AVER:BURS?"), "1")
        tester.close()


class OneClient(ServeTest):
    def test_second_client_refused_while_the_first_goes_on(self):
        first = self.visa()
        first.write("CONF:AVER:BURS 6")
        self.assertEqual(first.query("*IDN?"), "3.2.0")
        holder = re.search(r"(127\.0\.0\.1:\d+) connected", self.server.text()).group(1)
        second = self.visa()
        self.assertEqual(second.query("*IDN?"), f'-200, "Tester in use by {holder}"')
        with self.assertRaises(Exception):  # and closed
            second.read()
        second.close()
        # The first keeps its session: its setting, its error queue.
        first.write("XYZ")
        self.assertEqual(first.query("CONF:AVER:BURS?"), "6")
        self.assertEqual(first.query("SYST:ERR?"), '-102, "Syntax Error"')
        first.close()
        self.served()

    def test_client_killed_mid_query_frees_the_tester(self):
        child = subprocess.Popen([sys.executable, "-c", f"""
import pyvisa
t = pyvisa.ResourceManager("@py").open_resource(
    "TCPIP::127.0.0.1::{self.server.port}::SOCKET", read_termination="\\n",
    write_termination="\\n", timeout=5000)
print(t.query("*IDN?"), flush=True)
while True:
    t.query("PROC:SAMP:FORC;READ:NTP?")
"""], stdout=subprocess.PIPE, text=True)
        self.addCleanup(child.wait)
        self.addCleanup(child.kill)
        self.assertEqual(child.stdout.readline(), "3.2.0\n")
        peer = re.search(r"(127\.0\.0\.1:\d+) connected", self.server.text()).group(1)
        time.sleep(0.3)
        child.kill()
        child.wait()  # its socket is closed by the time it is reaped
        started = time.monotonic()
        self.served()
        self.assertLess(time.monotonic() - started, 3)
        self.assertIn(peer + " disconnected", self.server.text())

    def test_idle_client_dropped(self):
        self.server.close()
        self.restart("--idle-timeout", "0.3")
        busy = self.visa()
        for _ in range(8):  # a client that talks stays
            self.assertEqual(busy.query("STAT:DEV?"), "IDLE")
            time.sleep(0.1)
        busy.close()
        silent = self.raw()
        time.sleep(0.6)
        self.assertIsNone(self.line(silent))  # closed by the server
        self.assertIn("idle for 0.3 s; disconnected", self.server.text())
        self.served()


class Bounds(ServeTest):
    def test_thousand_connections_leave_no_descriptor(self):
        self.served()
        time.sleep(0.2)
        before = self.server.descriptors()

        def cycles(n):
            for i in range(n):
                with socket.create_connection(("127.0.0.1", self.server.port), timeout=5) as s:
                    if i % 10 == 0:  # some leave a query behind, unread
                        s.sendall(b"STAT:DEV?\n")

        # Eight clients at once, so most of them are refused while another holds the tester.
        workers = [threading.Thread(target=cycles, args=(125,)) for _ in range(8)]
        for w in workers:
            w.start()
        for w in workers:
            w.join()
        self.served()
        deadline = time.monotonic() + 3  # a refused socket lingers up to a second
        while self.server.descriptors() != before and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertEqual(self.server.descriptors(), before)
        log = self.server.text()
        self.assertEqual(log.count(" connected") + log.count(" refused"), 1002)
        self.assertIsNone(self.server.process.poll())

    def test_signals_close_the_port_and_end_cleanly(self):
        for how in (signal.SIGTERM, signal.SIGINT):
            tester = self.visa()
            self.assertEqual(tester.query("*IDN?"), "3.2.0")
            port = self.server.port
            self.assertEqual(self.server.stop(how), 0)
            with self.assertRaises(ConnectionRefusedError):
                socket.create_connection(("127.0.0.1", port), timeout=5)
            tester.close()
            self.server.close()
            self.restart()


class Trace(ServeTest):
    server_args = ("--trace",)

    def test_service_code_masked_in_trace(self):
        tester = self.visa()
        code = "KQZ4417WD385"
        self.assertEqual(tester.query(f'SYST:PASS "{code}";SYST:PASS?'), "PASSWORD OK!")
        tester.close()
        self.server.stop()
        log = self.server.text()
        self.assertIn('SYST:PASS "****"', log)
        self.assertNotIn(code, log)


class Example(ServeTest):
    def run_example(self):
        return subprocess.run(
            [sys.executable, os.path.join(EXAMPLES, "pp_production.py"), "--resource",
             f"TCPIP::127.0.0.1::{self.server.port}::SOCKET", "--bursts", "3"],
            capture_output=True, text=True, timeout=60)


class CompliantExample(Example):
    def test_passes(self):
        done = self.run_example()
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertRegex(done.stdout, r"NTP\s+24\.\d dBm .*PASS")
        self.assertRegex(done.stdout, r"Frequency offset\s+1[12]\.\d kHz .*PASS")
        self.assertTrue(done.stdout.endswith("Overall: PASS\n"))


class NoncompliantExample(Example):
    server_args = ("--dut", os.path.join(PROFILES, "noncompliant-pp.ini"))

    def test_fails(self):
        done = self.run_example()
        self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
        self.assertRegex(done.stdout, r"NTP\s+27\.\d dBm .*FAIL")
        self.assertRegex(done.stdout, r"Frequency offset\s+6\d\.\d kHz .*FAIL")
        self.assertTrue(done.stdout.endswith("Overall: FAIL\n"))


class LostTester(ServeTest):
    """The cable pulled mid-session: a query fails with its error within seconds instead of
    hanging the client, and the session goes on when the tester answers again."""

    def setUp(self):
        profile = tempfile.NamedTemporaryFile("w", prefix="tavrin-pull-", suffix=".ini")
        self.addCleanup(profile.close)
        profile.write("[device]\nrole = pp\n[faults]\nsilent_after_s = 3\nsilent_for_s = 6\n")
        profile.flush()
        self.server_args = ("--dut", profile.name)
        super().setUp()

    def test_query_fails_in_bounded_time_and_recovers(self):
        tester = self.visa(timeout_ms=10000)
        self.assertEqual(tester.query("SYST:HW:VERS?"), "Tavrin 1.0 2.0")
        time.sleep(3.5)
        started = time.monotonic()
        self.assertEqual(tester.query("SYST:HW:VERS?"), "")
        self.assertLess(time.monotonic() - started, 5)
        self.assertRegex(tester.query("SYST:ERR?"), r'^-36[56], "(Time out|Target) Error"$')
        deadline = time.monotonic() + 15
        while tester.query("SYST:HW:VERS?") != "Tavrin 1.0 2.0":
            self.assertLess(time.monotonic(), deadline, "the tester never answered again")
        tester.close()


if __name__ == "__main__":
    unittest.main()
