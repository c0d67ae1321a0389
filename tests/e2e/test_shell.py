"""The dialog shell of both programs, seen from the screen: main dialogs and
their placement, the About boxes, the progress window's template and the
application message box's caption.

Run: python3 tests/e2e/test_shell.py (see koravi_e2e.py for the environment).
"""

import socket
import unittest

from koravi_e2e import (ANY_TEXT, DS_MODALFRAME, SC_CLOSE, WS_CAPTION, WS_EX_APPWINDOW,
                        WS_POPUP, WS_SYSMENU, E2ETestCase, Tree)

HOST_CAPTION = "KoraviOA 应用服务器配置"
START_CAPTION = "KoraviOA  系统配置"
PROGRESS_CAPTION = "KoraviOA 系统智能配置"
DIALOG_STYLE = WS_POPUP | WS_CAPTION | DS_MODALFRAME

HOST_NOTICE = "\r\n".join([
    "重要说明：",
    "",
    "    KoraviOA应用服务采用Apache Http服务器内核，默认使用Http协议的80端口。",
    "",
    "    如果服务器操作系统已安装微软操作系统附带的IIS（Internet Infomation Server，"
    "即Internet信息服务器），则80端口可能已被占用，这种情况下，请为应用服务指定其他端口，"
    "如82、8000等。",
    "",
    "特别注意：",
    "    1、Win98系统，请勿安装应用服务。",
    "    2、Win2000/2003 Server已默认安装了IIS。",
    "    3、本服务配置程序，可在“Windows开始菜单->程序->KoraviOA 办公自动化系统”下找到，"
    "如果指定的端口已被占用，导致服务无法安装，可重新设置其他端口号。",
])

# Templates: (kind, id, text, (x, y, cx, cy), flags). The icon static takes
# its icon's size, so only its position is compared.
def about_controls(first_line):
    return [
        ("icon", None, None, (11, 17, None, None), set()),
        ("ltext", None, first_line, (40, 10, 119, 8), {"noprefix", "group"}),
        ("ltext", None, ANY_TEXT, (40, 25, 119, 8), {"group"}),
        ("defpush", 1, "确定", (178, 7, 50, 14), {"group", "tab"}),
    ]


def host_controls():
    return [
        ("defpush", 1, "确定", (95, 183, 50, 17), {"tab"}),
        ("push", 2, "取消", (165, 183, 50, 17), {"tab"}),
        ("ltext", None, "主机名（或IP地址）：", (15, 23, 81, 10), {"group"}),
        # Its text, the machine's host name, is compared on its own.
        ("edit", 1000, None, (102, 19, 94, 14), {"border", "autoh", "tab"}),
        ("ltext", None, "端口号：", (16, 44, 43, 8), {"group"}),
        ("edit", 1004, "80", (101, 40, 30, 14), {"number", "border", "autoh", "tab"}),
        ("group", None, "", (7, 3, 296, 56), set()),
        # Wraps long lines: no scroll bar, no horizontal auto-scroll.
        ("edit", 1001, HOST_NOTICE, (7, 59, 296, 118),
         {"multiline", "readonly", "autov", "wantreturn", "border", "tab"}),
        ("ctext", None, "请勿使用中文名 !", (203, 21, 65, 8), {"group"}),
    ]


STARTUP_CONTROLS = [
    ("ctext", 1000, "正在启动系统智能配置程序 ......", (7, 19, 235, 8), set()),
]

# Wine's progress bar draws its border inside its client area and drops
# WS_BORDER, so the border is not compared (see the screenshot).
PROGRESS_CONTROLS = [
    ("progress", 1001, None, (7, 26, 201, 14), set()),
    ("ltext", 1002, "正在进行系统智能配置...", (10, 9, 105, 9), set()),
]

PROGRAMS = {
    "hostsetup": dict(main=HOST_CAPTION, about="关于 KoraviOA 应用服务器配置",
                      first_line="KoraviOA 应用服务器配置 5.0 "),
    "pathsetup": dict(main=START_CAPTION, about="关于KoraviOA  pathsetup",
                      first_line="pathsetup 2.0 版"),
}


class Shell(E2ETestCase):

    def tree_with(self, name, program, as_name=None):
        tree = Tree(self.s, name)
        exe = tree.add_program(getattr(self.s.cfg, program), "tools", as_name)
        return tree, exe

    def main_window(self, caption, exe_name, visible=None):
        return self.s.driver("wait", caption=caption, exe=exe_name, visible=visible,
                             timeout=15000)["window"]

    def end_program(self, program, main):
        """End a program the way its user can: OK on its message box if one
        is up, else the main dialog's close command."""
        title = program.name.rsplit(".", 1)[0]
        box = self.s.driver("msgbox", exe=program.name, caption=title, timeout=0, check=False)
        if box["ok"]:
            self.s.driver("msgbox", hwnd=box["box"]["hwnd"], press=1)
        else:
            self.s.driver("syscommand", hwnd=main["hwnd"], cmd=SC_CLOSE)
        program.wait(15)

    # ------------------------------------------------------------ hostsetup

    def test_hostsetup_main_dialog(self):
        tree, exe = self.tree_with("host_main", "hostsetup")
        program = self.start(tree, exe)
        main = self.main_window(HOST_CAPTION, "hostsetup.exe", visible=1)
        dump = self.s.driver("dump", hwnd=main["hwnd"])
        win = dump["window"]
        self.shot("dialog", win)
        self.assertDialog(dump, HOST_CAPTION, (310, 207), host_controls(), exact_flags=True)
        self.assertEqual(win["style"] & (DIALOG_STYLE | WS_SYSMENU), DIALOG_STYLE | WS_SYSMENU)
        self.assertTrue(win["topmost"], "the main dialog is top-most")
        self.assertIsNone(win["owner"])
        self.assertCentred(win["rect"], win["work"], "main dialog in the work area")
        self.assertEqual(win["focus_id"], 1, "the focus starts on OK")
        # No server block to read: the host field keeps the machine's name.
        host = socket.gethostname()
        self.assertIn(win["controls"][3]["text"], {host, host.split(".")[0]})
        # Escape ends the tool.
        self.s.driver("key", hwnd=main["hwnd"], key="escape")
        program.wait(10)

    # ------------------------------------------------------------ both

    def test_about_boxes(self):
        for name, texts in PROGRAMS.items():
            with self.subTest(program=name):
                self.check_about_box(name, texts)

    def check_about_box(self, name, texts):
        # pathsetup's tree lacks bin\php.ini: once its adaptation run exists
        # the run stops at a message box and the hidden startup dialog stays
        # alive behind it for as long as the test needs.
        tree, exe = self.tree_with(f"about_{name}", name)
        program = self.start(tree, exe)
        main = self.main_window(texts["main"], f"{name}.exe")
        if name == "pathsetup":
            # Let the run reach its message box first (when it exists), so
            # that the About command is not handled in the middle of it.
            self.s.driver("msgbox", exe="pathsetup.exe", caption="pathsetup", timeout=5000,
                          check=False)
        # Open it three times: with the About command, with a command that
        # differs only in its low four bits, and again; closed each time in
        # another way.
        closes = [(0x0010, "ok"), (0x0013, "escape"), (0x0010, "close box")]
        for n, (command, close) in enumerate(closes):
            # (The main dialog as it was before the command.)
            before = self.s.driver("syscommand", hwnd=main["hwnd"], cmd=command)["window"]
            if n == 0:
                # A main dialog that a message box has disabled stays so.
                starts_enabled = before["enabled"]
            elif starts_enabled:
                self.assertTrue(before["enabled"],
                                f"enabled again after closing by {closes[n - 1][1]}")
            about = self.s.driver("wait", caption=texts["about"], exe=f"{name}.exe",
                                  visible=1)["window"]
            self.assertEqual(about["owner"], main["hwnd"], "owned by the main dialog")
            self.assertFalse(about["owner_enabled"], "the main dialog is disabled meanwhile")
            if n == 0:
                dump = self.s.driver("dump", hwnd=about["hwnd"])
                self.shot(name, dump["window"])
                self.assertDialog(dump, texts["about"], (235, 55),
                                  about_controls(texts["first_line"]), exact_flags=True)
                self.assertEqual(about["style"] & (DIALOG_STYLE | WS_SYSMENU),
                                 DIALOG_STYLE | WS_SYSMENU)
                # Centred over its owner, or in the work area when the owner
                # is hidden.
                around = about["owner_rect"] if about["owner_visible"] else about["work"]
                self.assertCentred(about["rect"], around, "About box")
            if close == "ok":
                self.s.driver("click", hwnd=about["hwnd"], id=1, wait_gone=5000)
            elif close == "escape":
                self.s.driver("key", hwnd=about["hwnd"], key="escape", wait_gone=5000)
            else:
                self.s.driver("syscommand", hwnd=about["hwnd"], cmd=SC_CLOSE, wait_gone=5000)
        if starts_enabled:
            after = self.s.driver("wait", hwnd=main["hwnd"])["window"]
            self.assertTrue(after["enabled"], "enabled again after closing by the close box")
        self.assertTrue(program.alive, "closing the About box leaves the program running")
        self.end_program(program, main)

    # ------------------------------------------------------------ pathsetup

    def test_pathsetup_startup_dialog(self):
        tree, exe = self.tree_with("path_startup", "pathsetup")
        program = self.start(tree, exe)
        main = self.main_window(START_CAPTION, "pathsetup.exe")
        dump = self.s.driver("dump", hwnd=main["hwnd"])
        win = dump["window"]
        if win["visible"]:
            # Once the adaptation run exists the dialog is hidden by the first
            # tick of its 1 ms timer: there is then nothing to photograph.
            self.shot("dialog", win)
        self.assertDialog(dump, START_CAPTION, (249, 49), STARTUP_CONTROLS, exact_flags=False)
        self.assertEqual(win["style"] & (DIALOG_STYLE | WS_SYSMENU), DIALOG_STYLE | WS_SYSMENU)
        self.assertTrue(win["exstyle"] & WS_EX_APPWINDOW, "has a taskbar button")
        self.assertIsNone(win["owner"])
        self.assertCentred(win["rect"], win["work"], "startup dialog in the work area")
        self.end_program(program, main)

    def test_progress_window(self):
        tree, exe = self.tree_with("path_progress", "pathsetup")
        tree.add_standins(apache=False)
        tree.write("bin/php.ini", 'extension_dir = "C:\\VELK\\php\\ext"\r\n')
        tree.write("conf/httpd.conf", 'ServerRoot "C:/VELK/Apache"\r\n')
        program = self.start(tree, exe)
        main = self.main_window(START_CAPTION, "pathsetup.exe")
        # The run waits 3 s before the progress stage.
        progress = self.main_window(PROGRESS_CAPTION, "pathsetup.exe", visible=1)
        dump = self.s.driver("dump", hwnd=progress["hwnd"], font_pt=10)
        win = dump["window"]
        self.shot("dialog", win)
        self.assertDialog(dump, PROGRESS_CAPTION, (215, 55), PROGRESS_CONTROLS, exact_flags=False)
        self.assertEqual(win["style"] & DIALOG_STYLE, DIALOG_STYLE)
        self.assertFalse(win["style"] & WS_SYSMENU, "no system menu, no close box")
        self.assertCentred(win["rect"], win["work"], "progress window in the work area")
        program.wait(20)

    # ------------------------------------------------------------ message box

    def test_message_box_caption_is_the_exe_name(self):
        cases = [
            # program, copied as, caption, message, what brings it up
            ("pathsetup", "setup2.exe", "setup2", "遗失php.ini文件。", None),
            ("hostsetup", "配置2.exe", "配置2", "遗失config.ini文件。", "ok"),
        ]
        reference = self.s.exclamation_icon_pixels()
        for program_name, exe_name, caption, message, trigger in cases:
            with self.subTest(exe=exe_name):
                tree, exe = self.tree_with(f"caption_{program_name}", program_name, exe_name)
                program = self.start(tree, exe)
                main = self.main_window(PROGRAMS[program_name]["main"], exe_name)
                if trigger == "ok":
                    self.s.driver("click", hwnd=main["hwnd"], id=1)
                found = self.s.driver("msgbox", exe=exe_name, caption=caption, timeout=5000,
                                      check=False)
                if not found["ok"]:
                    self.fail(f"no message box captioned {caption!r}")
                box = found["box"]
                self.shot(program_name, box)
                self.assertEqual(box["caption_gbk"], caption.encode("gbk").hex())
                self.assertEqual(box["message_gbk"], message.encode("gbk").hex(),
                                 f"message {box['message']!r}")
                self.assertEqual([(b["id"], b["text"]) for b in box["buttons"]], [(1, "确定")])
                self.assertTrue(box["icon"], "shows an icon")
                self.assertEqual(self.s.pixels(box["icon_screen"]), reference,
                                 "the icon is the exclamation icon")
                self.assertEqual(box["owner"], main["hwnd"], "owned by the hidden main dialog")
                self.assertFalse(self.s.driver("wait", hwnd=main["hwnd"])["window"]["visible"])
                self.s.driver("msgbox", hwnd=box["hwnd"], press=1)
                program.wait(15)


if __name__ == "__main__":
    unittest.main(verbosity=2)
