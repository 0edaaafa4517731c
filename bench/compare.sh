#!/usr/bin/env bash
# Usage: bench/compare.sh PEER_BINARY [QUORBELIX_SOLVE] [ROUNDS] [FILTER]
# Whole-process wall times of quorbelix-solve against another solver of the game that takes
# "TARGET P1 ... P6" (a target may be START..END), such as the numbers solver: the runs
# alternate between the programs, round after round, so that a change of machine load
# hits both alike; each row gives the medians over ROUNDS runs (default 201) and
# the ratio theirs / ours (above 1: we are faster), of wall time and of CPU time (user +
# system, all threads: on a loaded machine it moves less than wall time, but it counts
# both threads of a two-threaded solver). Output goes to /dev/null. The peer's default output
# lists distinct expressions, so --distinct is measured against it too; --nearest is
# measured against our own --count on the same unreachable target. FILTER, when given,
# keeps only the rows whose label contains it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
peer=${1:?usage: bench/compare.sh PEER_BINARY [QUORBELIX_SOLVE] [ROUNDS] [FILTER]}
ours=${2:-$root/build/bin/quorbelix-solve}
rounds=${3:-201}
filter=${4:-}
exec python3 - "$peer" "$ours" "$rounds" "$filter" <<'PYTHON'
import os, statistics, sys, time

peer, ours, rounds, only = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
null = os.open(os.devnull, os.O_WRONLY)

def run(argv):
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ,
                         file_actions=[(os.POSIX_SPAWN_DUP2, null, 1)])
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(argv)}")
    return elapsed, usage.ru_utime + usage.ru_stime

def compare(label, theirs, mine, rounds):
    if only not in label:
        return
    walls, cpus = [[], []], [[], []]
    for round in range(rounds):
        order = (0, 1) if round % 2 == 0 else (1, 0)
        for side in order:
            wall, cpu = run((theirs, mine)[side])
            walls[side].append(wall)
            cpus[side].append(cpu)
    a, b = statistics.median(walls[0]), statistics.median(walls[1])
    c, d = statistics.median(cpus[0]), statistics.median(cpus[1])
    print(f"| {label} | {a * 1e3:.2f} ms | {b * 1e3:.2f} ms | {a / b:.2f} "
          f"| {c * 1e3:.2f} ms | {d * 1e3:.2f} ms | {c / max(d, 1e-6):.2f} |", flush=True)

draws = [("1 1 1 1 1 1", "999"), ("100 75 50 25 10 1", "999"), ("1 2 3 4 5 6", "21"),
         ("1 3 5 7 9 10", "911"), ("50 1 100 5 1 75", "121"), ("7 1 3 5 2 100", "102"),
         ("100 2 50 25 3 25", "145")]
print(f"{rounds} alternating rounds; medians; ratio = theirs / ours")
print("| run | wall, theirs | wall, ours | ratio | CPU, theirs | CPU, ours | ratio |")
print("| --- | ---: | ---: | ---: | ---: | ---: | ---: |")
for plates, target in draws:
    compare(f"{plates} → {target}, --count", [peer, target, *plates.split()],
            [ours, "--count", *plates.split(), target], rounds)
for plates, target in [("1 2 3 4 5 6", "21"), ("50 1 100 5 1 75", "121")]:
    compare(f"{plates} → {target}, every solution", [peer, target, *plates.split()],
            [ours, *plates.split(), target], rounds)
range_rounds = max(3, rounds // 20)
for plates in ["100 75 50 25 10 1", "1 2 3 4 5 6"]:
    compare(f"{plates} → 100..999, --count", [peer, "100..999", *plates.split()],
            [ours, "--count", *plates.split(), "100..999"], range_rounds)
    compare(f"{plates} → 100..999, every solution", [peer, "100..999", *plates.split()],
            [ours, *plates.split(), "100..999"], range_rounds)
for plates, target in [("1 2 3 4 5 6", "21"), ("100 75 50 25 10 1", "999")]:
    compare(f"{plates} → {target}, --distinct", [peer, target, *plates.split()],
            [ours, "--distinct", *plates.split(), target], rounds)
    compare(f"{plates} → 100..999, --distinct", [peer, "100..999", *plates.split()],
            [ours, "--distinct", *plates.split(), "100..999"], range_rounds)
print("--nearest against our --count on the same unreachable target (theirs: --count)")
for plates, target in [("1 1 1 1 1 1", "999"), ("1 3 5 7 9 10", "911"), ("100 75 50 25 10 1", "123457")]:
    compare(f"{plates} → {target}, --nearest", [ours, "--count", *plates.split(), target],
            [ours, "--nearest", *plates.split(), target], rounds)
PYTHON
