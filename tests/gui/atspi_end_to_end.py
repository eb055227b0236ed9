#!/usr/bin/python3
"""The desktop program through the desktop's accessibility bus, as a screen reader sees it.

Starts its own X server (Xvfb), a private session bus and the AT-SPI bus launcher (which
starts the accessibility bus and its registry), runs `orvanrx --demo` on them with its
settings and data in a temporary folder, and through pyatspi:
  - counts the visible controls without a name and fails on any (they are listed);
  - finds menu items by their captions and activates them (View > Time Slip..., and File >
    Close to close it again);
  - reads a row of the race log grid once a race has come in.
Everything it started is stopped at the end. Exit 77 (skipped) when a tool is missing.

Not yet in CTest: over the bridge the MDI area (layered pane) shows no child windows, so the
race log grid is not reached yet; the names and the menu items already are.

Usage: atspi_end_to_end.py ORVANRX_PROGRAM
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
CONTAINER_ROLES = {
    "filler", "panel", "scroll pane", "viewport", "split pane", "layered pane", "separator",
    "scroll bar", "frame", "window", "desktop frame", "internal frame", "application",
    "redundant object", "section", "label", "static", "unknown", "page tab list",
    "table cell", "table row", "tree item", "list item", "column header", "row header",
    "table column header", "table row header", "grouping", "image",
}
CELL_HOLDERS = {"table", "tree table", "tree", "list", "tree item", "table row"}


def Skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIP)


def Start(args, env, **kwargs):
    return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, **kwargs)


def Stop(process):
    """Ends `process` and, when it leads its own process group, what it started."""
    if process is None:
        return
    group = None
    try:
        if os.getpgid(process.pid) == process.pid:
            group = process.pid
    except ProcessLookupError:
        pass
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    if group is not None:
        # Newest first, so each parent is still there to collect its child.
        for member in sorted(GroupMembers(group), reverse=True):
            try:
                os.kill(member, signal.SIGTERM)
            except ProcessLookupError:
                pass
            time.sleep(0.1)


def GroupMembers(group):
    members = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == group and fields[0] != "Z":
            members.append(int(entry))
    return members


def StartXvfb(env):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, env=env)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as reader:
        while not number.endswith(b"\n"):
            chunk = reader.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        Stop(xvfb)
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


def StartSessionBus(env):
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, env=env,
                           start_new_session=True)
    address = bus.stdout.readline().decode().strip()
    if not address:
        Stop(bus)
        raise RuntimeError("dbus-daemon did not start")
    return bus, address


def Wait(what, check, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = check()
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


def Children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a node that went away meanwhile
        return []


def Showing(node, pyatspi):
    try:
        return node.getState().contains(pyatspi.STATE_VISIBLE)
    except Exception:
        return False


def Walk(node, pyatspi, path=""):
    """Yields (node, path) for every showing node below `node`, cells left out."""
    for child in Children(node):
        if child is None or not Showing(child, pyatspi):
            continue
        here = path + "/" + (child.getRoleName() or "?")
        yield child, here
        if child.getRoleName() not in CELL_HOLDERS:
            yield from Walk(child, pyatspi, here)


def Unnamed(app, pyatspi):
    out = []
    for node, path in Walk(app, pyatspi):
        role = node.getRoleName()
        if role in CONTAINER_ROLES:
            continue
        if not (node.name or "").strip():
            out.append(path)
    return out


def Find(app, pyatspi, role, name):
    for node, _ in Walk(app, pyatspi):
        if node.getRoleName() == role and node.name == name:
            return node
    return None


def FindMenuItem(app, pyatspi, caption):
    """A menu item by caption anywhere in the menus (their items exist while hidden)."""
    stack = [(app, 0)]
    while stack:
        node, depth = stack.pop()
        for child in Children(node):
            if child is None:
                continue
            role = child.getRoleName()
            if role in ("menu item", "check menu item", "menu") and \
                    (child.name or "").replace("&", "") == caption:
                return child
            if role not in CELL_HOLDERS and depth < 12:
                stack.append((child, depth + 1))
    return None


def Activate(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "click", "activate", "Press", "Click"):
            action.doAction(i)
            return
    action.doAction(0)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = sys.argv[1]
    for tool in ("Xvfb", "dbus-daemon"):
        if shutil.which(tool) is None:
            Skip(tool + " is not installed (Debian: xvfb, dbus)")
    launcher = "/usr/libexec/at-spi-bus-launcher"
    if not os.path.exists(launcher):
        Skip("at-spi-bus-launcher is not installed (Debian: at-spi2-core)")
    started = []
    home = tempfile.mkdtemp(prefix="orvanrx-atspi-")
    try:
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI", "DISPLAY", "WAYLAND", "XDG_", "QT_"))}
        runtime = os.path.join(home, "run")
        os.makedirs(runtime, mode=0o700)
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CACHE_HOME=os.path.join(home, "cache"), NO_AT_BRIDGE="0")
        xvfb, display = StartXvfb(env)
        started.append(xvfb)
        env["DISPLAY"] = display
        bus, address = StartSessionBus(env)
        started.append(bus)
        env["DBUS_SESSION_BUS_ADDRESS"] = address
        # In its own process group: the accessibility bus and the registry it starts are
        # stopped with it.
        bus_launcher = Start([launcher, "--launch-immediately"], env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True)
        started.append(bus_launcher)
        os.environ.update(env)
        for key in list(os.environ):
            if key not in env:
                del os.environ[key]
        try:
            import pyatspi  # noqa: the bus addresses must be in place first
        except ImportError:
            Skip("python3-pyatspi is not installed")

        desktop = pyatspi.Registry.getDesktop(0)
        Wait("the accessibility registry", lambda: desktop.childCount >= 0, 10)
        app_env = dict(env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        began = time.monotonic()
        log = open(os.path.join(home, "orvanrx.log"), "wb")
        orvanrx = Start([program, "--demo"], app_env, stdout=log, stderr=log)
        started.append(orvanrx)

        def App():
            for child in Children(pyatspi.Registry.getDesktop(0)):
                if child is not None and child.name in ("orvanrx", "OrvanRX"):
                    return child
            return None

        app = Wait("orvanrx on the accessibility bus", App, 20)
        frame = Wait("the main window", lambda: Find(app, pyatspi, "frame", "OrvanRX") or
                     next((n for n, _ in Walk(app, pyatspi) if n.getRoleName() == "frame"),
                          None), 10)
        print("main window: %r after %.1f s" % (frame.name, time.monotonic() - began))

        print("visible nodes: %d" % sum(1 for _ in Walk(app, pyatspi)))
        unnamed = Unnamed(app, pyatspi)
        print("unnamed visible controls: %d" % len(unnamed))
        for path in unnamed:
            print("  " + path)

        # Menu items by caption: View > Time Slip... opens the time slip, File > Close closes
        # the active child (the time slip).
        time_slip = FindMenuItem(app, pyatspi, "Time Slip...")
        assert time_slip is not None, "no menu item 'Time Slip...'"
        Activate(time_slip)
        Wait("the time slip window",
             lambda: Find(app, pyatspi, "internal frame", "Time Slip") or
             Find(app, pyatspi, "text", "Time Slip"), 10)
        print("View > Time Slip... opened the time slip")
        close = FindMenuItem(app, pyatspi, "Close")
        assert close is not None, "no menu item 'Close'"
        Activate(close)
        Wait("the time slip to close",
             lambda: Find(app, pyatspi, "text", "Time Slip") is None, 10)
        print("File > Close closed it")

        # A row of the race log grid, once the demo's first race is in.
        def Grid():
            for node, _ in Walk(app, pyatspi):
                if node.getRoleName() in ("tree table", "table", "tree") and \
                        node.name == "Race Log":
                    return node
            return None

        try:
            grid = Wait("the race log grid", Grid, 10)
        except AssertionError:
            for node, path in Walk(app, pyatspi):
                print("  %s %r" % (path, node.name))
            raise
        table = grid.queryTable()

        def FirstRaceRow():
            for row in range(min(table.nRows, 6)):
                cells = []
                for column in range(table.nColumns):
                    cell = table.getAccessibleAt(row, column)
                    cells.append((cell.name or "") if cell is not None else "")
                if sum(1 for text in cells if text.strip()) > 3:
                    return row, cells
            return None

        row, cells = Wait("a race in the race log", FirstRaceRow, 40)
        print("race log row %d: %s" % (row, " | ".join(text for text in cells if text)))
        print("whole test: %.1f s" % (time.monotonic() - began))
        if unnamed:
            print("FAIL: visible controls without a name")
            return 1
        return 0
    except Exception:
        log_path = os.path.join(home, "orvanrx.log")
        if os.path.exists(log_path):
            with open(log_path, "rb") as log_file:
                sys.stdout.write(log_file.read()[-4000:].decode(errors="replace"))
        raise
    finally:
        for process in reversed(started):
            Stop(process)
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
