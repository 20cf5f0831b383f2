#!/usr/bin/env python3
"""Engine speed against fairy-stockfish, side by side in one run.

perft: the processor time of perft 5 from the start position, ours
(tools/perft) against fairy-stockfish's "go perft 5". search: nodes per second over the
search benchmark positions, each searched for the same time by both engines
(fairy-stockfish with one thread, xiangqi variant, the same hash size).

  bench/compare_fairy_stockfish.py [--build build] [--movetime 1000]
                                   [--positions N] [--perft-depth 5]
"""
import argparse
import os
import re
import resource
import subprocess
import sys

START = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w"
ORACLES = ["/usr/games/fairy-stockfish", "/usr/bin/fairy-stockfish"]


def bench_positions(root):
    text = open(os.path.join(root, "engine/search/bench_positions.h")).read()
    body = text.split("kBenchPositions[] = {", 1)[1].split("};", 1)[0]
    return re.findall(r'"([^"]+)"', body)


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(cmd, stdin=None):
    """Runs cmd; returns the processor time it took (user and system, which a
    busy machine disturbs less than the wall clock) and its output."""
    begin = cpu_seconds()
    out = subprocess.run(cmd, input=stdin, capture_output=True, text=True, check=True).stdout
    return cpu_seconds() - begin, out


def oracle_script(lines):
    head = ["uci", "setoption name UCI_Variant value xiangqi", "setoption name Threads value 1",
            "setoption name Hash value 16", "isready"]
    return "\n".join(head + lines) + "\n"


def oracle_perft(oracle, depth):
    # The start-up of the oracle is timed apart and taken off.
    idle, _ = timed([oracle], oracle_script(["quit"]))
    total, out = timed([oracle], oracle_script(["position startpos", f"go perft {depth}", "quit"]))
    nodes = int(re.search(r"Nodes searched: (\d+)", out).group(1))
    return total - idle, nodes


def oracle_search(oracle, fen, movetime):
    # "go movetime" answers while the process lives on; wait for bestmove.
    proc = subprocess.Popen([oracle], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    proc.stdin.write(oracle_script(["ucinewgame", f"position fen {fen}", f"go movetime {movetime}"]))
    proc.stdin.flush()
    nodes = ms = 0
    for line in proc.stdout:
        if " nodes " in line and " time " in line:
            nodes = int(re.search(r" nodes (\d+)", line).group(1))
            ms = int(re.search(r" time (\d+)", line).group(1))
        if line.startswith("bestmove"):
            break
    proc.stdin.write("quit\n")
    proc.stdin.close()
    proc.wait()
    return nodes, ms


def our_search(build, fen, movetime):
    _, out = timed([os.path.join(build, "tools/search"), fen, "--movetime", str(movetime),
                    "--hash", "16"])
    m = re.search(r"^bestmove .* nodes (\d+) ms (\d+)", out, re.M)
    return int(m.group(1)), int(m.group(2))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--movetime", type=int, default=1000)
    parser.add_argument("--positions", type=int, default=0, help="0: all")
    parser.add_argument("--perft-depth", type=int, default=5)
    args = parser.parse_args()
    oracle = next((p for p in ORACLES if os.path.exists(p)), None)
    if oracle is None:
        sys.exit("fairy-stockfish is not installed")
    print(f"cores: {os.cpu_count()}")

    ours_s, ours_out = timed([os.path.join(args.build, "tools/perft"), START, str(args.perft_depth)])
    theirs_s, theirs_nodes = oracle_perft(oracle, args.perft_depth)
    if int(ours_out.split()[0]) != theirs_nodes:
        sys.exit(f"perft counts differ: {ours_out.split()[0]} against {theirs_nodes}")
    print(f"perft {args.perft_depth}: ours {ours_s:.2f} s, fairy-stockfish {theirs_s:.2f} s, "
          f"ratio {ours_s / theirs_s:.3f}")

    fens = bench_positions(root)
    if args.positions > 0:
        fens = fens[:args.positions]
    totals = [0, 0, 0, 0]
    for fen in fens:
        n1, t1 = our_search(args.build, fen, args.movetime)
        n2, t2 = oracle_search(oracle, fen, args.movetime)
        totals = [totals[0] + n1, totals[1] + t1, totals[2] + n2, totals[3] + t2]
    ours_nps = totals[0] * 1000 / max(totals[1], 1)
    theirs_nps = totals[2] * 1000 / max(totals[3], 1)
    print(f"search, {len(fens)} positions x {args.movetime} ms: ours {ours_nps:,.0f} nps, "
          f"fairy-stockfish {theirs_nps:,.0f} nps, ratio {ours_nps / theirs_nps:.2f}")


if __name__ == "__main__":
    main()
