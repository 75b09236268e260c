#!/usr/bin/env python3
"""A production step on a portable part through `tavrin-cli serve`, with PyVISA: the tester
plays the fixed part, the device connects, NTP, frequency offset and drift are read over a few
bursts, judged against limits, and a verdict is printed.

    tavrin-cli --simulate serve &          # the virtual tester on 127.0.0.1:5025
    python3 pp_production.py [--resource TCPIP::127.0.0.1::5025::SOCKET] [--bursts N]

Exit status: 0 PASS, 1 FAIL, 2 the test could not be completed.
"""
import argparse
import statistics
import sys
import time

import pyvisa

# name, query, scale to the unit, unit, lower and upper limit: a value passes from the lower
# limit up to, not including, the upper one (as the program's limit bars judge it).
MEASUREMENTS = [
    ("NTP", "READ:NTP?", 1.0, "dBm", 19.0, 25.0),
    ("Frequency offset", "READ:FREQ:OFFS?", 0.001, "kHz", -50.0, 50.0),
    ("Frequency drift", "READ:FREQ:DRIF?", 0.001, "kHz", -43.2, 43.2),
]

SETUP = [
    "PROC:SEL:TEST MAN",
    "CONF:TEST:TYPE DPP",
    'CONF:PP:RFPI "0000000010"',
    "CONF:PP:DUMM:SLOT 0",
    "CONF:PP:DUMM:CARR 0",
    "CONF:PP:TRAF:SLOT 4",
    "CONF:PP:TRAF:CARR 0",
    "CONF:PP:SIGN:MODE LOOP",
    "CONF:PP:RF:LEV -60",
    "CONF:AVER:BURS 1",
]


class TestError(Exception):
    pass


def check(tester, line):
    """Sends a command and fails the test when the tester records an error for it."""
    tester.write(line)
    error = tester.query("SYST:ERR?")
    if not error.startswith("+0"):
        raise TestError(f"{line}: {error}")


def wait_for(tester, query, wanted, seconds, what):
    deadline = time.monotonic() + seconds
    while True:
        answer = tester.query(query)
        if answer == wanted:
            return
        if time.monotonic() > deadline:
            raise TestError(f"{what}: {query} answers {answer!r} after {seconds} s")
        time.sleep(0.1)


def run(tester, bursts):
    library = tester.query("*IDN?")
    if library.startswith("-"):  # the server's refusal: another client holds the tester
        raise TestError(library)
    print("Tester:", tester.query("SYST:HW:VERS?"), "library", library)
    tester.write("SYST:RESE")
    wait_for(tester, "STAT:DEV?", "IDLE", 10, "the tester did not come back")
    for line in SETUP:
        check(tester, line)
    wait_for(tester, "SENS:SIGN:STAT?", "LOCK", 10, "no portable part found")
    check(tester, "PROC:CONN:SET")
    try:
        wait_for(tester, "STAT:DEV?", "DCE", 10, "no link")
        values = {name: [] for name, *_ in MEASUREMENTS}
        for _ in range(bursts):
            tester.write("PROC:SAMP:FORC")
            for name, query, scale, *_ in MEASUREMENTS:
                answer = tester.query(query)
                try:
                    values[name].append(float(answer) * scale)
                except ValueError:
                    raise TestError(f"{query} answers {answer!r}") from None
    finally:
        tester.write("PROC:CONN:REL")

    passed = True
    print(f"{'Measurement':<18}{'Value':>9} {'Unit':<5}{'Limits':<18}Verdict")
    for name, _, _, unit, low, high in MEASUREMENTS:
        value = round(statistics.fmean(values[name]), 1)
        ok = low <= value < high
        passed = passed and ok
        print(f"{name:<18}{value:>9.1f} {unit:<5}{f'{low:g} to {high:g}':<18}"
              f"{'PASS' if ok else 'FAIL'}")
    return passed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--resource", default="TCPIP::127.0.0.1::5025::SOCKET")
    parser.add_argument("--bursts", type=int, default=5)
    args = parser.parse_args()

    rm = pyvisa.ResourceManager("@py")
    try:
        tester = rm.open_resource(args.resource, read_termination="\n",
                                  write_termination="\n", timeout=15000)
        passed = run(tester, args.bursts)
        tester.close()
    except (TestError, pyvisa.errors.VisaIOError, OSError) as error:
        print(f"Overall: ERROR ({error})")
        return 2
    print("Overall:", "PASS" if passed else "FAIL")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
