"""hostsetup end to end: the real program under Wine, in real installation
trees, driven through its dialog; apache.exe, the Nesto_Server service and
the browser are stand-ins that record how they were started.

Run: python3 tests/e2e/test_hostsetup.py (see koravi_e2e.py for the environment).
"""

import hashlib
import os
import socket
import subprocess
import time
import unittest

from koravi_e2e import SC_CLOSE, E2ETestCase, Tree, wait_until, win_path
from test_shell import HOST_NOTICE

EXE = "hostsetup.exe"
APP_CAPTION = "hostsetup"                      # the application message box
MAIN_CAPTION = "KoraviOA 应用服务器配置"
DONE_TEXT = "服务配置完成，点击确定进入系统登陆页面!"
DONE_CAPTION = "提示"
MISSING_INI = "遗失config.ini文件。"
MISSING_CONF = "遗失httpd.conf文件。"
LINE_BREAK_REFUSED = "主机名或端口号中不能含有换行符，请重新输入。"
BROWSER = r"C:\koravi-e2e\browser.exe"
IDOK, IDCANCEL, IDC_HOST, IDC_PORT, IDC_NOTICE = 1, 2, 1000, 1004, 1001

# The notice text, as the shell tests know it.
NOTICE = HOST_NOTICE

# Messages of a file step that fails after the file was opened, and what the
# file then holds.
FILE_STEP_MESSAGES = {
    "读取{}文件失败，文件未作任何修改。": "old",
    "写入{}文件失败，文件已恢复原样。": "old",
    "{}文件已写入，但关闭文件时出错。": "new",
}

# The stand-ins record when their process was created, the moment the
# program started them. The restart follows the installation after the
# program's 2000 ms wait, and at most RESTART_SLACK_MS later on a busy machine.
RESTART_SLACK_MS = 1500

HOSTNAME = socket.gethostname()   # Wine passes the machine's name through


def gbk(text):
    return text.encode("gbk") if isinstance(text, str) else text


def written_block(host, port):
    """The server block as the program appends it."""
    return (b"\r\n\r\n#Server and port Configuration\r\n       ServerName " + gbk(host) +
            b"\r\n       Listen " + gbk(port) + b"\r\n")


def client_settings(host, port):
    return b"[Setting]\r\nQuilloURL=http://" + gbk(host) + b":" + gbk(port) + b"/"


def login_url(host, port):
    return "http://" + host + ("" if port == "80" else ":" + port)


# A httpd.conf of the package: no server block, last line without a line end.
PLAIN_CONF = (b'ServerRoot "E:/office/Apache"\r\n'
              b'DocumentRoot "E:/office/www"\r\n'
              b'LoadModule php5_module "E:/office/bin/php5apache2.dll"\r\n'
              b"Listen 80")
# A config.ini longer than what gets written, so that it must shrink.
OLD_INI = (b"[Setting]\r\nQuilloURL=http://old-server.example.com:8000/\r\n"
           b"Timeout=30\r\nRetry=3\r\n")


class HostSetup(E2ETestCase):

    # ------------------------------------------------------------ helpers

    def make_tree(self, name, ini=OLD_INI, conf=PLAIN_CONF, root_name="office",
                  tools="tools"):
        """A tree with hostsetup in <root>\\<tools>, the apache stand-in in
        <root>\\bin and the two files (None: the file is not there)."""
        tree = Tree(self.s, name, root_name=root_name)
        exe = tree.add_program(self.s.cfg.hostsetup, tools)
        tree.add_standins(mysqld=False)
        if ini is not None:
            tree.write("Nesto/config.ini", ini)
        if conf is not None:
            tree.write("conf/httpd.conf", conf)
        return tree, exe

    def launch(self, tree, exe, env=None):
        """Start hostsetup from its own folder; returns (program, main window).
        A program of an earlier row that failed half-way is ended first."""
        self._kill_programs()
        # Each run counts the services it starts from an empty log.
        if self.s.services_log().exists():
            self.s.services_log().unlink()
        full_env = {"KORAVI_RECORD": f"{tree.drive}:\\record.log"}
        full_env.update(env or {})
        rel = exe[len(tree.win_root) + 1:]
        program = self.s.spawn(exe, cwd=tree.path(rel).parent, env=full_env, name=EXE)
        self.programs.append(program)
        main = self.s.driver("wait", caption=MAIN_CAPTION, exe=EXE, visible=1,
                             timeout=20000)["window"]
        return program, main

    def fields(self, main):
        dump = self.s.driver("dump", hwnd=main["hwnd"])["window"]
        by_id = {c["id"]: c for c in dump["controls"]}
        return dump, by_id

    def field_text(self, by_id, cid):
        return bytes.fromhex(by_id[cid]["text_gbk"])

    def focus_when_settled(self, main):
        """The control with the focus; Wine may activate a freshly shown
        window a moment after it became visible."""
        focus = None
        for _ in range(20):
            focus = self.s.driver("wait", hwnd=main["hwnd"])["window"]["focus_id"]
            if focus is not None:
                break
            time.sleep(0.1)
        return focus

    def fill(self, main, host=None, port=None):
        if host is not None:
            self.s.driver("set-text", hwnd=main["hwnd"], id=IDC_HOST, text=host)
        if port is not None:
            self.s.driver("set-text", hwnd=main["hwnd"], id=IDC_PORT, text=port)

    def app_box(self, what, message, main, timeout=15000):
        """The application message box: caption, text, OK alone, the
        exclamation icon, owned by the main dialog. Left open."""
        box = self.s.driver("msgbox", exe=EXE, caption=APP_CAPTION, timeout=timeout)["box"]
        self.shot(what, box)
        self.assertEqual(box["message_gbk"], gbk(message).hex(), f"message {box['message']!r}")
        self.assertEqual([(b["id"], b["text"]) for b in box["buttons"]], [(IDOK, "确定")])
        self.assertTrue(box["icon"], "shows an icon")
        self.assertEqual(self.s.pixels(box["icon_screen"]), self.s.exclamation_icon_pixels(),
                         "the exclamation icon")
        self.assertEqual(box["owner"], main["hwnd"])
        return box

    def close_box_and_exit(self, box, program):
        self.s.driver("msgbox", hwnd=box["hwnd"], press=IDOK)
        self.assertEqual(program.wait(15), 0)

    def apache_records(self, tree):
        return [r for r in tree.records() if r[1].lower().endswith("apache.exe")]

    def browser_records(self, tree):
        return [r for r in tree.records() if r[1] == BROWSER]

    def nesto_starts(self):
        log = self.s.services_log()
        if not log.exists():
            return []
        lines = log.read_bytes().decode("gbk").split("\r\n")
        return [int(f[0]) for f in (line.split("\t") for line in lines if line)
                if f[1:3] == ["started", "Nesto_Server"]]

    def assert_nothing_started(self, tree, settle=1.0):
        time.sleep(settle)  # a started program would have recorded by now
        self.assertEqual(tree.records(), [], "nothing is started")
        self.assertEqual(self.nesto_starts(), [], "Nesto_Server is not started")

    def apply(self, tree, program, main, host, port, what, box_timeout=15000, pressed=False):
        """Press OK on a dialog holding host and port (pressed: OK was pressed
        already, in a tree where nothing had been started) and follow the run
        to its end: the two apache starts 2000 ms apart, net start
        Nesto_Server, the completion box, then the login URL in the browser,
        the process ending. The files are for the caller to compare."""
        apache_before, browser_before, nesto_before = 0, 0, 0
        if not pressed:
            apache_before = len(self.apache_records(tree))
            browser_before = len(self.browser_records(tree))
            nesto_before = len(self.nesto_starts())
            self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
        done = self.s.driver("msgbox", exe=EXE, caption=DONE_CAPTION, timeout=box_timeout)
        box = done["box"]
        self.shot(f"{what}_done", box)
        self.assertEqual(box["caption_gbk"], gbk(DONE_CAPTION).hex())
        self.assertEqual(box["message_gbk"], gbk(DONE_TEXT).hex(), f"message {box['message']!r}")
        self.assertEqual([(b["id"], b["text"]) for b in box["buttons"]], [(IDOK, "确定")])
        self.assertFalse(box["icon"], "the completion box has no icon")
        self.assertEqual(box["owner"], main["hwnd"], "owned by the main dialog")
        self.assertFalse(self.s.driver("wait", hwnd=main["hwnd"])["window"]["visible"],
                         "the main dialog stays hidden")
        # While the box is up, the browser has not been asked.
        time.sleep(0.3)
        self.assertEqual(len(self.browser_records(tree)), browser_before,
                         "no URL before the box is closed")
        shown_at = done["unix_ms"]
        self.s.driver("msgbox", hwnd=box["hwnd"], press=IDOK)
        self.assertEqual(program.wait(15), 0, "the process ends")

        root = tree.win_root
        apache = wait_until(lambda: (lambda r: r if len(r) >= apache_before + 2 else None)(
            self.apache_records(tree)), 10, "two apache starts")[apache_before:]
        self.assertEqual([r[3] for r in apache],
                         [f'"{root}\\bin\\apache.exe" -n Koravi_OA -k install',
                          f'"{root}\\bin\\apache.exe" -n Koravi_OA -k restart'])
        self.assertEqual([r[1] for r in apache], [f"{root}\\bin\\apache.exe"] * 2)
        install_at, restart_at = int(apache[0][0]), int(apache[1][0])
        gap = restart_at - install_at
        print(f"  {what}: restart {gap} ms after install", flush=True)
        self.assertGreaterEqual(gap, 2000, "the restart waits 2000 ms")
        self.assertLessEqual(gap, 2000 + RESTART_SLACK_MS)

        browser = wait_until(lambda: (lambda r: r if len(r) > browser_before else None)(
            self.browser_records(tree)), 15, "the browser")[browser_before:]
        self.assertEqual(len(browser), 1)
        self.assertEqual(browser[0][3], f'"{BROWSER}" "{login_url(host, port)}"')
        self.assertGreater(int(browser[0][0]), shown_at, "the URL comes after the box")

        nesto = wait_until(lambda: (lambda n: n if len(n) > nesto_before else None)(
            self.nesto_starts()), 20, "net start Nesto_Server")[nesto_before:]
        self.assertEqual(len(nesto), 1, "Nesto_Server started once")
        self.assertGreaterEqual(nesto[0], restart_at, "net start follows the restart")
        self.assertEqual(len(self.apache_records(tree)), apache_before + 2, "apache twice only")

    def make_read_only(self, path):
        """The read-only attribute; for root, who may write such a file under
        Wine, the file is also made immutable, as the attribute makes it on
        Windows."""
        path.chmod(0o444)
        if os.geteuid() == 0:
            done = subprocess.run(["chattr", "+i", str(path)], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0
            if not done:
                self.skipTest("running as root without the right to make a file immutable")
            self.addCleanup(subprocess.run, ["chattr", "-i", str(path)])

    def assert_files(self, tree, ini, conf):
        self.assertEqual(tree.read("Nesto/config.ini"), ini, "config.ini")
        self.assertEqual(tree.read("conf/httpd.conf"), conf, "httpd.conf")

    # ------------------------------------------------------------ tests

    def test_prefill_and_dismiss(self):
        """The fields show the address in effect; Cancel, Escape and the close
        box end the tool with nothing written or started."""
        with_block = (b"Listen 80\r\n" + written_block("srv01", "8080") + b"# end\r\n")
        # The block ends at its fourth line end: Listen below it is not read.
        host_only = (b"Listen 80\r\n\r\n\r\n#Server and port Configuration\r\n"
                     b"       ServerName hostonly\r\nDocumentRoot x\r\n       Listen 99\r\n")
        cases = [
            # name, httpd.conf, host shown, port shown, how the dialog is ended
            ("block", with_block, "srv01", "8080", "cancel"),
            ("no_block", PLAIN_CONF, HOSTNAME, "80", "escape"),
            ("host_only", host_only, "hostonly", "80", "close"),
        ]
        for name, conf, host, port, end in cases:
            with self.subTest(case=name):
                tree, exe = self.make_tree(f"prefill_{name}", conf=conf)
                program, main = self.launch(tree, exe)
                dump, by_id = self.fields(main)
                self.shot(name, dump)
                self.assertEqual(self.field_text(by_id, IDC_HOST), gbk(host))
                self.assertEqual(self.field_text(by_id, IDC_PORT), gbk(port))
                self.assertEqual(self.field_text(by_id, IDC_NOTICE), gbk(NOTICE))
                self.assertTrue(dump["topmost"], "top-most")
                self.assertCentred(dump["rect"], dump["work"], "main dialog")
                self.assertEqual(self.focus_when_settled(main), IDOK, "the focus is on OK")
                # Typing other values and then leaving writes nothing.
                self.fill(main, "changed", "9999")
                if end == "cancel":
                    self.s.driver("click", hwnd=main["hwnd"], id=IDCANCEL)
                elif end == "escape":
                    self.s.driver("key", hwnd=main["hwnd"], key="escape")
                else:
                    self.s.driver("syscommand", hwnd=main["hwnd"], cmd=SC_CLOSE)
                self.assertEqual(program.wait(15), 0)
                self.assert_files(tree, OLD_INI, conf)
                self.assert_nothing_started(tree, settle=0.5)

    def test_ok_writes_starts_and_opens_twice(self):
        """Two runs: the first appends the block, the second (port 80)
        replaces it; each writes both files exactly, starts apache twice,
        Nesto_Server, and opens the login URL after the completion box."""
        tree, exe = self.make_tree("ok_twice")
        runs = [
            # host shown, port shown, host typed, port typed, httpd.conf after
            (HOSTNAME, "80", "srv01", "8080", PLAIN_CONF + written_block("srv01", "8080")),
            ("srv01", "8080", "srv02", "80", PLAIN_CONF + written_block("srv02", "80")),
        ]
        for n, (shown_host, shown_port, host, port, conf) in enumerate(runs, 1):
            with self.subTest(run=n):
                program, main = self.launch(tree, exe)
                dump, by_id = self.fields(main)
                self.shot(f"run{n}", dump)
                self.assertEqual(self.field_text(by_id, IDC_HOST), gbk(shown_host))
                self.assertEqual(self.field_text(by_id, IDC_PORT), gbk(shown_port))
                self.fill(main, host, port)
                self.apply(tree, program, main, host, port, f"run{n}")
                self.assert_files(tree, client_settings(host, port), conf)
                self.assertEqual(tree.read("conf/httpd.conf").count(b"#Server and port"), 1,
                                 "one server block")
        # Port 80: the URL has no port, config.ini keeps ":80/".
        self.assertTrue(tree.read("Nesto/config.ini").endswith(b"srv02:80/"))
        self.assertEqual(self.browser_records(tree)[-1][3], f'"{BROWSER}" "http://srv02"')

    def test_missing_files(self):
        cases = [
            # name, config.ini, httpd.conf, message, config.ini after, httpd.conf after
            ("config_ini", None, PLAIN_CONF, MISSING_INI, None, PLAIN_CONF),
            ("httpd_conf", OLD_INI, None, MISSING_CONF, client_settings(HOSTNAME, "80"), None),
        ]
        for name, ini, conf, message, ini_after, conf_after in cases:
            with self.subTest(missing=name):
                tree, exe = self.make_tree(f"missing_{name}", ini=ini, conf=conf)
                program, main = self.launch(tree, exe)
                self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
                box = self.app_box(name, message, main)
                self.assertFalse(self.s.driver("wait", hwnd=main["hwnd"])["window"]["visible"])
                self.close_box_and_exit(box, program)
                for rel, want in (("Nesto/config.ini", ini_after), ("conf/httpd.conf", conf_after)):
                    if want is None:
                        self.assertFalse(tree.path(rel).exists(), f"{rel} is not created")
                    else:
                        self.assertEqual(tree.read(rel), want, rel)
                self.assert_nothing_started(tree)

    def test_roots(self):
        """A root whose last character ends in the byte of a backslash, and a
        root with a space: files below them, quoted command lines."""
        # 淺 is 9C 5C in GBK.
        for name, root_name in (("trail_5c", "oa淺"), ("space", "my office")):
            with self.subTest(root=name):
                tree, exe = self.make_tree(f"root_{name}", root_name=root_name)
                program, main = self.launch(tree, exe)
                self.shot(name, main)
                self.assertEqual(main["exe"], f"E:\\{root_name}\\tools\\{EXE}")
                self.fill(main, "srv01", "8081")
                self.apply(tree, program, main, "srv01", "8081", name)
                self.assert_files(tree, client_settings("srv01", "8081"),
                                  PLAIN_CONF + written_block("srv01", "8081"))

    def test_httpd_conf_held_by_another_program(self):
        conf = b"Listen 80\r\n" + written_block("held", "8088")
        tree, exe = self.make_tree("held", conf=conf)
        result = self.s.cfg.work / "results" / f"hold_{os.getpid()}.json"
        if result.exists():
            result.unlink()
        holder = self.s.spawn(self.s.cfg.bin / "driver.exe",
                              [win_path(result), "hold", "--path", tree.win("conf\\httpd.conf"),
                               "--for", "60000"], name="holder")
        self.addCleanup(holder.kill)
        wait_until(result.exists, 20, "the holder to open httpd.conf")
        self.assertIn('"ok":true', result.read_text(encoding="utf-8"))
        program, main = self.launch(tree, exe)
        # The pre-fill cannot read the held file: the defaults stay.
        dump, by_id = self.fields(main)
        self.shot("dialog", dump)
        self.assertEqual(self.field_text(by_id, IDC_HOST), gbk(HOSTNAME))
        self.assertEqual(self.field_text(by_id, IDC_PORT), b"80")
        self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
        box = self.app_box("message", MISSING_CONF, main)
        self.close_box_and_exit(box, program)
        holder.kill()
        self.assert_files(tree, client_settings(HOSTNAME, "80"), conf)
        self.assert_nothing_started(tree)

    def test_large_and_binary_httpd_conf(self):
        line = b"# filler line of the configuration, 64 bytes long ...........\r\n"
        one_mb = line * (1024 * 1024 // len(line))
        # NUL bytes before and after a block marked after a single line end:
        # the block the program reads is the one it replaces.
        head = b"ServerRoot x\r\n\x00\x00bin\x00ary"
        tail = b"\x00after\x00\r\n\x00"
        nul_conf = (head + b"\r\n#Server and port Configuration\r\n       ServerName a\r\n"
                    b"       Listen 1\r\n" + tail)
        nul_after = (head + b"\r\n#Server and port Configuration\r\n       ServerName srv01\r\n"
                     b"       Listen 8080\r\n" + tail)
        cases = [
            # name, httpd.conf, expected after, seconds for the run
            ("1mb", one_mb, one_mb + written_block("srv01", "8080"), 30),
            ("nul", nul_conf, nul_after, 15),
        ]
        for name, conf, after, seconds in cases:
            with self.subTest(conf=name):
                tree, exe = self.make_tree(f"large_{name}", conf=conf)
                program, main = self.launch(tree, exe)
                self.shot(name, main)
                self.fill(main, "srv01", "8080")
                self.apply(tree, program, main, "srv01", "8080", name,
                           box_timeout=seconds * 1000)
                self.assert_files(tree, client_settings("srv01", "8080"), after)
        with self.subTest(conf="100mb"):
            tree, exe = self.make_tree("large_100mb", conf=b"")
            size = 100 * 1024 * 1024
            chunk = line * (1024 * 1024 // len(line))
            digest = hashlib.sha256()
            with open(tree.path("conf/httpd.conf"), "wb") as f:
                for n in range(size // len(chunk)):
                    piece = chunk[:-8] + b"%06d\r\n" % n  # each megabyte differs
                    f.write(piece)
                    digest.update(piece)
            old_size = tree.path("conf/httpd.conf").stat().st_size
            program, main = self.launch(tree, exe)
            self.shot("100mb", main)
            self.fill(main, "srv01", "8080")
            self.apply(tree, program, main, "srv01", "8080", "100mb", box_timeout=120000)
            block = written_block("srv01", "8080")
            path = tree.path("conf/httpd.conf")
            self.assertEqual(path.stat().st_size, old_size + len(block))
            prefix = hashlib.sha256()
            with open(path, "rb") as f:
                left = old_size
                while left:
                    piece = f.read(min(left, 1 << 20))
                    prefix.update(piece)
                    left -= len(piece)
                self.assertEqual(f.read(), block, "ends with the block")
            self.assertEqual(prefix.hexdigest(), digest.hexdigest(), "prefix intact")

    def test_bad_inputs(self):
        new_ini = client_settings(HOSTNAME, "80")
        cases = [
            # name, host, port, what the run does
            ("read_only_conf", None, None, "read_only"),
            ("folder_conf", None, None, "folder"),
            ("empty", "", "", "runs"),
            ("spaces", " my host ", "8080", "runs"),
            ("chinese", "服务器一", "8080", "runs"),
            ("line_break", "srv\r\n01", "8080", "refused"),
            ("long_root", None, None, "long_root"),
        ]
        for name, host, port, what in cases:
            with self.subTest(case=name):
                root_name, tools = "office", "tools"
                if what == "long_root":
                    # E:\<root>\t\hostsetup.exe fits in 260 bytes with its NUL,
                    # the root plus \Nesto\config.ini does not.
                    root_name, tools = "r" * 240, "t"
                old = self.s.cfg.work / "trees" / f"bad_{name}"
                if what == "read_only" and old.exists():
                    # An immutable file left by an interrupted run.
                    subprocess.run(["chattr", "-R", "-i", str(old)], stderr=subprocess.DEVNULL)
                tree, exe = self.make_tree(f"bad_{name}", root_name=root_name, tools=tools)
                conf_path = tree.path("conf/httpd.conf")
                if what == "read_only":
                    self.make_read_only(conf_path)
                elif what == "folder":
                    conf_path.unlink()
                    conf_path.mkdir()
                program, main = self.launch(tree, exe)
                if what == "long_root":
                    self.assertEqual(len(main["exe"]), 259, "the program's own path")
                self.fill(main, host, port)
                self.shot(f"{name}_dialog", main)
                if what in ("read_only", "folder"):
                    self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
                    box = self.app_box(name, MISSING_CONF, main)
                    self.close_box_and_exit(box, program)
                    self.assertEqual(tree.read("Nesto/config.ini"), new_ini)
                    if what == "read_only":
                        self.assertEqual(tree.read("conf/httpd.conf"), PLAIN_CONF)
                    else:
                        self.assertTrue(conf_path.is_dir())
                    self.assert_nothing_started(tree)
                elif what == "long_root":
                    self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
                    box = self.app_box(name, MISSING_INI, main)
                    self.close_box_and_exit(box, program)
                    self.assert_files(tree, OLD_INI, PLAIN_CONF)
                    self.assert_nothing_started(tree)
                elif what == "refused":
                    self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
                    box = self.app_box(name, LINE_BREAK_REFUSED, main)
                    self.s.driver("msgbox", hwnd=box["hwnd"], press=IDOK)
                    again = self.s.driver("wait", hwnd=main["hwnd"])["window"]
                    self.assertTrue(again["visible"], "the dialog stays")
                    self.assertTrue(program.alive)
                    self.assert_files(tree, OLD_INI, PLAIN_CONF)
                    self.assertEqual(tree.records(), [])
                    self.fill(main, "srv01")
                    self.apply(tree, program, main, "srv01", port, name)
                    self.assert_files(tree, client_settings("srv01", port),
                                      PLAIN_CONF + written_block("srv01", port))
                else:
                    self.apply(tree, program, main, host, port, name)
                    self.assert_files(tree, client_settings(host, port),
                                      PLAIN_CONF + written_block(host, port))

    def test_fault_injection(self):
        """KORAVI_FAULT_CALL=n fails the n-th call on a file opened for
        rewriting. Every failing run tells which file step failed, leaves
        each file with its old or its new bytes, starts nothing and ends."""
        new_ini = client_settings(HOSTNAME, "80")
        new_conf = PLAIN_CONF + written_block(HOSTNAME, "80")
        messages = {f.format(file): (file, state)
                    for f, state in FILE_STEP_MESSAGES.items()
                    for file in ("config.ini", "httpd.conf")}
        seen, trees = [], []
        for n in range(1, 60):
            self.assertEqual(self.nesto_starts(), [], f"call {n - 1}: Nesto_Server started")
            tree, exe = self.make_tree(f"fault_{n}")
            program, main = self.launch(tree, exe, env={"KORAVI_FAULT_CALL": str(n)})
            self.s.driver("click", hwnd=main["hwnd"], id=IDOK)
            found = self.s.driver("msgbox", exe=EXE, caption=APP_CAPTION, timeout=4000,
                                  check=False)
            if not found["ok"]:
                # No failure: the run goes through (the completion box is up).
                with self.subTest(fault=n, outcome="completes"):
                    self.apply(tree, program, main, HOSTNAME, "80", "no_fault", pressed=True)
                    self.assert_files(tree, new_ini, new_conf)
                break
            with self.subTest(fault=n):
                message = found["box"]["message"]
                self.assertIn(message, messages, f"call {n}: unexpected message")
                file, state = messages[message]
                box = self.app_box(f"fault{n}", message, main)
                self.close_box_and_exit(box, program)
                ini_want = (new_ini if file == "httpd.conf" or state == "new" else OLD_INI)
                conf_want = new_conf if file == "httpd.conf" and state == "new" else PLAIN_CONF
                self.assert_files(tree, ini_want, conf_want)
                seen.append((file, message))
                trees.append(tree)
        else:
            self.fail("every run failed")
        print(f"  faults injected: {len(seen)}", flush=True)
        # Each file step was seen failing in its read, its write and its close,
        # config.ini's calls all before httpd.conf's.
        self.assertEqual(set(seen), set((f, m) for m, (f, _) in messages.items()))
        files = [f for f, _ in seen]
        self.assertEqual(files, sorted(files, key=("config.ini", "httpd.conf").index))
        time.sleep(0.5)
        for tree in trees:
            self.assertEqual(tree.records(), [], f"{tree.folder.name}: nothing started")


if __name__ == "__main__":
    unittest.main(verbosity=2)
