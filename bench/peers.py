#!/usr/bin/env python3
"""The peers of the default-root replacement, timed on the same texts.

  peers.py python OUT.json FILE...
      Python's bytes.replace, in this process: per file the minimum over
      repetitions of the mean time of a batch of calls, in CPU time.
  peers.py programs OUT.json DRIVER TMPDIR FILE...
      Whole runs, in CPU time of the child (minimum of three, of two from
      256 MB on): GNU sed's
      literal substitution with LC_ALL=C, and DRIVER (reads the file whole,
      replaces, writes the result), whose peak memory is recorded too.

Both replace the default root C:\\VELK by E:\\KORAVI\\OA, byte for byte, with
no regard for two-byte characters.
"""
import json
import os
import resource
import subprocess
import sys
import time

FROM = b"C:\\VELK"
TO = b"E:\\KORAVI\\OA"


def time_python(path):
    data = open(path, "rb").read()
    repetitions = 3 if len(data) >= 64 << 20 else 5
    best = None
    for _ in range(repetitions):
        calls, start = 0, time.process_time()
        while True:
            result = data.replace(FROM, TO)
            del result
            calls += 1
            spent = time.process_time() - start
            if spent >= 0.05 or calls >= 1000:
                break
        mean = spent / calls
        best = mean if best is None else min(best, mean)
    return best


def child_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def time_program(argv, stdout_path=None, runs=3):
    """Minimum CPU time of `runs` runs, and the output of the last."""
    best, output = None, None
    for _ in range(runs):
        before = child_cpu()
        if stdout_path:
            with open(stdout_path, "wb") as out:
                subprocess.run(argv, stdout=out, check=True, env=dict(os.environ, LC_ALL="C"))
        else:
            output = subprocess.run(argv, stdout=subprocess.PIPE, check=True).stdout
        spent = child_cpu() - before
        best = spent if best is None else min(best, spent)
    return best, output


def main():
    what, out_json = sys.argv[1], sys.argv[2]
    results = {}
    if what == "python":
        for path in sys.argv[3:]:
            results[os.path.basename(path)] = {"python": time_python(path)}
    elif what == "programs":
        driver, tmp = sys.argv[3], sys.argv[4]
        os.makedirs(tmp, exist_ok=True)
        target = os.path.join(tmp, "replaced.txt")
        sed_script = "s/" + FROM.decode().replace("\\", "\\\\") + "/" + TO.decode().replace("\\", "\\\\") + "/g"
        for path in sys.argv[5:]:
            runs = 2 if os.path.getsize(path) >= 256 << 20 else 3
            sed, _ = time_program(["sed", sed_script, path], stdout_path=target, runs=runs)
            sed_size = os.path.getsize(target)
            ours, output = time_program([driver, path, target, FROM.decode(), TO.decode()], runs=runs)
            in_bytes, out_bytes, max_rss = (int(x) for x in output.split())
            results[os.path.basename(path)] = {
                "sed": sed, "sed_output": sed_size, "driver": ours,
                "input": in_bytes, "output": out_bytes, "max_rss": max_rss}
            os.remove(target)
    else:
        sys.exit("usage: peers.py python|programs ...")
    with open(out_json, "w") as f:
        json.dump(results, f, indent=1)


if __name__ == "__main__":
    main()
