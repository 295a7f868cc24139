#!/usr/bin/env python3
"""Grade a small class with the Windows build of the kit under Wine.

    wine_test.py GRADER_EXE JOSEPHUS_EXE

The class hands in executables, since Wine brings no compiler: our own
josephus.exe (答案正确 on every case), one that writes through a null
pointer (运行错误, 段错误, exception code 0xC0000005) and one that never
ends (运行超时, by the wall clock). What Wine cannot show is left out: it
keeps no job accounting (CPU time and peak memory read 0) and does not
enforce a job's memory limit, so 内存超限 and the CPU limit are Windows'
own to prove. Wine's debugger, which would hold a crashed program open, is
turned off in the Wine prefix first, as it is off on a Windows without a
debugger registered."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

GRADER, OURS = sys.argv[1], sys.argv[2]
WINE = os.environ.get("WINE", "wine")
env = dict(os.environ, WINEDEBUG="-all")
failures = []

subprocess.run([WINE, "reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug",
                "/v", "Debugger", "/t", "REG_SZ", "/d", "", "/f"], env=env,
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
with tempfile.TemporaryDirectory() as tmp:
    cls = os.path.join(tmp, "class")
    for name, body in (("segv", "*(volatile int *)0 = 1; return 0;"),
                       ("loop", "for (volatile int i = 0;; i++) {}")):
        os.makedirs(os.path.join(cls, name))
        source = os.path.join(tmp, name + ".c")
        open(source, "w").write("int main(void) { " + body + " }\n")
        subprocess.run(["x86_64-w64-mingw32-gcc", "-O2", "-o", os.path.join(cls, name, name + ".exe"),
                        source], check=True)
    os.makedirs(os.path.join(cls, "ours"))
    shutil.copy(OURS, os.path.join(cls, "ours", "josephus.exe"))
    out = os.path.join(tmp, "out")
    run = subprocess.run([WINE, GRADER, "josephus", cls, "--jobs", "1", "--time-limit", "0.5s",
                          "--out", out], env=env, capture_output=True, timeout=600)
    if run.returncode != 0:
        failures.append("grader.exe exit %d: %s" % (run.returncode, run.stderr.decode("gbk", "replace")))
    else:
        report = json.load(open(os.path.join(out, "report.json"), encoding="utf-8"))
        got = {s["name"]: s["cases"] for s in report["students"]}
        expected = {"ours": ("AC", ""), "segv": ("RE", "段错误而终止（异常代码 0xC0000005）"), "loop": ("TLE", "")}
        for name, (verdict, words) in expected.items():
            for c in got.get(name, [{"id": "-", "verdict": None, "reason": ""}]):
                if c["verdict"] != verdict or words not in c["reason"]:
                    failures.append("%s on %s: %s %s, expected %s" % (name, c["id"], c["verdict"],
                                                                    c["reason"], verdict))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
