#!/usr/bin/python3
"""The desktop program through the desktop's accessibility bus, as a screen reader sees it.

Starts its own X server (Xvfb), a private session bus and the AT-SPI bus launcher (which
starts the accessibility bus, whose registry starts on demand), runs `orvanrx --demo` on them
with its settings and data in a temporary folder, and through pyatspi:
  - waits for the race log grid inside the main window's child-window area;
  - finds menu items by their captions and activates them: View > Filter... opens the filter
    window, View > Time Slip... the time slip and File > Close closes it again;
  - reads a race row of the race log grid (a lane, a car and times), checks the hidden columns
    are not exposed and a group header row is one cell holding its group text;
  - fails when any visible control (race log, filter, time slip open) has no name, listing them,
    and when the two colours captioned "Green" are not told apart in the menu.
Everything it started is stopped at the end, and the whole run is bounded by a time limit.
Exit 0 passed, 1 failed, 77 skipped (a tool is missing).

Usage: atspi_end_to_end.py ORVANRX_PROGRAM [TIME_LIMIT_SECONDS]
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# Roles that hold or arrange other controls, or are their own text: they need no name.
CONTAINER_ROLES = {
    "filler", "panel", "scroll pane", "viewport", "split pane", "layered pane", "separator",
    "scroll bar", "frame", "window", "desktop frame", "internal frame", "application",
    "redundant object", "section", "label", "static", "unknown", "page tab list",
    "table cell", "table row", "tree item", "list item", "column header", "row header",
    "table column header", "table row header", "grouping", "image",
}
# Their children are cells, which may be empty: not walked.
CELL_HOLDERS = {"table", "tree table", "tree", "list", "tree item", "table row"}
MENU_ROLES = {"menu item", "check menu item", "radio menu item", "menu"}
GRID_ROLES = {"tree table", "table", "tree"}


class TimeLimit(Exception):
    pass


def Skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIP)


def Stop(process):
    """Ends `process` and, when it leads its own process group, everything in that group."""
    if process is None:
        return
    leads_group = False
    try:
        leads_group = os.getpgid(process.pid) == process.pid
    except ProcessLookupError:
        pass
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    if leads_group:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def StartXvfb(env):
    """Xvfb on the first free display, which it reports through a pipe."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, env=env, start_new_session=True)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as reader:
        number = reader.readline().decode().strip()
    if not number:
        Stop(xvfb)
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


def StartSessionBus(env, log):
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=log, stdin=subprocess.DEVNULL,
                           env=env, start_new_session=True)
    address = bus.stdout.readline().decode().strip()
    if not address:
        Stop(bus)
        raise RuntimeError("dbus-daemon did not start")
    return bus, address


def Wait(what, check, seconds):
    end = time.monotonic() + seconds
    while True:
        found = check()
        if found:
            return found
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


def Children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a node that went away meanwhile
        return []


def Role(node):
    try:
        return node.getRoleName() or "?"
    except Exception:
        return "?"


def Name(node):
    try:
        return node.name or ""
    except Exception:
        return ""


class Bus:
    """The program's tree on the accessibility bus."""

    def __init__(self, pyatspi, app):
        self.pyatspi = pyatspi
        self.app = app

    def Showing(self, node):
        try:
            return node.getState().contains(self.pyatspi.STATE_SHOWING)
        except Exception:
            return False

    def Walk(self, node=None, path=""):
        """Yields (node, path) for every showing node below `node`; cells are left out."""
        for child in Children(self.app if node is None else node):
            if child is None or not self.Showing(child):
                continue
            here = path + "/" + Role(child)
            yield child, here
            if Role(child) not in CELL_HOLDERS:
                yield from self.Walk(child, here)

    def Find(self, roles, name):
        return next((n for n, _ in self.Walk() if Role(n) in roles and Name(n) == name), None)

    def Unnamed(self):
        return ["%s (%s)" % (path, Role(node)) for node, path in self.Walk()
                if Role(node) not in CONTAINER_ROLES and not Name(node).strip()]

    def MenuItem(self, caption):
        """A menu item by caption anywhere in the menus (their items exist while closed)."""
        stack = [(self.app, 0)]
        while stack:
            node, depth = stack.pop()
            for child in Children(node):
                role = Role(child)
                if role in MENU_ROLES and Name(child).replace("&", "") == caption:
                    return child
                if role not in CELL_HOLDERS and depth < 12:
                    stack.append((child, depth + 1))
        return None

    def Activate(self, caption):
        item = self.MenuItem(caption)
        assert item is not None, "no menu item %r" % caption
        action = item.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        for wanted in ("press", "click", "activate", "trigger"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        action.doAction(0)


def ColumnNames(table):
    names = []
    for column in range(table.nColumns):
        header = table.getColumnHeader(column)
        names.append(Name(header) if header is not None else table.getColumnDescription(column))
    return names


def RaceRow(table, columns):
    """The first row of the grid with a lane, a car number and a time, as {column: text}."""
    for row in range(min(table.nRows, 8)):
        cells = {}
        for column in range(table.nColumns):
            cell = table.getAccessibleAt(row, column)
            cells[columns[column] if column < len(columns) else str(column)] = Name(cell)
        if cells.get("Lane") in ("L", "R") and cells.get("Car #", "").strip():
            return row, cells
    return None


def Check(bus, began):
    """The checks, on the running program; returns the failures."""
    failures = []
    frame = Wait("the main window", lambda: next(
        (n for n, _ in bus.Walk() if Role(n) == "frame"), None), 20)
    print("main window %r after %.1f s" % (Name(frame), time.monotonic() - began))
    race_log = Wait("the race log grid in the child-window area",
                    lambda: bus.Find(GRID_ROLES, "Race Log"), 20)

    bus.Activate("Filter...")
    Wait("the filter window's grid", lambda: bus.Find(GRID_ROLES, "Race Log Filter"), 15)
    print("View > Filter... opened the filter window")
    bus.Activate("Time Slip...")
    Wait("the time slip", lambda: bus.Find({"text"}, "Time Slip"), 15)
    print("View > Time Slip... opened the time slip")

    nodes = sum(1 for _ in bus.Walk())
    unnamed = bus.Unnamed()
    print("visible controls and containers: %d, without a name: %d" % (nodes, len(unnamed)))
    for path in unnamed:
        print("  unnamed: " + path)
    if unnamed:
        failures.append("%d visible controls have no name" % len(unnamed))

    # The two colours captioned "Green" are told apart in Tools > Background Color.
    if bus.MenuItem("Bright Green") is None or bus.MenuItem("Green") is None:
        failures.append("the menu items Green and Bright Green are not told apart")

    bus.Activate("Close")
    Wait("the time slip to close", lambda: bus.Find({"text"}, "Time Slip") is None, 15)
    print("File > Close closed it")

    table = race_log.queryTable()
    columns = ColumnNames(table)
    print("race log columns: " + ", ".join(columns))
    for hidden in ("GeneralID", "DateTime", "Category"):
        if hidden in columns:
            failures.append("the hidden column %s is exposed" % hidden)
    row, cells = Wait("a race in the race log", lambda: RaceRow(table, columns), 40)
    print("race log row %d: %s" % (row, " | ".join("%s=%s" % kv for kv in cells.items())))
    # The race's category heads its rows once, as one cell across the row.
    group = table.getAccessibleAt(0, 0)
    if table.getAccessibleAt(0, len(columns) - 1) != group or not Name(group).strip():
        failures.append("the group header row is not one cell with its group text")
    else:
        print("group header row: %r" % Name(group))
    return failures


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__)
        return 2
    program = sys.argv[1]
    limit = int(sys.argv[2]) if len(sys.argv) == 3 else 90
    for tool, package in (("Xvfb", "xvfb"), ("dbus-daemon", "dbus")):
        if shutil.which(tool) is None:
            Skip("%s is not installed (Debian: %s)" % (tool, package))
    if not os.path.exists(LAUNCHER):
        Skip("at-spi-bus-launcher is not installed (Debian: at-spi2-core)")

    def OutOfTime(*_):
        raise TimeLimit("the test took longer than %d s" % limit)

    signal.signal(signal.SIGALRM, OutOfTime)
    signal.alarm(limit)
    started = []
    home = tempfile.mkdtemp(prefix="orvanrx-atspi-")
    log_path = os.path.join(home, "services.log")
    program_log_path = os.path.join(home, "orvanrx.log")
    try:
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI", "DISPLAY", "WAYLAND", "XDG_", "QT_"))}
        runtime = os.path.join(home, "run")
        os.makedirs(runtime, mode=0o700)
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CACHE_HOME=os.path.join(home, "cache"), NO_AT_BRIDGE="0")
        log = open(log_path, "wb")
        xvfb, env["DISPLAY"] = StartXvfb(env)
        started.append(xvfb)
        bus_daemon, env["DBUS_SESSION_BUS_ADDRESS"] = StartSessionBus(env, log)
        started.append(bus_daemon)
        # In its own process group, with the accessibility bus and the registry it starts.
        started.append(subprocess.Popen([LAUNCHER, "--launch-immediately"], env=env,
                                        stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                        start_new_session=True))
        # pyatspi finds the buses through the environment when it is first imported.
        os.environ.clear()
        os.environ.update(env)
        try:
            import pyatspi
        except ImportError:
            Skip("python3-pyatspi is not installed")
        Wait("the accessibility registry",
             lambda: pyatspi.Registry.getDesktop(0) is not None, 10)

        began = time.monotonic()
        program_env = dict(env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        program_log = open(program_log_path, "wb")
        started.append(subprocess.Popen([program, "--demo"], env=program_env,
                                        stdin=subprocess.DEVNULL, stdout=program_log,
                                        stderr=program_log, start_new_session=True))

        def App():
            return next((c for c in Children(pyatspi.Registry.getDesktop(0))
                         if Name(c) in ("orvanrx", "OrvanRX")), None)

        bus = Bus(pyatspi, Wait("orvanrx on the accessibility bus", App, 30))
        failures = Check(bus, began)
        print("checks took %.1f s" % (time.monotonic() - began))
        for failure in failures:
            print("FAIL: " + failure)
        return 1 if failures else 0
    except (Exception, TimeLimit):
        for path in (program_log_path, log_path):
            if os.path.exists(path):
                with open(path, "rb") as log_file:
                    sys.stdout.write(log_file.read()[-3000:].decode(errors="replace"))
        raise
    finally:
        signal.alarm(0)
        for process in reversed(started):
            Stop(process)
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
