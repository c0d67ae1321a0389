"""The test machinery itself: driver.exe on probe.exe, a dialog whose every
property is known, and the stand-ins, so that a wrong reading of the
machinery is not mistaken for a fault of the programs.

Run: python3 tests/e2e/test_driver.py (see koravi_e2e.py for the environment).
"""

import time
import unittest

from koravi_e2e import E2ETestCase, Tree, read_records, wait_until


class Driver(E2ETestCase):

    def test_dump_set_text_and_progress_sampling(self):
        probe = self.s.spawn(self.s.cfg.bin / "probe.exe", ["progress"], name="probe.exe")
        self.programs.append(probe)
        window = self.s.driver("wait", caption="probe progress", exe="probe.exe", visible=1)["window"]
        # A 10 pt dialog: its template's units come back exactly.
        dump = self.s.driver("dump", hwnd=window["hwnd"], font_pt=10)
        self.assertEqual(dump["window"]["client_dlu"], [215, 55])
        self.assertEqual([(c["id"], c["dlu"]) for c in dump["window"]["controls"]],
                         [(1001, [7, 26, 201, 14]), (1002, [10, 9, 105, 9])])
        changed = self.s.driver("set-text", hwnd=window["hwnd"], id=1002, text="正在 淺")
        self.assertEqual(changed["text_gbk"], "正在 淺".encode("gbk").hex())
        # The probe's bar gains one every 40 ms; at 100 its thread sleeps
        # 500 ms with the text "done", then the window goes.
        run = self.s.driver("progress", hwnd=window["hwnd"], id=1001, text_id=1002, every=10,
                            **{"for": 8000})
        positions = [pos for _, pos in run["samples"] if pos is not None]
        self.assertGreater(len(positions), 20)
        self.assertEqual(positions, sorted(positions), "the bar never goes back")
        self.assertGreaterEqual(positions[-1], 95)
        self.assertEqual(run["texts"][0][1], "正在 淺")
        self.assertEqual(run["texts"][-1][1], "done")
        done_at = run["texts"][-1][0]
        self.assertIsNotNone(run["gone_at"])
        # The sleeping thread cannot answer, yet the text and the end are seen.
        self.assertGreater(run["missed"], 0)
        self.assertTrue(400 <= run["gone_at"] - done_at <= 1500, run)
        self.s.driver("wait-exit", exe="probe.exe", timeout=10000)
        self.assertFalse(probe.alive)

    def test_standins_record_their_starts(self):
        # A root with a space and a character outside ASCII, as the programs
        # put it into command lines: unquoted.
        tree = Tree(self.s, "standins", root_name="办公 淺")
        tree.add_standins()
        before = time.time() * 1000
        apache = tree.win("bin\\apache.exe")
        self.assertEqual(self.s.run_windows([apache, "-n", "Koravi_OA", "-k", "install"],
                                            env=tree.env, cwd=tree.root), 0)
        for name in ("Nesto_Server", "Nesto_Server", "MySQL_OA"):
            self.s.run_windows(["net", "start", name], timeout=60)
        self.s.run_windows(["start", "http://srv01:8080"], env=tree.env, timeout=60)
        records = wait_until(lambda: len(tree.records()) >= 2 and tree.records(), 20,
                             "the browser's record")
        after = time.time() * 1000
        (t1, path1, cwd1, line1), (t2, path2, _, line2) = records
        self.assertEqual(path1, "E:\\办公 淺\\bin\\apache.exe")
        self.assertEqual(cwd1, "E:\\办公 淺")
        self.assertTrue(line1.endswith(" -n Koravi_OA -k install"), line1)
        self.assertEqual(path2, "C:\\koravi-e2e\\browser.exe")
        self.assertTrue(line2.endswith(' "http://srv01:8080"'), line2)
        services = read_records(self.s.services_log())
        self.assertEqual([(r[1], r[2]) for r in services],
                         [("started", "Nesto_Server"), ("started", "Nesto_Server"),
                          ("started", "MySQL_OA")])
        for t in [int(t1), int(t2)] + [int(r[0]) for r in services]:
            self.assertTrue(before - 50 <= t <= after + 50, (before, t, after))


if __name__ == "__main__":
    unittest.main(verbosity=2)
