#!/usr/bin/env python3
"""The setup programs' own cost: the size of each .exe, and under Wine the
time hostsetup takes from OK to its completion box beyond its fixed 2000 ms
wait, and pathsetup's whole run beyond its fixed waits (3000 ms, the five
seconds of counting, 1000 ms). The times include Wine's start-up and the
driver's reaction time, so they are upper bounds of the programs' own work.

  program_cost.py WIN64_BUILD WIN32_BUILD [RUNS]
"""

import os
import sys
import time
from pathlib import Path

WIN64, WIN32 = Path(sys.argv[1]), Path(sys.argv[2])
RUNS = int(sys.argv[3]) if len(sys.argv) > 3 else 3
os.environ.setdefault("KORAVI_E2E_BUILD", str(WIN64))
os.environ.setdefault("KORAVI_E2E_BIN", str(WIN64 / "tests/e2e/bin"))
os.environ.setdefault("KORAVI_HOSTSETUP", str(WIN64 / "hostsetup/hostsetup.exe"))
os.environ.setdefault("KORAVI_PATHSETUP", str(WIN64 / "pathsetup/pathsetup.exe"))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from koravi_e2e import Tree, session  # noqa: E402

HTTPD = 'ServerRoot "C:/VELK"\r\nDocumentRoot "C:/VELK/www"\r\n' * 200
PHP = 'extension_dir = "C:\\VELK\\php\\ext"\r\n' * 200


def sizes():
    print("== program sizes (bytes) ==")
    for arch, build in (("x86-64", WIN64), ("i686", WIN32)):
        for name in ("hostsetup", "pathsetup"):
            exe = build / name / f"{name}.exe"
            size = exe.stat().st_size if exe.exists() else None
            print(f"  {arch:7} {name}.exe  {size if size is not None else 'not built'}")


def tree(s, name):
    t = Tree(s, name)
    t.write("bin/php.ini", PHP)
    t.write("conf/httpd.conf", HTTPD)
    t.write("Nesto/config.ini", "[Setting]\r\nQuilloURL=http://old:80/")
    t.add_standins()
    return t


def hostsetup_cost(s, i):
    t = tree(s, f"cost_host{i}")
    program = t.run(t.add_program(s.cfg.hostsetup))
    dlg = s.driver("wait", caption="KoraviOA 应用服务器配置", timeout=30000)["window"]
    start = time.monotonic()
    s.driver("click", hwnd=dlg["hwnd"], id=1)
    box = s.driver("msgbox", caption="提示", exe="hostsetup.exe", timeout=30000)["box"]
    elapsed = (time.monotonic() - start) * 1000
    s.driver("msgbox", hwnd=box["hwnd"], press=1)
    program.wait(30)
    return elapsed - 2000


def pathsetup_cost(s, i):
    t = tree(s, f"cost_path{i}")
    exe = t.add_program(s.cfg.pathsetup)
    start = time.monotonic()
    program = t.run(exe)
    program.wait(60)
    return (time.monotonic() - start) * 1000 - 9000


def main():
    sizes()
    s = session()
    host = [hostsetup_cost(s, i) for i in range(RUNS)]
    path = [pathsetup_cost(s, i) for i in range(RUNS)]
    print("== programs under Wine, beyond their fixed waits (ms; min / max of "
          f"{RUNS} runs) ==")
    print(f"  hostsetup OK -> completion box, minus 2000 ms:   {min(host):7.0f} / {max(host):7.0f}")
    print(f"  pathsetup whole run, minus 9000 ms:              {min(path):7.0f} / {max(path):7.0f}")


if __name__ == "__main__":
    main()
