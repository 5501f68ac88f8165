#!/usr/bin/env python3
"""Turns the benchmark programs' sample lines into one Markdown table.

Input lines (anything else is ignored):
  sample METRIC VARIANT INDEX VALUE
  info KEY TARGET WORDS...
  note TEXT...
Every figure is set against a floor measured in the same run. Ratios are the
ratio of the medians; "paired" is the spread (quartiles) of the ratios of runs
taken back to back; "fastest quarters" the ratio of the quartiles at the fast
end (low times, high rates), which other programs on a shared machine disturb least.
"""
import statistics
import sys
from collections import defaultdict

samples = defaultdict(dict)  # (metric, variant) -> {index: value}
infos = {}
notes = []


def read(stream):
    for line in stream:
        words = line.split()
        if len(words) == 5 and words[0] == "sample":
            try:
                samples[(words[1], words[2])][int(words[3])] = float(words[4])
            except ValueError:
                pass
        elif len(words) >= 3 and words[0] == "info":
            infos[(words[1], words[2])] = words[3:]
        elif words and words[0] == "note":
            notes.append(line.strip()[5:])


def quartiles(values):
    if len(values) < 2:
        return values[0], values[0]
    q = statistics.quantiles(values, n=4, method="inclusive")
    return q[0], q[2]


def fmt(value, unit):
    if unit == "ms":
        return f"{value:.3f} ms" if value < 1 else f"{value:.1f} ms"
    if unit == "MiB/s":
        return f"{value:,.0f} MiB/s"
    if unit == "MiB":
        return f"{value / 1048576:.1f} MiB"
    if unit == "KiB":
        return f"{value / 1024:.1f} KiB ({value:,.0f} B)"
    return f"{value:g}"


def describe(key, unit, name=""):
    values = list(samples.get(key, {}).values())
    if not values:
        return None, "missing"
    med = statistics.median(values)
    if len(values) == 1:
        return med, f"{name}{fmt(med, unit)}"
    lo, hi = quartiles(values)
    return med, f"{name}{fmt(med, unit)} [{fmt(lo, unit)}–{fmt(hi, unit)}, n={len(values)}]"


rows = []

# WinMain's steps as bench/startup_steps.cpp times them, in order.
STEPS = [
    ("init_common_controls", "InitCommonControlsForLauncher"),
    ("move_to_folder", "MoveToLauncherFolder"),
    ("create_fonts", "CreateLauncherFonts"),
    ("start_gdiplus", "StartGdiplus"),
    ("register_and_create_window", "RegisterLauncherClass + CreateMainWindow"),
    ("create_nine_controls", "CreateChildControls (nine controls, stored settings)"),
    ("show_and_first_paint", "ShowMainWindow: show, first paint"),
    ("until_init_message", "until WM_LAUNCHER_INIT arrives"),
    ("init_picture_and_probe", "WM_LAUNCHER_INIT: LoadBackground + probe, first in the process"),
    ("repaint_with_picture", "repaint with the picture"),
    ("close", "WM_CLOSE to the end of the loop (settings saved)"),
    ("shutdown", "ShutdownLauncher"),
]


def row(label, key, unit, floor_key=None, floor_name="", goal=None, goal_text="—", higher_is_better=False):
    """goal: a ratio limit (at most, or at least when higher_is_better), or None."""
    value, value_text = describe(key, unit)
    floor, floor_text = (None, "—") if floor_key is None else describe(floor_key, unit, floor_name + ": ")
    ratio_text, met = "—", "—"
    if value is not None and floor:
        ratio = value / floor
        ratio_text = f"{ratio:.2f}"
        a, b = samples.get(key, {}), samples.get(floor_key, {})
        paired = [a[i] / b[i] for i in a if i in b and b[i]]
        fast_ratio = None
        if len(paired) >= 3:
            lo, hi = quartiles(paired)
            ratio_text += f" (paired {lo:.2f}–{hi:.2f}"
            # The fast end: low times, high rates.
            end = 1 if higher_is_better else 0
            fast_value, fast_floor = quartiles(list(a.values()))[end], quartiles(list(b.values()))[end]
            if len(a) >= 8 and fast_floor:
                fast_ratio = fast_value / fast_floor
                ratio_text += f"; fastest quarters {fast_ratio:.2f}"
            ratio_text += ")"
        if goal is not None:
            def meets(r):
                return r >= goal if higher_is_better else r <= goal
            met = "yes" if meets(ratio) else "**NO**"
            # Noise from other programs slows some runs only: say when the fast runs disagree.
            if fast_ratio is not None and meets(fast_ratio) != meets(ratio):
                met += " (fastest quarters: " + ("yes" if meets(fast_ratio) else "no") + ")"
    elif value is None and goal is not None:
        met = "**NO** (not measured)"
    rows.append((label, value_text, floor_text, ratio_text, goal_text, met))


def size_rows(target, anchor_kib):
    def key(what):
        return ("size.bytes", f"{target}.{what}")

    if key("launcher") not in samples:
        rows.append((f"Size, {target}", "not built", "—", "—", "—", "—"))
        return
    row(f"VelkoraLauncher.exe {target}, whole file", key("launcher"), "KiB", key("minimal"),
        "minimal window, static, stripped")
    row("… its icon resource (.rsrc section)", key("rsrc"), "KiB")
    row("… without the icon", key("launcher_noicon"), "KiB", key("prototype"),
        "prototype, same libraries and build", 1.25, "≤ 1.25")
    samples[("size.anchor", target)] = {0: anchor_kib * 1024.0}
    row("… without the icon, against the anchor", key("launcher_noicon"), "KiB", ("size.anchor", target),
        f"anchor prototype ≈{anchor_kib} KB", 1.25, "≤ 1.25")
    row(f"Prototype {target} against the anchor", key("prototype"), "KiB", ("size.anchor", target),
        f"anchor ≈{anchor_kib} KB", None, "≈ 1 (cross-check)")
    dlls = infos.get(("imports", target))
    ok = infos.get(("imports_ok", target), ["no"])[0] == "yes"
    rows.append((f"Imports {target}", " ".join(dlls) if dlls else "missing", "system DLLs only", "—",
                 "system DLLs only", "yes" if ok and dlls else "**NO**"))


def build_rows():
    s = "startup"
    row("Start-up, warm: main window shown (not yet painted)", (f"{s}.window_shown", "launcher"), "ms",
        (f"{s}.window_shown", "minimal"), "minimal window")
    row("Start-up, warm: first paint, nine controls", (f"{s}.first_paint", "launcher"), "ms",
        (f"{s}.first_paint", "minimal"), "minimal window", 1.4, "≤ 1.40")
    row("Start-up, warm: picture painted", (f"{s}.picture", "launcher"), "ms",
        (f"{s}.first_paint", "minimal"), "minimal window painted", 2.2, "≤ 2.20")
    row("Start-up, warm: whole process, WM_CLOSE once the picture shows", (f"{s}.whole", "launcher"), "ms",
        (f"{s}.whole", "minimal"), "minimal window, WM_CLOSE once painted")
    row("Prototype, warm: first paint", (f"{s}.first_paint", "prototype"), "ms",
        (f"{s}.first_paint", "minimal"), "minimal window")
    row("Prototype, warm: picture painted", (f"{s}.picture", "prototype"), "ms",
        (f"{s}.first_paint", "minimal"), "minimal window painted")
    for step, what in STEPS:
        row(f"… in process: {what}", (f"steps.{step}", "launcher"), "ms")
    c = "startup_cold"
    if any(k[0].startswith(c) for k in samples):
        row("Start-up, cold (fresh wineserver): first paint", (f"{c}.first_paint", "launcher"), "ms",
            (f"{c}.first_paint", "minimal"), "minimal window, cold")
        row("Start-up, cold: picture painted", (f"{c}.picture", "launcher"), "ms",
            (f"{c}.first_paint", "minimal"), "minimal window painted, cold")
        row("Start-up, cold: whole process", (f"{c}.whole", "launcher"), "ms", (f"{c}.whole", "minimal"),
            "minimal window, cold")

    labels = sorted({k[1].split(".")[0] for k in samples if k[0] == "probe.rate"},
                    key=lambda label: float(label.rstrip("KMiB")) * (1024 if "MiB" in label else 1))
    for label in labels:
        gated = label in ("64MiB", "512MiB")
        row(f"Probe throughput, {label} file without the marker", ("probe.rate", f"{label}.probe"), "MiB/s",
            ("probe.rate", f"{label}.read"), "same ReadFile loop, no search", 0.7 if gated else None,
            "≥ 0.70" if gated else "—", higher_is_better=True)
    if labels:
        smallest = ("probe.peak_ws", labels[0])
        for label in labels:
            value = samples.get(("probe.peak_ws", label), {}).get(0)
            base = samples.get(smallest, {}).get(0)
            row(f"Probe peak working set, {label}", ("probe.peak_ws", label), "MiB", smallest,
                f"at {labels[0]}", None, "flat: ≤ +1 MiB")
            if value is not None and base is not None:
                label_, v, f, r, g, _ = rows[-1]
                rows[-1] = (label_, v, f, f"{r}, {(value - base) / 1048576:+.2f} MiB", g,
                            "yes" if value - base <= 1048576 else "**NO**")

    row("Background erase: 1920x1080 picture to 900x600, HALFTONE", ("paint.background", "launcher"), "ms",
        ("paint.background", "copy"), "BitBlt of a 900x600 scaled copy")
    row("PLAY button paint (DrawLauncherButton)", ("paint.button_play", "launcher"), "ms",
        ("paint.button_play", "fill"), "FillRect of its 246x52")
    row("Site-link button paint (DrawLauncherButton)", ("paint.button_link", "launcher"), "ms",
        ("paint.button_link", "fill"), "FillRect of its 246x26")
    row("LoadBackground: JPEG decode + GetHBITMAP", ("paint.load_background", "launcher"), "ms")

    size_rows("x86_64", 112)
    size_rows("i686", 144)

    row("Peak working set, launcher showing its picture", ("startup.peak_ws", "launcher"), "MiB",
        ("startup.peak_ws", "prototype"), "prototype showing the picture", 1.1, "≤ 1.10")
    row("Peak working set, launcher against the minimal window", ("startup.peak_ws", "launcher"), "MiB",
        ("startup.peak_ws", "minimal"), "minimal window")


def main():
    for path in sys.argv[1:]:
        with open(path, encoding="utf-8", errors="replace") as stream:
            read(stream)
    build_rows()
    print("| Figure | Measured: median [quartiles, n] | Floor | Ratio | Goal | Met |")
    print("|---|---|---|---|---|---|")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    for note in notes:
        print(f"\n{note}")


main()
