#!/usr/bin/env python3
"""Time the four programs on their largest inputs against an empty program.

Usage: bench.py BIN   (BIN: the build directory that bench/run.sh makes)

Steps, all in a fresh scratch directory that is removed at the end:
 1. write the inputs (below) and run every program once on each, checking
    its exit status and its output, so that only correct runs are timed;
 2. time the commands side by side with hyperfine, each against the empty
    program started the same way (below), and read from the JSON export the
    median wall time and the mean processor time (user and system; on a
    busy machine it shows what the wall time would be without the other
    programs);
 3. measure the peak memory (largest resident set) of each command with
    GNU time;
 4. time the translator's rule passes on their own (see chars_per_second);
 5. print a Markdown table of the figures.

Two groups, one hyperfine run each. The programs that take their input
from the command line are started directly (hyperfine -N) beside the empty
program: through a shell, josephus's 1002 arguments alone would cost the
shell half a millisecond to parse. bitree reads its choices from the
console, so its input comes in by a shell's redirection; its group runs
through hyperfine's shell beside the empty program with the same
redirection, and hyperfine takes the start of the bare shell off every
figure. Before each timed run the output files are removed (hyperfine's
--prepare, not timed), so evaluator's result.txt does not grow from run to
run and every run writes its files from nothing.

The inputs are the largest that each program's limits allow:

  evaluator   a last line of 49 characters, the longest accepted: eight
              nested bracket pairs, each holding two operators of different
              precedence, so both stacks grow deep;
  bitree      choice 0 with 1023 equal bytes (a chain of 1023 right
              children), with the 249 distinct bytes a token can hold, the
              inorder reversed (the longest chain of left children), and
              with a balanced tree of 1023 nodes (ten levels; a node's byte
              is its level, so the first match in the inorder is always the
              right one); choices 1 and 2 with a prefix expression of 1023
              characters, 511 operators and 512 digits, nested 511 deep;
  translator  a 2-byte sentence grown to 1062882 characters in 6 passes
              (each rule multiplies every t by nine), on which the
              whole-run target is set: writing its 2 MB of words costs
              nearly as much as its passes;
              a 38-byte sentence and its line feed (39 bytes, the limit)
              with twelve nested groups, which expand to 12287 characters,
              and rules that grow it to 994375 characters (10 passes) and
              to 9943642 characters (20 passes, close to the bound of ten
              million);
  josephus    n = 1000 (the limit) with every count 2147483647, and with
              counts drawn from 1 to 2147483647 by a generator with a fixed
              seed.
"""
import json
import os
import platform
import random
import shlex
import shutil
import subprocess
import sys
import tempfile

WARMUP = 3          # untimed runs before each command's timed runs
MIN_RUNS = 20       # hyperfine adds runs to fill about three seconds
MEMORY_RUNS = 3     # runs per command for the peak memory; the largest counts
PASS_RUNS = 5       # runs of the pass timer per translator input
OUTPUTS = ("result.txt", "translate.txt", "out.txt")
TIME = "/usr/bin/time"  # GNU time, for the peak memory

# ============================================================== inputs


def evaluator_expression():
    """Eight nested groups "(e+d*d)" and "(e-d/d)": 49 characters."""
    expr = "1"
    for level in range(8):
        a, b = "23456789"[level], "3579"[level % 4]
        expr = "(" + expr + ("+%s*%s" if level % 2 == 0 else "-%s/%s") % (a, b) + ")"
    assert len(expr) == 49
    return expr


BLANKS = b" \t\n\r\v\f"  # the bytes that separate bitree's tokens


def balanced(level, levels):
    """Preorder and inorder of a perfect tree whose node bytes are levels."""
    if level == levels:
        return b"", b""
    here = bytes([ord("A") + level])
    pre, inorder = balanced(level + 1, levels)
    return here + pre + pre, inorder + here + inorder


def prefix_expression():
    """511 operators, then 512 digits: each operator's left operand is the
    next operator, its right operand a digit from 1 to 9, never zero."""
    ops = "".join("+-*/"[k % 4] for k in range(511))
    digits = "".join("123456789"[k % 9] for k in range(512))
    return (ops + digits).encode()


def prefix_value(prefix):
    """The value of prefix_expression(): 32-bit wrapping arithmetic, the
    division truncated toward zero."""
    ops, digits = prefix[:511].decode(), prefix[511:].decode()
    value = int(digits[0])
    for op, digit in zip(reversed(ops), digits[1:]):
        d = int(digit)
        if op == "+":
            value += d
        elif op == "-":
            value -= d
        elif op == "*":
            value *= d
        else:
            value = abs(value) // d * (1 if value >= 0 else -1)
        value = (value + 2**31) % 2**32 - 2**31
    return value


SENTENCE = "((((((((((((tas)d)s)e)z)g)x)n)h)t)d)s)"  # 38 bytes, 12 groups
SHORT_SENTENCE = "tt"
LETTERS = "tdsaezgxn"                               # letters that have a word
WORD_BYTES = {c: 2 for c in "tdszgxnhe"}
WORD_BYTES["a"] = 4                                 # every other byte: 8


def rule_file(rules, sentence):
    lines = [str(len(rules))] + ["%s = %s" % rule for rule in rules] + [sentence]
    return ("\n".join(lines) + "\n").encode()


RULES_6 = [("t", "t" * 9)] * 6
RULES_1M = [("t", LETTERS)] + [(c, c * 9) for c in LETTERS[1:]] + [("t", "t" * 9)]
RULES_10M = [("t", LETTERS)] + [(c, c * 9) for c in LETTERS] * 2 + [("t", "td")]


def expand(sentence):
    """The sentence after the bracket expansion (as the translator does it)."""
    stack = []
    for c in reversed(sentence):
        if c != "(":
            stack.append(c)
            continue
        theta, group = stack.pop(), []
        while (c := stack.pop()) != ")":
            group.append(c)
        for c in group:
            stack += [theta, c]
        stack.append(theta)
    return "".join(reversed(stack))


def translate_size(rules, sentence):
    """Bytes of translate.txt: count the letters through the passes (the
    sentence's line feed is no part of it)."""
    counts = {}
    for c in expand(sentence):
        counts[c] = counts.get(c, 0) + 1
    for symbol, replacement in rules:
        found = counts.pop(symbol, 0)
        for c in replacement:
            counts[c] = counts.get(c, 0) + found
    return sum(n * WORD_BYTES.get(c, 8) for c, n in counts.items())


def leaving_order(n, m, steps):
    """The seats in leaving order, as josephus writes them."""
    seats, order, at = list(range(1, n + 1)), [], 0
    for k in range(n):
        at = (at + max(m - 1, 0)) % len(seats)
        order.append(seats.pop(at))
        m = steps[order[-1] - 1]
    return "".join("%d " % s for s in order).encode()


class Bench:
    """One timed command: argv run in the scratch directory, stdin from a
    file there or from nothing, and a check of what the run leaves."""

    def __init__(self, name, argv, stdin=None, check=None, rules=None):
        self.name, self.argv, self.stdin = name, argv, stdin
        self.check = check  # (file or "stdout", bytes it holds or equals)
        self.rules = rules  # the rule file name, for the pass timer
        self.command = " ".join(shlex.quote(a) for a in argv)
        if stdin:
            self.command += " < " + stdin


def write_inputs(scratch, bin_dir):
    def write(name, data):
        with open(os.path.join(scratch, name), "wb") as f:
            f.write(data)

    def prog(p):
        return os.path.join(bin_dir, "programs", p, p)

    empty = os.path.join(bin_dir, "empty")
    benches = [Bench("empty program", [empty])]

    expr = evaluator_expression()
    write("expr.txt", (expr + "\n").encode())
    benches.append(Bench("evaluator: 49 characters, 8 bracket levels, 16 operators",
                         [prog("evaluator"), "expr.txt"],
                         check=("result.txt", expr.encode() + b"#")))

    chain = b"A" * 1023
    write("right_chain.txt", b"0 " + chain + b" " + chain + b"\n")
    benches.append(Bench("empty program, input redirected by the shell", [empty],
                         "right_chain.txt"))
    benches.append(Bench("bitree 0: right chain of 1023 equal bytes", [prog("bitree")],
                         "right_chain.txt", ("stdout", chain)))
    distinct = bytes(b for b in range(1, 256) if b not in BLANKS)
    write("left_chain.txt", b"0 " + distinct + b" " + distinct[::-1] + b"\n")
    benches.append(Bench("bitree 0: left chain of %d distinct bytes" % len(distinct),
                         [prog("bitree")], "left_chain.txt", ("stdout", distinct[::-1])))
    pre, inorder = balanced(0, 10)
    write("balanced.txt", b"0 " + pre + b" " + inorder + b"\n")
    benches.append(Bench("bitree 0: balanced tree of %d nodes" % len(pre), [prog("bitree")],
                         "balanced.txt", ("stdout", inorder)))
    prefix = prefix_expression()
    write("prefix_forms.txt", b"1 " + prefix + b"\n")
    benches.append(Bench("bitree 1: prefix expression of %d characters" % len(prefix),
                         [prog("bitree")], "prefix_forms.txt", ("stdout", prefix)))
    write("prefix_value.txt", b"2 " + prefix + b"\n")
    benches.append(Bench("bitree 2: prefix expression of %d characters" % len(prefix),
                         [prog("bitree")], "prefix_value.txt",
                         ("stdout", b"%d" % prefix_value(prefix))))

    for name, what, sentence, rules in (
            ("rules_6.txt", "2 bytes", SHORT_SENTENCE, RULES_6),
            ("rules_1m.txt", "39 bytes, 12 groups", SENTENCE, RULES_1M),
            ("rules_10m.txt", "39 bytes, 12 groups", SENTENCE, RULES_10M)):
        write(name, rule_file(rules, sentence))
        benches.append(Bench("translator: %s, %d passes" % (what, len(rules)),
                             [prog("translator"), name],
                             check=("translate.txt", translate_size(rules, sentence)),
                             rules=name))

    rng = random.Random(20240601)
    for what, counts in (("every count 2147483647", [2147483647] * 1001),
                         ("random counts", [rng.randint(1, 2147483647) for _ in range(1001)])):
        benches.append(Bench("josephus: n = 1000, " + what,
                             [prog("josephus"), "1000"] + [str(c) for c in counts],
                             check=("out.txt", leaving_order(1000, counts[0], counts[1:]))))
    return benches

# ============================================================== measuring


def clean(scratch):
    for name in OUTPUTS:
        path = os.path.join(scratch, name)
        if os.path.exists(path):
            os.remove(path)


def run_once(bench, scratch):
    """Run bench once; return (exit status, standard output)."""
    clean(scratch)
    stdin = open(os.path.join(scratch, bench.stdin), "rb") if bench.stdin else subprocess.DEVNULL
    try:
        proc = subprocess.run(bench.argv, cwd=scratch, stdin=stdin, capture_output=True)
    finally:
        if bench.stdin:
            stdin.close()
    return proc.returncode, proc.stdout


def peak_memory(bench, scratch):
    """Largest resident set of one run, in KiB, as GNU time reports it.

    GNU time is a small process of its own, so what the program inherits
    from it before it starts hardly counts; the empty program's figure
    shows that floor."""
    clean(scratch)
    report = os.path.join(scratch, "time.txt")
    stdin = open(os.path.join(scratch, bench.stdin), "rb") if bench.stdin else subprocess.DEVNULL
    try:
        subprocess.run([TIME, "-f", "%M", "-o", report] + bench.argv, cwd=scratch, stdin=stdin,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    finally:
        if bench.stdin:
            stdin.close()
    with open(report) as f:
        return int(f.read().split()[-1])


def verify(bench, scratch):
    """Run bench once and fail loudly unless it did its work correctly."""
    status, stdout = run_once(bench, scratch)
    problem = None
    if status != 0:
        problem = "exit status %d" % status
    elif bench.check:
        where, want = bench.check
        if where == "stdout":
            got = stdout
        else:
            with open(os.path.join(scratch, where), "rb") as f:
                got = f.read()
        if isinstance(want, int):
            if len(got) != want:
                problem = "%s holds %d bytes, not %d" % (where, len(got), want)
        elif where == "out.txt":
            if got != want:
                problem = "out.txt differs from the leaving order"
        elif want not in got:
            problem = "%s lacks what it should hold" % where
    if problem:
        sys.exit("bench: %s: %s" % (bench.name, problem))


def hyperfine(benches, scratch, shell):
    """Time the commands in one hyperfine run, through its shell or not;
    return, per command, the median wall time and the mean processor time
    (user and system), in seconds (less the bare shell's, through it)."""
    export = os.path.join(scratch, "hyperfine.json")
    cmd = ["hyperfine", "--warmup", str(WARMUP), "--min-runs", str(MIN_RUNS),
           "--prepare", "rm -f " + " ".join(OUTPUTS), "--style", "basic",
           "--export-json", export] + ([] if shell else ["-N"])
    for b in benches:
        cmd += ["--command-name", b.name, b.command]
    subprocess.run(cmd, cwd=scratch, check=True, stdout=sys.stderr)
    with open(export) as f:
        results = json.load(f)["results"]
    return [(r["median"], r["user"] + r["system"]) for r in results]


def chars_per_second(bench, scratch, bin_dir):
    """Characters made per second by the rule passes alone.

    pass_rate runs the translator's own library on the rule file and times
    MidDeal, the call that makes every rule pass, with a steady clock; it
    counts the characters each pass appends to the queue (from a census of
    the expanded sentence, checked against the queue afterwards). It runs
    PASS_RUNS times, each a fresh process as the translator would be; the
    median counts, of the wall time and of the processor time apart.
    Returns (characters made, most characters held, median seconds, median
    processor seconds)."""
    runs = []
    for _ in range(PASS_RUNS):
        out = subprocess.run([os.path.join(bin_dir, "pass_rate"), bench.rules], cwd=scratch,
                             check=True, capture_output=True, text=True).stdout.split()
        runs.append((int(out[0]), int(out[1]), float(out[2]), float(out[3])))
    made, held = runs[0][0], runs[0][1]
    return (made, held, sorted(r[2] for r in runs)[len(runs) // 2],
            sorted(r[3] for r in runs)[len(runs) // 2])

# ============================================================== report


def machine():
    model = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    system = platform.system()
    try:
        system = platform.freedesktop_os_release()["PRETTY_NAME"]
    except (AttributeError, OSError, KeyError):
        pass
    return "%s, %d logical CPUs (nproc), %s" % (model, os.cpu_count(), system)


def load():
    return "%.2f %.2f %.2f" % os.getloadavg()


def ms(seconds):
    return "%.2f ms" % (seconds * 1000)


def mib(kib):
    return "%.1f MiB" % (kib / 1024)


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    scratch = tempfile.mkdtemp(prefix="dsd-bench-")
    try:
        benches = write_inputs(scratch, bin_dir)
        for b in benches:
            verify(b, scratch)
        load_before = load()
        direct = [b for b in benches if not b.stdin]
        shelled = [b for b in benches if b.stdin]
        times = dict(zip(direct, hyperfine(direct, scratch, shell=False)))
        times.update(zip(shelled, hyperfine(shelled, scratch, shell=True)))
        load_after = load()
        peaks = {b: max(peak_memory(b, scratch) for _ in range(MEMORY_RUNS)) for b in benches}
        passes = {b.name: chars_per_second(b, scratch, bin_dir) for b in benches if b.rules}
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    print()
    print("Machine: " + machine())
    print("Load average (1, 5, 15 min): %s before timing, %s after" % (load_before, load_after))
    print()
    print("| input | median wall time | vs empty | CPU time vs empty | peak memory "
          "| whole run | rule passes |")
    print("|---|---|---|---|---|---|---|")
    for b in direct + shelled:
        median, cpu = times[b]
        empty, empty_cpu = times[shelled[0] if b.stdin else direct[0]]
        peak = peaks[b]
        whole, alone = "", ""
        if b.name in passes:
            made, held, seconds, cpu_seconds = passes[b.name]
            whole = "%.1f M chars/s (%.1f M per CPU second)" % (
                made / (median - empty) / 1e6, made / (cpu - empty_cpu) / 1e6)
            alone = "%.1f M chars/s (%.1f M per CPU second); %.1f bytes per char held" % (
                made / seconds / 1e6, made / cpu_seconds / 1e6, peak * 1024 / held)
        print("| %s | %s | %.2fx | %.2fx | %s | %s | %s |" % (
            b.name, ms(median), median / empty, cpu / empty_cpu, mib(peak), whole, alone))
    print()
    print("Targets: evaluator, bitree and josephus within 2x the empty program's median "
          "wall time; translator at least 20 M chars/s through the rule passes, at least "
          "18 M chars/s over the whole run on the 2-byte input, and at most 40 bytes of "
          "peak memory per character held. bitree is compared with the empty program "
          "started the same way, through the shell with its input redirected.")
    print("Whole run: the characters that the rule passes make, divided by the run's "
          "median wall time less the empty program's (and by its CPU time less the empty "
          "program's). Rule passes: the same characters divided by the time of the passes "
          "alone, from the pass timer.")
    empty, shell_empty = times[direct[0]][0], times[shelled[0]][0]
    print("bitree's time beyond its empty program, added to the directly started empty "
          "program's: " + ", ".join("%.2fx" % ((empty + times[b][0] - shell_empty) / empty)
                                   for b in shelled[1:]) + ".")
    for b in direct:
        if b.name in passes:
            made, held, seconds, _ = passes[b.name]
            print("%s: the passes make %d characters in %s (median of %d runs of the pass "
                  "timer), at most %d held at once."
                  % (b.name, made, ms(seconds), PASS_RUNS, held))

if __name__ == "__main__":
    main()
