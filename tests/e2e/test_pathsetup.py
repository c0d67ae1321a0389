"""pathsetup end to end: the real program under Wine adapts real installation
trees. It writes my.ini into the prefix's Windows directory, replaces the
default root in bin\\php.ini and conf\\httpd.conf, starts the mysqld-nt.exe
stand-in and the MySQL_OA stand-in service, and shows its progress window;
failures come up in its message box.

Run: python3 tests/e2e/test_pathsetup.py (see koravi_e2e.py for the
environment). Screenshots: <build>/e2e-shots/<test>_<what>.png.
"""

import os
import shutil
import subprocess
import threading
import time
import unittest

from koravi_e2e import (DS_MODALFRAME, WS_CAPTION, WS_POPUP, WS_SYSMENU, E2ETestCase,
                        read_records, win_path)

START_CAPTION = "KoraviOA  系统配置"
PROGRESS_CAPTION = "KoraviOA 系统智能配置"
WORKING_TEXT = "正在进行系统智能配置..."
COMPLETE_TEXT = "系统智能配置完成！"
MISSING_PHP = "遗失php.ini文件。"
MISSING_HTTPD = "遗失httpd.conf文件。"
SETTINGS_FAILED = "无法写入数据库设置文件 {}，请检查Windows目录的写入权限。"
WINDOWS_DIR = r"C:\windows"
PROGRESS_BAR, PROGRESS_TEXT = 1001, 1002

# The package as shipped: {D} stands where the default root is written,
# "C:\VELK" in php.ini and "C:/VELK" in httpd.conf. Every other spelling
# (other case, other slash form, a two-byte character whose second byte is
# "C" followed by ":\VELK") must stay as it is. Every occurrence ends at a
# folder delimiter, so that a second run with any root finds nothing to do.
PHP_INI = (
    "[PHP]\r\n"
    'extension_dir = "{D}\\php\\ext"\r\n'
    'include_path = ".;{D}\\php\\pear;{D}"\r\n'
    "session.save_path = {D}\\tmp\r\n"
    "error_log = c:\\velk\\logs\\php.log\r\n"
    'doc_root = "C:/VELK/htdocs"\r\n'
    "; 中文说明：安装目录 {D}\\中文目录\\\r\n"
    "; 丆:\\VELK is no path\r\n"
    "upload_tmp_dir = '{D}';{D}\t{D}"
)
HTTPD_CONF = (
    'ServerRoot "{D}/Apache"\r\n'
    'DocumentRoot "{D}/htdocs"\r\n'
    '<Directory "{D}/htdocs">\r\n'
    "    Options Indexes\r\n"
    "</Directory>\r\n"
    'Alias /oa/ "{D}/oa/"\r\n'
    'ErrorLog "c:/velk/logs/error.log"\r\n'
    'PHPIniDir "C:\\VELK\\bin"\r\n'
    "# 丆:/VELK is no path; 中文 {D}/中文/\r\n"
    "\r\n#Server and port Configuration\r\n"
    "ServerName srv01\r\n"
    "Listen 8080\r\n"
)
# Glued to a longer folder name: replaced too, once.
PHP_GLUED = 'upload_tmp_dir = "{D}TMP\\upload"\r\n'


def fill(template, default_root):
    return template.replace("{D}", default_root).encode("gbk")


def php_ini(template, root):
    """php.ini with the default root (root None) or the adapted one."""
    return fill(template, "C:\\VELK" if root is None else root)


def httpd_conf(template, root):
    return fill(template, "C:/VELK" if root is None else root.replace("\\", "/"))


def my_ini(root):
    lines = [
        "[mysqld]",
        f"basedir={root}\\mysql\\",
        f"datadir={root}\\data\\",
        f"tmpdir={root}/tmp/",
        "default-character-set=gbk",
        "set-variable=max_connections=1000",
        "",
        "set-variable=key_buffer_size=64M",
        "set-variable=max_allowed_packet=1M",
        "set-variable=table_cache=512",
        "set-variable=sort_buffer_size=2M",
        "set-variable=read_buffer_size=2M",
        "set-variable=read_rnd_buffer_size=8M",
        "set-variable=myisam_sort_buffer_size=32M",
        "set-variable=query_cache_size=32M",
        "set-variable=thread_concurrency=8",
    ]
    return "\r\n".join(lines).encode("gbk")


# Something else in my.ini before a run, longer than what the run writes.
OLD_MY_INI = b"[client]\r\nport=3306\r\n" + b"; old settings\r\n" * 200


def png_pixels(png, rect):
    """RGB bytes of the rectangle [l, t, r, b] of a PNG file."""
    l, t, r, b = rect
    return subprocess.run(["convert", str(png), "-crop", f"{r - l}x{b - t}+{l}+{t}", "+repage",
                           "-depth", "8", "rgb:-"], check=True, timeout=60,
                          stdout=subprocess.PIPE).stdout


def wait_for(condition, timeout, step=0.1):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


class Install:
    """A package below a root: the root is a folder reached as win_root
    (e.g. E:\\apps\\oa through a mapped drive, or C:\\VELK2 on the prefix's
    own drive). The mysqld-nt.exe stand-in records into its own log."""

    def __init__(self, test, name, win_root, unix_root):
        self.test = test
        self.s = test.s
        self.name = name
        self.win_root = win_root
        self.unix_root = unix_root
        self.record = self.s.cfg.work / "trees" / f"path_{name}.record.log"
        self.record.parent.mkdir(parents=True, exist_ok=True)
        # What the program makes of the root: upper-cased.
        self.root = win_root.upper()

    def path(self, rel):
        return self.unix_root.joinpath(*rel.split("/"))

    def write(self, rel, data):
        p = self.path(rel)
        p.parent.mkdir(parents=True, exist_ok=True)
        if p.exists():
            os.chmod(p, 0o644)
        p.write_bytes(data)
        return p

    def read(self, rel):
        return self.path(rel).read_bytes()

    def layout(self, php=PHP_INI, httpd=HTTPD_CONF, exe_name="pathsetup.exe"):
        """The package's files as shipped (a template None leaves the file out)."""
        if php is not None:
            self.write("bin/php.ini", php_ini(php, None))
        if httpd is not None:
            self.write("conf/httpd.conf", httpd_conf(httpd, None))
        target = self.path("mysql/bin/mysqld-nt.exe")
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(self.s.cfg.bin / "mysqld-nt.exe", target)
        return self.add_exe(exe_name)

    def add_exe(self, exe_name):
        target = self.path(f"tools/{exe_name}")
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(self.s.cfg.pathsetup, target)
        return f"{self.win_root}\\tools\\{exe_name}"

    def start(self, win_exe, env=None):
        """Start the program from its own folder, as a double-click does."""
        if self.record.exists():
            self.record.unlink()
        full_env = {"KORAVI_RECORD": win_path(self.record)}
        full_env.update(env or {})
        program = self.s.spawn(win_exe, cwd=self.path("tools"), env=full_env)
        self.test.programs.append(program)
        return program

    def records(self):
        return read_records(self.record)


class PathSetup(E2ETestCase):

    def setUp(self):
        super().setUp()
        self.my_ini_path = self.s.prefix_unix(WINDOWS_DIR + r"\my.ini")
        self._shots = 0

    # ------------------------------------------------------------ layout

    def on_drive(self, name, parts, drive="E"):
        """A root <drive>:\\<parts...> in a fresh folder (no parts: the
        drive's own root)."""
        folder = self.s.cfg.work / "trees" / f"path_{name}"
        if folder.exists():
            subprocess.run(["chattr", "-R", "-i", str(folder)], stderr=subprocess.DEVNULL)
            shutil.rmtree(folder)
        folder.mkdir(parents=True)
        self.s.map_drive(drive, folder)
        unix_root = folder.joinpath(*parts)
        unix_root.mkdir(parents=True, exist_ok=True)
        return Install(self, name, f"{drive}:" + "".join("\\" + p for p in parts), unix_root)

    def on_prefix_c(self, name, parts):
        """A root C:\\<parts...> inside the prefix's drive C:, removed again
        after the test."""
        drive_c = self.s.prefix / "drive_c"
        top = drive_c / parts[0]
        if top.exists():
            shutil.rmtree(top)
        self.addCleanup(shutil.rmtree, top, True)
        unix_root = drive_c.joinpath(*parts)
        unix_root.mkdir(parents=True)
        return Install(self, name, "C:" + "".join("\\" + p for p in parts), unix_root)

    def old_my_ini(self):
        self.my_ini_path.write_bytes(OLD_MY_INI)

    # ------------------------------------------------------------ screen

    def snap(self, what, window):
        """Screenshot of a window (a driver description) as <test>_<what>.png."""
        time.sleep(0.2)  # let it paint
        return self.s.screenshot(f"{self.shot_name()}_{what}", window["rect"])

    def check_box(self, exe_name, message, what, hwnd=None):
        """The application message box with `message` (None: any): captioned
        with the executable's name, OK alone, an icon; closed with OK. When
        `what` names it (a text, or a function of the message giving a text
        or None), it is also photographed, its icon compared with the
        exclamation icon, and its owner seen to be the hidden startup dialog."""
        caption = exe_name.rsplit(".", 1)[0]
        where = dict(hwnd=hwnd) if hwnd else dict(exe=exe_name, caption=caption)
        found = self.s.driver("msgbox", timeout=15000, check=False, **where)
        self.assertTrue(found["ok"], f"no message box ({message!r} expected)")
        box = found["box"]
        if callable(what):
            what = what(box["message"])
        if what:
            self.snap(what, box)
        self.assertEqual(box["caption_gbk"], caption.encode("gbk").hex(),
                         f"caption {box['caption']!r}")
        if message is not None:
            self.assertEqual(box["message_gbk"], message.encode("gbk").hex(),
                             f"message {box['message']!r}")
        self.assertEqual([(b["id"], b["text"]) for b in box["buttons"]], [(1, "确定")])
        self.assertTrue(box["icon"], "shows an icon")
        if what:
            self.assertEqual(self.s.pixels(box["icon_screen"]),
                             self.s.exclamation_icon_pixels(), "the exclamation icon")
            owner = self.s.driver("wait", hwnd=box["owner"])["window"]
            self.assertEqual(owner["caption_gbk"], START_CAPTION.encode("gbk").hex(),
                             "owned by the startup dialog")
            self.assertFalse(owner["visible"], "the startup dialog is hidden")
        self.s.driver("msgbox", hwnd=box["hwnd"], press=1)
        return box

    def first_window(self, exe_name, captions, timeout=20):
        """The first visible window of the program with one of the captions."""
        def look():
            listed = self.s.driver("list", exe=exe_name, visible=1)["windows"]
            return next((w for w in listed if w["caption"] in captions), None)
        return wait_for(look, timeout, 0.05)

    def progress_window(self, exe_name="pathsetup.exe"):
        return self.s.driver("wait", caption=PROGRESS_CAPTION, exe=exe_name, visible=1,
                             timeout=20000)["window"]

    def escape_progress(self, program, exe_name="pathsetup.exe", what=None):
        """Wait for the progress window, then end it early with Escape."""
        window = self.progress_window(exe_name)
        if what:
            self.snap(what, window)
        self.s.driver("key", hwnd=window["hwnd"], key="escape")
        program.wait(10)
        return window

    def services_started(self, count=1):
        """The records of the MySQL_OA stand-in service (waits for count)."""
        def started():
            log = self.s.services_log()
            if not log.exists():
                return None
            lines = [r for r in read_records(log) if r[1:3] == ["started", "MySQL_OA"]]
            return lines if len(lines) >= count else None
        return wait_for(started, 15) or []

    def clear_services_log(self):
        log = self.s.services_log()
        if log.exists():
            log.unlink()

    def assertMysqldInstalled(self, inst):
        """One start of the mysqld-nt.exe stand-in: the root's program with
        " --install MySQL_OA"; returns its record."""
        records = inst.records()
        self.assertEqual(len(records), 1, f"mysqld-nt.exe starts: {records}")
        when, own_path, _cwd, command_line = records[0]
        program = inst.root + "\\mysql\\bin\\mysqld-nt.exe"
        self.assertEqual(own_path.upper(), program.upper())
        # The shell quotes the program and puts one space before the
        # parameters, which begin with their own space.
        self.assertEqual(command_line, f'"{program}"  --install MySQL_OA')
        return int(when)

    def assertEndsWithoutProgress(self, program, inst):
        """After the last message box: the process ends at once, without the
        progress stage and without starting anything."""
        # The progress stage alone would take more than 8 s.
        program.wait(4)
        self.assertEqual(inst.records(), [], "mysqld-nt.exe was started")

    def assertFiles(self, inst, my, php, httpd):
        if my is not None:
            self.assertEqual(self.my_ini_path.read_bytes(), my, "my.ini")
        self.assertEqual(inst.read("bin/php.ini"), php, "php.ini")
        self.assertEqual(inst.read("conf/httpd.conf"), httpd, "httpd.conf")

    # ------------------------------------------------------------ 1, 2, 3

    def test_complete_run_with_lower_case_root(self):
        inst = self.on_drive("lower", ["apps", "oa"])
        inst.layout(php=PHP_INI + PHP_GLUED)
        self.assertEqual(inst.root, r"E:\APPS\OA")
        self.old_my_ini()
        # Started with the path in lower case: that is the case the program
        # sees as its own path.
        program = inst.start(r"e:\apps\oa\tools\pathsetup.exe")
        # The startup dialog shows only until its first timer tick: take it
        # if it can be caught.
        startup = self.s.driver("wait", caption=START_CAPTION, exe="pathsetup.exe", visible=1,
                                timeout=1000, check=False)
        if startup["ok"]:
            # Kept only when it shows more than the empty screen: by the
            # time the picture is taken the window is usually hidden again.
            shot = self.s.screenshot(f"{self.shot_name()}_startup", startup["window"]["rect"])
            rect = startup["window"]["rect"]
            raw = png_pixels(shot, [0, 0, rect[2] - rect[0], rect[3] - rect[1]])
            if len({raw[i:i + 3] for i in range(0, len(raw), 3)}) < 4:
                shot.unlink()

        window = self.progress_window()
        dump = self.s.driver("dump", hwnd=window["hwnd"], font_pt=10)["window"]
        self.assertEqual(dump["caption_gbk"], PROGRESS_CAPTION.encode("gbk").hex())
        self.assertEqual(dump["style"] & (WS_POPUP | WS_CAPTION | DS_MODALFRAME),
                         WS_POPUP | WS_CAPTION | DS_MODALFRAME)
        self.assertFalse(dump["style"] & WS_SYSMENU, "no close box")
        self.assertCentred(dump["rect"], dump["work"], "progress window in the work area")
        # The real work is done before the progress window opens.
        self.assertFiles(inst, my_ini(r"E:\APPS\OA"), php_ini(PHP_INI + PHP_GLUED, r"E:\APPS\OA"),
                         httpd_conf(HTTPD_CONF, r"E:\APPS\OA"))

        samples, texts, gone_at, shots = self.watch_progress(dump)
        values = [v for _, v in samples if v is not None]
        self.assertTrue(values, "no position was read")
        self.assertEqual(values, sorted(values), f"the bar moves back: {values}")
        self.assertEqual(values[-1], 100)
        inner = {v for v in values if 0 < v < 100}
        self.assertGreaterEqual(len(inner), 10, f"intermediate positions: {sorted(inner)}")
        # The text: in progress, then complete. The program shows the
        # completion text on the tick that sets the bar to 100 and then
        # sleeps, so the bar answers 100 only after the pause.
        self.assertEqual([t[2] for t in texts],
                         [WORKING_TEXT.encode("gbk").hex(), COMPLETE_TEXT.encode("gbk").hex()],
                         f"texts {[t[1] for t in texts]}")
        complete_at = texts[1][0]
        last_below = max(t for t, v in samples if v is not None and v < 100)
        first_full = next(t for t, v in samples if v == 100)
        self.assertTrue(last_below <= complete_at <= first_full,
                        f"completion text at {complete_at} ms, bar below 100 until "
                        f"{last_below} ms, at 100 from {first_full} ms")
        # The rate seen gives the time for the whole bar: about five seconds.
        first_t, first_v = next((t, v) for t, v in samples if v is not None)
        whole = (complete_at - first_t) * 100 / (100 - first_v)
        self.assertTrue(4000 <= whole <= 7000, f"the bar fills in {whole:.0f} ms")
        self.assertIsNotNone(gone_at, "the progress window did not close")
        self.assertTrue(800 <= gone_at - complete_at <= 2000,
                        f"closed {gone_at - complete_at} ms after the completion text")
        program.wait(10)
        print(f"\n  progress: {len(values)} positions read, {len(inner)} distinct between 0 and "
              f"100, full bar {whole:.0f} ms, closed {gone_at - complete_at} ms after the "
              f"completion text; screenshots {shots}")

        # The database service: installed, then started >= 3000 ms later.
        installed = self.assertMysqldInstalled(inst)
        started = self.services_started()
        self.assertEqual(len(started), 1, "net start MySQL_OA")
        delay = int(started[0][0]) - installed
        print(f"  net start MySQL_OA {delay} ms after mysqld-nt.exe --install")
        self.assertTrue(3000 <= delay <= 8000, f"net start {delay} ms after the install")

        # A second run: nothing left to change; my.ini written again. Escape
        # ends its progress window early, and the process ends.
        first = (inst.read("bin/php.ini"), inst.read("conf/httpd.conf"))
        self.old_my_ini()
        self.clear_services_log()
        program = inst.start(r"e:\apps\oa\tools\pathsetup.exe")
        window = self.progress_window()
        early = self.s.driver("progress", hwnd=window["hwnd"], id=PROGRESS_BAR, every=20,
                              **{"for": 300})
        self.s.screenshot(f"{self.shot_name()}_escape_before", window["rect"])
        values = [v for _, v in early["samples"] if v is not None]
        self.assertIsNone(early["gone_at"])
        self.assertTrue(values and values[-1] < 90, f"positions {values}")
        pressed = time.monotonic()
        self.s.driver("key", hwnd=window["hwnd"], key="escape")
        self.assertTrue(wait_for(lambda: not program.alive, 10, 0.02), "still running")
        ended = (time.monotonic() - pressed) * 1000
        # Left alone it would run (100 - v) * 50 ms plus the 1 s pause.
        left = (100 - values[-1]) * 50 + 1000
        print(f"  Escape at {values[-1]}: the process ended {ended:.0f} ms later "
              f"({left} ms left of the progress stage)")
        self.assertLess(ended, left / 2, "the process ends early after Escape")
        self.assertEqual((inst.read("bin/php.ini"), inst.read("conf/httpd.conf")), first,
                         "a second run changes nothing")
        self.assertEqual(self.my_ini_path.read_bytes(), my_ini(r"E:\APPS\OA"))
        self.assertMysqldInstalled(inst)
        self.assertEqual(len(self.services_started()), 1)

    def shot_name(self):
        return self.id().split(".")[-1].removeprefix("test_")

    # ------------------------------------------------------------ runs

    def run_to_end(self, inst, win_exe, boxes=(), completes=True, env=None):
        """Run the program: answer the expected message boxes in order
        (each checked and photographed), then either end its progress window
        with Escape (the files are all written before it opens) or see it
        end without one."""
        self.clear_services_log()
        program = inst.start(win_exe, env=env)
        exe_name = win_exe.rsplit("\\", 1)[1]
        for n, message in enumerate(boxes):
            self.check_box(exe_name, message, f"{inst.name}_box{n + 1}")
        if completes:
            self.escape_progress(program, exe_name)
            self.assertMysqldInstalled(inst)
            self.assertEqual(len(self.services_started()), 1, "net start MySQL_OA")
        else:
            self.assertEndsWithoutProgress(program, inst)
        return program

    # ------------------------------------------------------------ 4

    def test_missing_files(self):
        # name, exe name, php.ini there, httpd.conf there, message
        cases = [
            ("no_php", "pathsetup.exe", False, True, MISSING_PHP),
            ("no_httpd", "pathsetup.exe", True, False, MISSING_HTTPD),
            ("setup2", "setup2.exe", False, True, MISSING_PHP),
        ]
        for name, exe_name, has_php, has_httpd, message in cases:
            with self.subTest(name):
                inst = self.on_drive(name, ["office"])
                exe = inst.layout(php=PHP_INI if has_php else None,
                                  httpd=HTTPD_CONF if has_httpd else None, exe_name=exe_name)
                self.old_my_ini()
                self.run_to_end(inst, exe, [message], completes=False)
                self.assertFalse(self.s.services_log().exists(), "net start was run")
                # my.ini is written first in any case; php.ini is adapted
                # before httpd.conf is looked for; nothing else changes.
                self.assertEqual(self.my_ini_path.read_bytes(), my_ini(r"E:\OFFICE"))
                if has_php:
                    self.assertEqual(inst.read("bin/php.ini"), php_ini(PHP_INI, r"E:\OFFICE"))
                else:
                    self.assertFalse(inst.path("bin/php.ini").exists())
                if has_httpd:
                    self.assertEqual(inst.read("conf/httpd.conf"), httpd_conf(HTTPD_CONF, None))
                else:
                    self.assertFalse(inst.path("conf/httpd.conf").exists())

    # ------------------------------------------------------------ 5

    def test_second_run_changes_nothing(self):
        # name, where, folders, the root as the program writes it
        cases = [
            ("velk2", "c", ["VELK2"], r"C:\VELK2"),
            ("velk_sub", "c", ["VELK", "SUB"], r"C:\VELK\SUB"),
            ("full_width", "e", ["ｏａ"], "E:\\ＯＡ"),
        ]
        for name, where, parts, root in cases:
            with self.subTest(name):
                inst = (self.on_prefix_c(name, parts) if where == "c"
                        else self.on_drive(name, parts))
                self.assertEqual(inst.root, root)
                exe = inst.layout()
                for run in (1, 2):
                    self.old_my_ini()
                    self.run_to_end(inst, exe)
                    self.assertFiles(inst, my_ini(root), php_ini(PHP_INI, root),
                                     httpd_conf(HTTPD_CONF, root))
        # The full-width root is written as upper-case full-width letters.
        self.assertIn(b"E:\\\xa3\xcf\xa3\xc1\\php", php_ini(PHP_INI, cases[-1][3]))

    # ------------------------------------------------------------ 6

    def test_unusual_inputs(self):
        utf16 = ("\ufeff[PHP]\r\nextension_dir = \"C:\\VELK\\php\\ext\"\r\n; 中文 C:\\VELK\r\n"
                 .encode("utf-16-le"))
        nul_php = "\0\0[PHP]\0{D}\\php\0\0tail {D}\0\r\n{D}"
        long_parts = [f"level{i}_" + "x" * 40 for i in range(4)]
        # name, folders below the drive, what is arranged before the run,
        # php.ini afterwards, message boxes, whether the run completes
        cases = [
            ("utf16_php", ["office"], "utf16", "unchanged", [], True),
            ("nul_php", ["office"], "nul", "adapted", [], True),
            ("readonly_php", ["office"], "readonly", "unchanged", [MISSING_PHP], False),
            ("held_php", ["office"], "hold", "unchanged", [MISSING_PHP], False),
            ("folder_php", ["office"], "folder", "folder", [MISSING_PHP], False),
            ("my_ini_unwritable", ["office"], "my_ini_folder", "adapted",
             [SETTINGS_FAILED.format(WINDOWS_DIR + "\\my.ini")], True),
            ("drive_root", [], None, "adapted", [], True),
            ("spaces", ["my office", "oa 2"], None, "adapted", [], True),
            ("gbk_5c", ["淺水", "oa"], None, "adapted", [], True),
            ("long_root", long_parts, None, "adapted", [], True),
        ]
        for name, parts, action, php_after, boxes, completes in cases:
            with self.subTest(name):
                inst = self.on_drive(name, parts)
                root = inst.root
                exe = inst.layout(php=nul_php if action == "nul" else PHP_INI)
                if action == "utf16":
                    inst.write("bin/php.ini", utf16)
                elif action == "readonly":
                    self.make_read_only(inst.path("bin/php.ini"))
                elif action == "folder":
                    inst.path("bin/php.ini").unlink()
                    inst.write("bin/php.ini/inside.txt", b"x")
                if action == "my_ini_folder":
                    self.my_ini_path.unlink(missing_ok=True)
                    self.my_ini_path.mkdir()
                    self.addCleanup(lambda: self.my_ini_path.is_dir() and self.my_ini_path.rmdir())
                else:
                    self.old_my_ini()
                php_before = None if action == "folder" else inst.read("bin/php.ini")
                if action == "hold":
                    self.hold_file(inst.win_root + "\\bin\\php.ini")
                self.run_to_end(inst, exe, boxes, completes)
                if action == "my_ini_folder":
                    self.assertTrue(self.my_ini_path.is_dir(), "my.ini")
                    self.my_ini_path.rmdir()
                else:
                    self.assertEqual(self.my_ini_path.read_bytes(), my_ini(root), "my.ini")
                if php_after == "folder":
                    self.assertTrue(inst.path("bin/php.ini").is_dir())
                elif php_after == "unchanged":
                    self.assertEqual(inst.read("bin/php.ini"), php_before, "php.ini")
                else:
                    self.assertEqual(inst.read("bin/php.ini"),
                                     php_ini(nul_php if action == "nul" else PHP_INI, root),
                                     "php.ini")
                self.assertEqual(inst.read("conf/httpd.conf"),
                                 httpd_conf(HTTPD_CONF, root if completes else None),
                                 "httpd.conf")
                if name == "long_root":
                    self.assertGreater(len(root.encode("gbk")), 190)
                if name == "gbk_5c":
                    # The second byte of 淺 is a backslash byte: it stays.
                    self.assertIn(b"E:/\x9c\x5c\xcb\xae/OA/Apache", inst.read("conf/httpd.conf"))

    def make_read_only(self, path):
        """Read-only for Windows, and unwritable even though the tests run as
        root (who may write any file whatever its mode): immutable."""
        os.chmod(path, 0o444)
        subprocess.run(["chattr", "+i", str(path)], check=True)
        self.addCleanup(subprocess.run, ["chattr", "-i", str(path)])

    def hold_file(self, win_file):
        """Another process holds the file open for the next seconds."""
        holder = self.s.spawn("cmd", ["/c", f"ping -n 12 127.0.0.1 >nul < {win_file}"],
                              name="holder")
        self.programs.append(holder)

        def pinging():
            return not self.s.driver("wait-exit", exe="PING.EXE", timeout=0, check=False)["ok"]
        self.assertTrue(wait_for(pinging, 15, 0.2), "the holder did not start")

    # ------------------------------------------------------------ 7

    def test_file_faults(self):
        # Every call on the two files fails in turn, in a package whose files
        # grow and in one whose files shrink.
        outcomes = {
            # message: (php.ini adapted, httpd.conf adapted)
            "读取php.ini文件失败，文件未作任何修改。": (False, False),
            "写入php.ini文件失败，文件已恢复原样。": (False, False),
            "php.ini文件已写入，但关闭文件时出错。": (True, False),
            "读取httpd.conf文件失败，文件未作任何修改。": (True, False),
            "写入httpd.conf文件失败，文件已恢复原样。": (True, False),
            "httpd.conf文件已写入，但关闭文件时出错。": (True, True),
        }
        seen = {}
        injected = 0
        for name, folder in (("grows", "office"), ("shrinks", "oa")):
            inst = self.on_drive(f"fault_{name}", [folder])
            root = inst.root
            exe = inst.layout()
            for n in range(1, 60):
                inst.layout()
                self.old_my_ini()
                self.clear_services_log()
                program = inst.start(exe, env={"KORAVI_FAULT_CALL": str(n)})
                first = self.first_window("pathsetup.exe", ["pathsetup", PROGRESS_CAPTION])
                with self.subTest(name, call=n):
                    self.assertIsNotNone(first, "neither a message box nor the progress window")
                    if first["caption"] == PROGRESS_CAPTION:
                        # The n-th call is past the last one: a complete run.
                        self.escape_progress(program)
                        self.assertFiles(inst, my_ini(root), php_ini(PHP_INI, root),
                                         httpd_conf(HTTPD_CONF, root))
                        self.assertMysqldInstalled(inst)
                        self.assertEqual(len(self.services_started()), 1, "net start MySQL_OA")
                    else:
                        injected += 1
                        # Each kind of box photographed once per package.
                        def shot_name(message, name=name, n=n):
                            met = any(c.startswith(name + ":") for c in seen.get(message, []))
                            return None if met else f"{name}_{n}"
                        box = self.check_box("pathsetup.exe", None, shot_name, first["hwnd"])
                        message = box["message"]
                        self.assertIn(message, outcomes, f"call {n}")
                        seen.setdefault(message, []).append(f"{name}:{n}")
                        self.assertEndsWithoutProgress(program, inst)
                        php_new, httpd_new = outcomes[message]
                        self.assertFiles(inst, my_ini(root),
                                         php_ini(PHP_INI, root if php_new else None),
                                         httpd_conf(HTTPD_CONF, root if httpd_new else None))
                program.kill()
                if first is None or first["caption"] == PROGRESS_CAPTION:
                    break
            else:
                self.fail(f"{name}: every call up to 59 fails")
        print(f"\n  faults injected: {injected}")
        for message, calls in seen.items():
            print(f"    {message}  {' '.join(calls)}")
        self.assertEqual(set(seen), set(outcomes), "every kind of failure was met")

    def watch_progress(self, window):
        """Sample the bar and its text until the window goes; meanwhile take
        screenshots, and keep one while it works and one when complete."""
        result = {}

        def sample():
            result["r"] = self.s.driver("progress", hwnd=window["hwnd"], id=PROGRESS_BAR,
                                        text_id=PROGRESS_TEXT, every=20, **{"for": 15000})
        sampler = threading.Thread(target=sample)
        sampler.start()
        shots = []
        n = 0
        while sampler.is_alive():
            before = time.time() * 1000
            path = self.s.screenshot(f"tmp_progress_{n}", window["rect"])
            shots.append((before, time.time() * 1000, path))
            n += 1
        sampler.join()
        r = result["r"]
        self.assertTrue(r["ok"], r.get("error"))
        start = r["start_unix_ms"]
        samples = [tuple(s) for s in r["samples"]]
        texts = r["texts"]
        if texts and texts[-1][1] == "" and len(texts) > 1:
            texts = texts[:-1]  # read while the window was being destroyed
        gone_at = r["gone_at"]
        kept = {}
        if len(texts) == 2 and gone_at is not None:
            complete = start + texts[1][0]
            gone = start + gone_at
            middle = start + next((t for t, v in samples if v is not None and v >= 50),
                                  texts[1][0])
            working = [s for s in shots if s[1] < complete - 300]
            done = [s for s in shots if s[0] > complete + 100 and s[1] < gone - 100]
            for what, group in (("working", working), ("complete", done)):
                self.assertTrue(group, f"no screenshot of the window {what}")
            kept["working"] = min(working, key=lambda s: abs(s[0] - middle))[2]
            kept["complete"] = done[0][2]
            # What the screen shows while the program pauses: the full bar and
            # the completion text, the same in every shot of the pause.
            text = self.region(window, PROGRESS_TEXT)
            bar = self.region(window, PROGRESS_BAR)
            complete_texts = {png_pixels(s[2], text) for s in done}
            self.assertEqual(len(complete_texts), 1, "the text changes during the pause")
            shown = complete_texts.pop()
            self.assertNotEqual(png_pixels(kept["working"], text), shown,
                                "the completion text is not on the screen")
            self.assertLess(min(shown), 100, "the text area is blank during the pause")
            full = png_pixels(kept["complete"], bar)
            width = bar[2] - bar[0]
            row = full[3 * width * ((bar[3] - bar[1]) // 2):][:3 * width]
            inside = [row[3 * x:3 * x + 3] for x in (4, width // 2, width - 5)]
            self.assertEqual(len(set(inside)), 1, "the bar is not drawn full")
            for what, path in list(kept.items()):
                final = path.with_name(f"{self.shot_name()}_progress_{what}.png")
                path.replace(final)
                kept[what] = final.name
        for _, _, path in shots:
            if path.exists():
                path.unlink()
        return samples, texts, gone_at, list(kept.values())

    @staticmethod
    def region(window, control_id):
        """A control's rectangle in a screenshot of its window."""
        c = next(c for c in window["controls"] if c["id"] == control_id)
        x, y = window["rect"][0], window["rect"][1]
        l, t, r, b = c["screen"]
        return [l - x, t - y, r - x, b - y]


if __name__ == "__main__":
    unittest.main(verbosity=2)
