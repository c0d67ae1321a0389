#!/usr/bin/env python3
"""The demo's run: a sample installation tree, pathsetup then hostsetup under
Wine, driven as an administrator would, and a report of what changed."""

import argparse
import difflib
import socket
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from koravi_e2e import Tree, read_records, session  # noqa: E402

HOST_CAPTION = "KoraviOA 应用服务器配置"
PROGRESS_CAPTION = "KoraviOA 系统智能配置"
DONE_CAPTION = "提示"

PHP_INI = (
    "[PHP]\r\n"
    "; Paths of the package as shipped\r\n"
    "include_path = \".;C:\\VELK\\php\\includes\"\r\n"
    "extension_dir = \"C:\\VELK\\php\\ext\"\r\n"
    "upload_tmp_dir = \"C:\\VELK\\tmp\"\r\n"
    "session.save_path = \"C:\\VELK\\tmp\"\r\n"
    "error_log = \"C:\\VELK\\logs\\php_error.log\"\r\n")
HTTPD_CONF = (
    "# Apache configuration of the KoraviOA package\r\n"
    "ServerRoot \"C:/VELK\"\r\n"
    "DocumentRoot \"C:/VELK/www\"\r\n"
    "<Directory \"C:/VELK/www\">\r\n"
    "    AllowOverride All\r\n"
    "</Directory>\r\n"
    "ErrorLog \"C:/VELK/logs/error.log\"\r\n"
    "LoadModule php5_module \"C:/VELK/php/php5apache2.dll\"\r\n"
    "PHPIniDir \"C:/VELK/bin\"\r\n")
CONFIG_INI = "[Setting]\r\nQuilloURL=http://localhost:80/"


def step(text):
    print(text, flush=True)


def wait_with_progress(what, program, seconds):
    """Waits for the program to end, printing a progress line meanwhile."""
    start = time.monotonic()
    while program.alive:
        elapsed = time.monotonic() - start
        if elapsed > seconds * 4 + 30:
            program.kill()
            raise SystemExit(f"demo: {what} did not end within {elapsed:.0f} s")
        print(f"\r      {what}: {elapsed:4.1f} s (its fixed waits take about {seconds} s)",
              end="", flush=True)
        time.sleep(0.2)
    print(f"\r      {what}: ended after {time.monotonic() - start:.1f} s" + " " * 30, flush=True)


def show_diff(label, before, after):
    a = before.decode("gbk", errors="replace").splitlines(keepends=False)
    b = after.decode("gbk", errors="replace").splitlines(keepends=False)
    diff = list(difflib.unified_diff(a, b, f"{label} (before)", f"{label} (after)", lineterm=""))
    print("\n".join(diff) if diff else f"(no change in {label})")
    print()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--host", default=socket.gethostname())
    parser.add_argument("--port", default="8080")
    args = parser.parse_args()

    sess = session()
    cfg = sess.cfg
    tree = Tree(sess, "demo")
    tree.write("bin/php.ini", PHP_INI)
    tree.write("conf/httpd.conf", HTTPD_CONF)
    tree.write("Nesto/config.ini", CONFIG_INI)
    tree.add_standins()
    pathsetup = tree.add_program(cfg.pathsetup)
    hostsetup = tree.add_program(cfg.hostsetup)
    my_ini = sess.prefix_unix(r"C:\windows\my.ini")
    if my_ini.exists():
        my_ini.unlink()
    services_log = sess.services_log()
    if services_log.exists():
        services_log.unlink()
    before = {rel: tree.read(rel) for rel in ("bin/php.ini", "conf/httpd.conf", "Nesto/config.ini")}
    shots = []

    step(f"[3/4] pathsetup: {pathsetup}")
    program = tree.run(pathsetup)

    def catch_progress():
        try:
            win = sess.driver("wait", caption=PROGRESS_CAPTION, timeout=20000)
            time.sleep(2)
            shots.append(sess.screenshot("demo_pathsetup_progress", win["window"]["rect"]))
        except AssertionError:
            pass
    catcher = threading.Thread(target=catch_progress)
    catcher.start()
    wait_with_progress("pathsetup", program, 9.5)
    catcher.join()

    step(f"[4/4] hostsetup: {hostsetup}  (host {args.host}, port {args.port})")
    program = tree.run(hostsetup)
    dlg = sess.driver("wait", caption=HOST_CAPTION, timeout=30000)
    shots.append(sess.screenshot("demo_hostsetup_dialog", dlg["window"]["rect"]))
    hwnd = dlg["window"]["hwnd"]
    sess.driver("set-text", hwnd=hwnd, id=1000, text=args.host)
    sess.driver("set-text", hwnd=hwnd, id=1004, text=args.port)
    shots.append(sess.screenshot("demo_hostsetup_filled", dlg["window"]["rect"]))
    sess.driver("click", hwnd=hwnd, id=1)
    print("      OK pressed; waiting for the completion box (2 s fixed wait)", flush=True)
    box = sess.driver("msgbox", caption=DONE_CAPTION, exe="hostsetup.exe", timeout=30000)["box"]
    shots.append(sess.screenshot("demo_hostsetup_done", box.get("rect")))
    sess.driver("msgbox", hwnd=box["hwnd"], press=1)
    wait_with_progress("hostsetup", program, 0)
    time.sleep(1.5)  # the browser and services start on their own

    print("\n==== What changed")
    for rel, old in before.items():
        show_diff(tree.win(rel), old, tree.read(rel))
    show_diff(r"C:\windows\my.ini", b"", my_ini.read_bytes() if my_ini.exists() else b"")
    records = tree.records()
    print("==== Command lines the stand-ins received")
    for rec in records:
        if "browser" not in "".join(rec).lower():
            print("  " + "  ".join(rec))
    for rec in read_records(services_log):
        print("  service: " + "  ".join(rec))
    print("\n==== URL opened in the browser")
    for rec in records:
        if "browser" in "".join(rec).lower():
            print("  " + "  ".join(rec))
    print("\n==== Screenshots")
    for s in shots:
        print(f"  {s}")


if __name__ == "__main__":
    main()
