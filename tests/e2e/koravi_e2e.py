"""Harness of the end-to-end tests: the real programs under Wine.

One session per test process: a headless X server, our own Wine prefix
under the build folder with one persistent wineserver, the stand-in services
and the browser stand-in registered in it. Tests lay out installation trees
in fresh folders, map a drive letter to them, run the programs, drive their
windows through driver.exe and read what the stand-ins recorded.

Environment (set by ctest; defaults suit a build in build/e2e64):
  KORAVI_E2E_BUILD   the CMake build folder
  KORAVI_E2E_BIN     folder of driver.exe, probe.exe and the stand-ins
  KORAVI_HOSTSETUP   hostsetup.exe to test
  KORAVI_PATHSETUP   pathsetup.exe to test
  KORAVI_E2E_KEEP=1  keep the session's X server and wineserver running
  KORAVI_E2E_DISPLAY use this X display instead of starting Xvfb
"""

import atexit
import json
import os
import shutil
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]

# Folder inside the prefix's drive C: for the stand-ins that are not part of
# an installation tree (services, browser).
PREFIX_TOOLS = r"C:\koravi-e2e"
SERVICES = ("Nesto_Server", "MySQL_OA")


def _env_path(name, default):
    value = os.environ.get(name)
    return Path(value) if value else Path(default)


class Config:
    def __init__(self):
        self.build = _env_path("KORAVI_E2E_BUILD", REPO / "build" / "e2e64").resolve()
        self.bin = _env_path("KORAVI_E2E_BIN", self.build / "tests" / "e2e" / "bin").resolve()
        self.hostsetup = _env_path("KORAVI_HOSTSETUP", self.build / "hostsetup" / "hostsetup.exe")
        self.pathsetup = _env_path("KORAVI_PATHSETUP", self.build / "pathsetup" / "pathsetup.exe")
        self.work = self.build / "e2e"            # prefix, trees, results, logs
        self.shots = self.build / "e2e-shots"


def win_path(unix_path):
    """The Windows form of a Unix path through drive Z: (the whole file system)."""
    return "Z:" + str(Path(unix_path).resolve()).replace("/", "\\")


def gbk_arg(text):
    """A text argument for driver.exe, independent of any locale."""
    return "hex:" + text.encode("gbk").hex()


class Program:
    """One Windows process started by the harness (the Unix process is it)."""

    def __init__(self, popen, name):
        self.popen = popen
        self.name = name

    @property
    def alive(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        """Exit code; raises AssertionError when still running after timeout s."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still runs after {timeout} s") from None

    def kill(self):
        if self.alive:
            self.popen.kill()
            try:
                self.popen.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass


class Session:
    def __init__(self, config=None):
        self.cfg = config or Config()
        self.env = None
        self.xvfb = None
        self.display = None
        self.started = False
        self._results = 0

    # ------------------------------------------------------------ life cycle

    def start(self):
        cfg = self.cfg
        for f in ("driver.exe", "probe.exe", "apache.exe", "mysqld-nt.exe", "browser.exe",
                  "service.exe"):
            if not (cfg.bin / f).is_file():
                raise RuntimeError(f"{cfg.bin / f} is missing: build the target e2e_tools")
        for d in (cfg.work, cfg.shots, cfg.work / "results", cfg.work / "logs"):
            d.mkdir(parents=True, exist_ok=True)
        self.env = self._wine_env()
        self._start_xvfb()
        self.env["DISPLAY"] = self.display
        # A server left over by an earlier run of this prefix would keep its
        # old display: stop it, then keep one running for the whole session.
        subprocess.run([self.env["WINESERVER"], "-k"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Nothing of Wine may hold our standard output: a test runner that
        # reads it would wait for ever.
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([self.env["WINESERVER"], "-w"], env=self.env, timeout=60, **quiet)
        subprocess.run([self.env["WINESERVER"], "-p"], env=self.env, check=True, timeout=30,
                       **quiet)
        self.started = True
        self._install_prefix_standins()

    def stop(self):
        if os.environ.get("KORAVI_E2E_KEEP") == "1":
            return
        if self.started:
            # Ends every process of our prefix, and only those.
            try:
                subprocess.run([self.env["WINESERVER"], "-k"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run([self.env["WINESERVER"], "-w"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
            self.started = False
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
            self.xvfb = None

    def _wine_env(self):
        """Our prefix through scripts/wine-env (made once per build folder)."""
        env = dict(os.environ)
        env["KORAVI_BUILD"] = str(self.cfg.work)
        script = (f'source "{REPO}/scripts/wine-env" && koravi_wine_setup </dev/null >/dev/null '
                  f'2>&1 && env -0')
        out = subprocess.run(["bash", "-c", script], env=env, stdout=subprocess.PIPE,
                             stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                             timeout=300).stdout
        result = {}
        for item in out.split(b"\0"):
            if b"=" in item:
                k, v = item.split(b"=", 1)
                result[k.decode()] = v.decode(errors="surrogateescape")
        result.pop("KORAVI_RECORD", None)
        return result

    def _start_xvfb(self):
        if os.environ.get("KORAVI_E2E_DISPLAY"):
            self.display = os.environ["KORAVI_E2E_DISPLAY"]
            return
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 20
        with os.fdopen(read_fd, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    @property
    def prefix(self):
        return Path(self.env["WINEPREFIX"])

    def prefix_unix(self, windows_path):
        """Unix path of a path on the prefix's drive C:."""
        assert windows_path[:3].upper() == "C:\\"
        return self.prefix / "drive_c" / windows_path[3:].replace("\\", "/")

    def _install_prefix_standins(self):
        """Services and browser stand-ins, in the prefix for this session."""
        tools = self.prefix_unix(PREFIX_TOOLS)
        tools.mkdir(parents=True, exist_ok=True)
        for f in ("service.exe", "browser.exe"):
            shutil.copy2(self.cfg.bin / f, tools / f)
        reg = ('REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]\r\n'
               f'@="\\"{PREFIX_TOOLS}\\\\browser.exe\\" \\"%1\\""\r\n'
               .replace(PREFIX_TOOLS, PREFIX_TOOLS.replace("\\", "\\\\")))
        (tools / "browser.reg").write_bytes(reg.encode("ascii"))
        lines = ["@echo off", f"regedit /S {PREFIX_TOOLS}\\browser.reg"]
        for name in SERVICES:
            lines.append(f"sc delete {name} >nul 2>nul")
            lines.append(f'sc create {name} binpath= "{PREFIX_TOOLS}\\service.exe '
                         f'{PREFIX_TOOLS}\\services.log" >nul 2>nul')
        (tools / "setup.bat").write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))
        code = self.run_windows(["cmd", "/c", f"{PREFIX_TOOLS}\\setup.bat"], timeout=120)
        if code != 0:
            raise RuntimeError(f"registering the stand-ins failed ({code})")

    # ------------------------------------------------------------ processes

    def spawn(self, exe, args=(), cwd=None, env=None, name=None):
        """Start a Windows program (Windows or Unix path) without waiting."""
        full_env = dict(self.env)
        full_env.update(env or {})
        name = name or Path(str(exe).replace("\\", "/")).name
        log = open(self.cfg.work / "logs" / f"{name}.log", "ab")
        try:
            popen = subprocess.Popen([self.env["WINE64"], str(exe), *map(str, args)],
                                     cwd=str(cwd) if cwd else None, env=full_env,
                                     stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        finally:
            log.close()
        return Program(popen, name)

    def run_windows(self, argv, timeout=60, env=None, cwd=None):
        """Run a Windows program to its end; kill it on timeout."""
        program = self.spawn(argv[0], argv[1:], cwd=cwd, env=env)
        try:
            return program.wait(timeout)
        finally:
            program.kill()

    # ------------------------------------------------------------ driver

    def driver(self, command, check=True, **options):
        """Run one driver.exe command; returns its result as a dict.

        Options are passed as --name value (underscores become dashes).
        caption, text and font_face are passed as GBK hex.
        """
        self._results += 1
        result_file = self.cfg.work / "results" / f"r{os.getpid()}_{self._results}.json"
        if result_file.exists():
            result_file.unlink()
        args = [win_path(result_file), command]
        for key, value in options.items():
            if value is None:
                continue
            if key in ("caption", "text", "font_face"):
                value = gbk_arg(value)
            elif isinstance(value, bool):
                value = int(value)
            args += ["--" + key.replace("_", "-"), str(value)]
        waits = sum(options.get(k) or 0 for k in ("for", "wait_gone")) + options.get("timeout", 5000)
        program = self.spawn(self.cfg.bin / "driver.exe", args, name="driver")
        try:
            program.wait(waits / 1000 + 30)
        finally:
            program.kill()
        if not result_file.exists():
            raise AssertionError(f"driver {command} wrote no result")
        result = json.loads(result_file.read_text(encoding="utf-8"))
        result_file.unlink()
        if check and not result.get("ok"):
            raise AssertionError(f"driver {command} {options}: {result.get('error')}")
        return result

    # ------------------------------------------------------------ screen

    def screenshot(self, name, rect=None):
        """Save the screen, or the rectangle [l, t, r, b] of it, as PNG."""
        out = self.cfg.shots / f"{name}.png"
        cmd = ["import", "-display", self.display, "-window", "root"]
        if rect is not None:
            l, t, r, b = rect
            cmd += ["-crop", f"{r - l}x{b - t}+{l}+{t}", "+repage"]
        subprocess.run(cmd + [str(out)], check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return out

    def pixels(self, rect):
        """RGB bytes of the screen rectangle [l, t, r, b], row by row."""
        l, t, r, b = rect
        grab = subprocess.run(
            ["import", "-display", self.display, "-window", "root", "-crop",
             f"{r - l}x{b - t}+{l}+{t}", "+repage", "-depth", "8", "rgb:-"],
            check=True, timeout=60, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return grab.stdout

    def exclamation_icon_pixels(self):
        """The screen pixels of the exclamation icon in a message box, taken
        once per session from probe.exe's box: the reference to compare a
        program's message box icon with."""
        if getattr(self, "_exclamation", None) is None:
            probe = self.spawn(self.cfg.bin / "probe.exe", ["box"], name="probe")
            try:
                box = self.driver("msgbox", caption="probe", exe="probe.exe", timeout=10000)["box"]
                time.sleep(0.2)  # let it paint
                self._exclamation = self.pixels(box["icon_screen"])
                self.driver("msgbox", hwnd=box["hwnd"], press=1)
                probe.wait(10)
            finally:
                probe.kill()
        return self._exclamation

    # ------------------------------------------------------------ drives

    def map_drive(self, letter, folder):
        """Point drive `letter`: at a Unix folder."""
        link = self.prefix / "dosdevices" / f"{letter.lower()}:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(Path(folder).resolve())

    def services_log(self):
        return self.prefix_unix(PREFIX_TOOLS + r"\services.log")


_session = None


def session():
    """The session of this test process, started on first use and stopped
    when the process ends (also when a test runner terminates it)."""
    global _session
    if _session is None:
        _session = Session()
        atexit.register(_session.stop)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        _session.start()
    return _session


def wait_until(probe, timeout, what):
    """Poll probe() every 50 ms until it returns something true; returns it.
    Raises AssertionError after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


def read_records(path):
    """Records of the stand-ins: lists of tab-separated fields (GBK text)."""
    path = Path(path)
    if not path.exists():
        return []
    lines = path.read_bytes().decode("gbk").split("\r\n")
    return [line.split("\t") for line in lines if line]


class Tree:
    """An installation tree in a fresh folder, reached through a drive letter.

    The root is <drive>:\\<root_name>; the folder holds the root and the
    stand-ins' log (<drive>:\\record.log).
    """

    def __init__(self, sess, name, root_name="office", drive="E"):
        self.sess = sess
        self.folder = sess.cfg.work / "trees" / name
        if self.folder.exists():
            shutil.rmtree(self.folder)
        self.folder.mkdir(parents=True)
        self.root = self.folder / root_name
        self.root.mkdir()
        self.drive = drive.upper()
        self.win_root = f"{self.drive}:\\{root_name}"
        sess.map_drive(drive, self.folder)
        self.record = self.folder / "record.log"

    def path(self, rel):
        return self.root / rel.replace("\\", "/")

    def win(self, rel):
        return self.win_root + "\\" + rel.replace("/", "\\")

    def write(self, rel, content):
        """Write a file below the root; str content is stored in GBK."""
        p = self.path(rel)
        p.parent.mkdir(parents=True, exist_ok=True)
        p.write_bytes(content.encode("gbk") if isinstance(content, str) else content)
        return p

    def read(self, rel):
        return self.path(rel).read_bytes()

    def add_program(self, exe, folder="tools", name=None):
        """Copy a program into a folder below the root; returns its Windows path."""
        name = name or Path(exe).name
        target = self.path(f"{folder}/{name}")
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(exe, target)
        return self.win(f"{folder}\\{name}")

    def add_standins(self, apache=True, mysqld=True):
        if apache:
            self.add_program(self.sess.cfg.bin / "apache.exe", "bin")
        if mysqld:
            self.add_program(self.sess.cfg.bin / "mysqld-nt.exe", "mysql/bin")

    @property
    def env(self):
        """Environment of the programs of this tree: where stand-ins record."""
        return {"KORAVI_RECORD": f"{self.drive}:\\record.log"}

    def run(self, win_exe, args=()):
        """Start a program of this tree, from its own folder, as a double-click does."""
        rel = win_exe[len(self.win_root) + 1:]
        return self.sess.spawn(win_exe, args, cwd=self.path(rel).parent, env=self.env)

    def records(self):
        return read_records(self.record)


# Window and control styles the tests look at.
WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_BORDER = 0x80000000, 0x10000000, 0x00C00000, 0x00800000
WS_SYSMENU, WS_VSCROLL, WS_HSCROLL = 0x00080000, 0x00200000, 0x00100000
WS_GROUP, WS_TABSTOP, DS_MODALFRAME = 0x00020000, 0x00010000, 0x80
WS_EX_TOPMOST, WS_EX_APPWINDOW = 0x8, 0x40000
WS_EX_CLIENTEDGE, WS_EX_STATICEDGE = 0x200, 0x20000
SC_CLOSE = 0xF060

# Control kinds: class and the type bits of the style.
KINDS = {
    "ltext": ("Static", 0x1F, 0x0),      # SS_LEFT
    "ctext": ("Static", 0x1F, 0x1),      # SS_CENTER
    "icon": ("Static", 0x1F, 0x3),       # SS_ICON
    "push": ("Button", 0xF, 0x0),        # BS_PUSHBUTTON
    "defpush": ("Button", 0xF, 0x1),     # BS_DEFPUSHBUTTON
    "group": ("Button", 0xF, 0x7),       # BS_GROUPBOX
    "edit": ("Edit", 0, 0),
    "progress": ("msctls_progress32", 0, 0),
}
# Flags that a control of each class can carry, with their style bits.
# "border" is special: a border shows as WS_BORDER or as a client or
# static edge.
_COMMON_FLAGS = {"group": WS_GROUP, "tab": WS_TABSTOP}
FLAGS = {
    "Static": dict(_COMMON_FLAGS, noprefix=0x80, border=None),
    "Button": dict(_COMMON_FLAGS),
    "Edit": dict(_COMMON_FLAGS, border=None, autoh=0x80, autov=0x40, number=0x2000,
                 multiline=0x4, readonly=0x800, wantreturn=0x1000, vscroll=WS_VSCROLL,
                 hscroll=WS_HSCROLL),
    "msctls_progress32": dict(_COMMON_FLAGS),
}
ANY_TEXT = object()   # a control text that must merely not be empty


def control_flags(control):
    """The flags of FLAGS that a dumped control carries."""
    have = set()
    for name, bit in FLAGS[control["class"]].items():
        if bit is None:
            on = bool(control["style"] & WS_BORDER or
                      control["exstyle"] & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))
        else:
            on = bool(control["style"] & bit)
        if on:
            have.add(name)
    return have


class E2ETestCase(unittest.TestCase):
    """Base of the test classes: a session, cleanup of started programs,
    screenshots named after the test."""

    @classmethod
    def setUpClass(cls):
        cls.s = session()

    def setUp(self):
        self.programs = []
        self.addCleanup(self._kill_programs)
        log = self.s.services_log()
        if log.exists():
            log.unlink()

    def _kill_programs(self):
        for p in self.programs:
            p.kill()

    def start(self, tree, win_exe):
        program = tree.run(win_exe)
        self.programs.append(program)
        return program

    def shot(self, what, window):
        """Screenshot of a window (a driver description) as <test>_<what>.png."""
        name = self.id().split(".")[-1]
        if name.startswith("test_"):
            name = name[5:]
        time.sleep(0.2)  # let the window paint
        return self.s.screenshot(f"{name}_{what}", window["rect"])

    def assertCentred(self, rect, around, what):
        """The centre of rect lies at the centre of around (within 1 pixel)."""
        dx = (rect[0] + rect[2]) / 2 - (around[0] + around[2]) / 2
        dy = (rect[1] + rect[3]) / 2 - (around[1] + around[3]) / 2
        self.assertTrue(abs(dx) <= 1 and abs(dy) <= 1,
                        f"{what}: {rect} is not centred in {around} (off by {dx}, {dy})")

    def assertDialog(self, dump, caption, size, controls, exact_flags):
        """A dumped dialog against its template: caption, client size in
        dialog units, and its controls in template order. Each control is
        (kind, id or None, text or None or ANY_TEXT, (x, y, cx, cy) with None
        for "not compared", flags). With exact_flags the control carries
        exactly the listed flags of those its class can have; otherwise at
        least them."""
        win = dump["window"]
        self.assertEqual(win["caption_gbk"], caption.encode("gbk").hex(),
                         f"caption {win['caption']!r}")
        self.assertEqual(win["client_dlu"], list(size), "client size in dialog units")
        got = win["controls"]
        self.assertEqual(len(got), len(controls),
                         f"controls of {caption}: {[(c['class'], c['text']) for c in got]}")
        for n, (c, want) in enumerate(zip(got, controls)):
            kind, cid, text, rect, flags = want
            where = f"{caption}: control {n} ({kind} {c['text']!r})"
            cls, mask, bits = KINDS[kind]
            self.assertEqual(c["class"].lower(), cls.lower(), where)
            if mask:
                self.assertEqual(c["style"] & mask, bits, f"{where}: style {c['style']:#x}")
            if kind == "icon":
                self.assertTrue(c.get("icon"), f"{where}: shows no icon")
            if cid is not None:
                self.assertEqual(c["id"], cid, where)
            if text is ANY_TEXT:
                self.assertTrue(c["text"], f"{where}: empty")
            elif text is not None:
                self.assertEqual(c["text_gbk"], text.encode("gbk").hex(),
                                 f"{where}: text {c['text']!r} != {text!r}")
            for axis, (w, g) in enumerate(zip(rect, c["dlu"])):
                if w is not None:
                    self.assertEqual(g, w, f"{where}: dialog units {c['dlu']} != {list(rect)}"
                                           f" (pixels {c['px']})")
            have = control_flags(c)
            if exact_flags:
                self.assertEqual(have, set(flags), f"{where}: style {c['style']:#x}")
            else:
                self.assertLessEqual(set(flags), have, f"{where}: style {c['style']:#x}")
