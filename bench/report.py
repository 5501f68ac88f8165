#!/usr/bin/env python3
"""Turns the benchmark programs' "sample FIGURE INDEX VALUE" lines into one table. Each figure
stands against a floor measured in the same run: the ratio of the medians, with the quartiles
of the ratios of runs taken in the same turn."""
import statistics
import sys
from collections import defaultdict

samples = defaultdict(dict)  # figure -> {index: value}
for path in sys.argv[1:]:
    with open(path, encoding="utf-8", errors="replace") as stream:
        for words in map(str.split, stream):
            if len(words) == 4 and words[0] == "sample":
                samples[words[1]][int(words[2])] = float(words[3])


def quartiles(values):
    q = statistics.quantiles(values, n=4, method="inclusive") if len(values) > 1 else values * 3
    return q[0], q[2]


def shown(values, unit):
    if not values:
        return "missing"
    units = {"ms": "{:.2f} ms", "MiB": "{:.1f} MiB", "MiB/s": "{:,.0f} MiB/s", "KiB": "{:.1f} KiB", "×": "{:.2f}×"}
    fmt = units[unit]
    med, (lo, hi) = statistics.median(values), quartiles(values)
    return fmt.format(med) + (f" [{fmt.format(lo)}–{fmt.format(hi)}, n={len(values)}]" if len(values) > 1 else "")


rows = []


def row(label, figure, unit, floor=None, floor_name="", goal=None, at_least=False):
    """goal: the highest (or, at_least, the lowest) ratio to the floor. A time or size on its own holds for
    one machine at one moment, so none is judged alone."""
    a, b = samples.get(figure, {}), samples.get(floor, {})
    ratio, ratio_text = None, "—"
    if a and b:
        ratio = statistics.median(a.values()) / statistics.median(b.values())
        ratio_text = f"{ratio:.2f}"
        paired = [a[i] / b[i] for i in a if b.get(i)]
        if len(paired) >= 3:
            lo, hi = quartiles(paired)
            ratio_text += f" (paired {lo:.2f}–{hi:.2f})"
    met = goal_text = "—"
    if goal is not None:
        met = "**NO**" if ratio is None or (ratio < goal if at_least else ratio > goal) else "yes"
        goal_text = ("≥ " if at_least else "≤ ") + f"{goal:.2f}"
    floor_text = "—" if floor is None else f"{floor_name}: {shown(list(b.values()), unit)}"
    rows.append((label, shown(list(a.values()), unit), floor_text, ratio_text, goal_text, met))


# Flat over many repaints: the last tenth of the launcher's repaints against the first,
# each repaint against the flat fill's in the same turn, which the machine's own drift
# slows alike (negative indices: the two tenths are not paired).
turns = sorted(samples.get("repaint.launcher", {}).keys() & samples.get("repaint.flat", {}).keys())
per_turn = [samples["repaint.launcher"][i] / samples["repaint.flat"][i] for i in turns]
tenth = max(1, len(per_turn) // 10)
samples["repaint.first"] = {-1 - i: v for i, v in enumerate(per_turn[:tenth])}
samples["repaint.last"] = dict(enumerate(per_turn[-tenth:]))

# Against the like-for-like floors: what the launcher adds to what the platform costs.
row("First paint, nine controls", "first_paint.launcher", "ms", "first_paint.controls", "the nine controls alone",
    1.10)
row("Picture painted", "picture.launcher", "ms", "picture.picture", "controls, picture by GDI+ stretched once", 1.15)
row("Peak working set, picture shown", "peak_ws.launcher", "MiB", "peak_ws.picture",
    "controls, picture by GDI+ stretched once", 1.00)
row("One repaint of the whole window", "repaint.launcher", "ms", "repaint.flat", "the same, flat fill", 1.10)
row(f"… its last {tenth}, each against the flat fill's", "repaint.last", "×", "repaint.first", f"its first {tenth}",
    1.10)
row("Probe, client without the marker", "probe.launcher", "MiB/s", "probe.read", "plain ReadFile loop", 0.65,
    at_least=True)
# What the platform costs: the floors, and the launcher, against the bare window.
row("Floor: first paint, nine controls", "first_paint.controls", "ms", "first_paint.bare", "bare window")
row("Floor: picture painted", "picture.picture", "ms", "first_paint.bare", "bare window's first paint")
row("Floor: peak working set, picture shown", "peak_ws.picture", "MiB", "peak_ws.bare", "bare window")
row("Launcher: first paint", "first_paint.launcher", "ms", "first_paint.bare", "bare window")
for target in ("x86_64", "i686"):
    if f"size.{target}" in samples:  # the targets built
        row(f"VelkoraLauncher.exe, {target}", f"size.{target}", "KiB")

print("| Figure | Measured: median [quartiles, n] | Floor, same run | Ratio | Goal | Met |")
print("|---|---|---|---|---|---|")
for r in rows:
    print("| " + " | ".join(r) + " |")
