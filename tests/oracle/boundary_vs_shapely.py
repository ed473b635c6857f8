#!/usr/bin/env python3
"""-BOUNDARY checked against GEOS (through shapely) on seeded random drawings.

Each drawing is a few lines, arcs and circles (sometimes inside a frame). zelcad draws it, runs
-BOUNDARY at a few points and lists the polylines made (vertices and bulges, full precision);
shapely nodes the same curves (arcs as inscribed chords), polygonizes them and takes the face
holding the point. The area made (outer loop less its islands, from the bulge formula) must
equal that face's area within the area lost to the chords; a point in no face must give the
"no closed boundary" message, make nothing, and name the loose end nearest to it.

usage: boundary_vs_shapely.py ZELCAD [--cases N] [--seed S] [--keep DIR]
ZEL_ORACLE_CASES sets the number of drawings (default 200). Exit 77 when shapely is missing.
"""
import argparse
import math
import os
import random
import re
import subprocess
import sys
import tempfile

SKIP = 77
SYSTEM_PYTHON = "/usr/bin/python3"  # where the distribution's python3-shapely is installed

try:
    from shapely.geometry import LineString, Point
    from shapely.ops import polygonize, unary_union
except ImportError:
    if os.path.exists(SYSTEM_PYTHON) and os.path.realpath(sys.executable) != os.path.realpath(
            SYSTEM_PYTHON) and not os.environ.get("ZEL_ORACLE_REEXEC"):
        os.environ["ZEL_ORACLE_REEXEC"] = "1"
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    print("skipped: shapely is not installed (Debian package python3-shapely)")
    sys.exit(SKIP)

# Chords per full turn of an arc: the area between an arc of radius r and its chords is
# r^2/2 (phi - sin phi) per chord, about 1.2e-6 r^2 for a whole circle.
CHORDS_PER_TURN = 4096
# How far a picked point keeps from every curve, and how far curves keep from touching
# without crossing (nearer than this, the chords and the curves may disagree on the faces),
# and the chords per turn that test is made with (chords within 3e-5 of arcs of radius 5).
CLEARANCE = 1e-3
CHORDS_PER_TURN_NEAR = 1024
POINTS_PER_DRAWING = 3
BATCH = 100  # drawings per zelcad run
NOT_CLOSED = "閉じた境界が見つかりません。"
OPENING = re.compile(r"開口部は \(([-0-9.eE+]+),([-0-9.eE+]+)\) にあります")
# Units the host prints distances with (4 decimals by default).
PRINTED = 0.5e-4


def num(x):
    return repr(float(x))


class Drawing:
    """Lines (a, b), arcs (centre, radius, start angle, end angle; counter-clockwise) and circles
    (centre, radius), with the exact values the script gives zelcad."""

    def __init__(self, shift=(0.0, 0.0)):
        self.lines, self.arcs, self.circles = [], [], []
        self.shift = shift  # where zelcad is given the drawing (its results are moved back)

    def at(self, p):
        """A point as zelcad is given it."""
        return f"{num(p[0] + self.shift[0])},{num(p[1] + self.shift[1])}"

    def script(self):
        out = [f"ZOOM W {self.at((-16, -16))} {self.at((16, 16))}"]
        for a, b in self.lines:
            out.append(f'LINE {self.at(a)} {self.at(b)} ""')
        for c, r, a0, a1 in self.arcs:
            s = (c[0] + r * math.cos(a0), c[1] + r * math.sin(a0))
            e = (c[0] + r * math.cos(a1), c[1] + r * math.sin(a1))
            out.append(f"ARC C {self.at(c)} {self.at(s)} {self.at(e)}")
        for c, r in self.circles:
            out.append(f"CIRCLE {self.at(c)} {num(r)}")
        return out

    def arc_runs(self):
        """(centre, radius, start, sweep) of every arc and circle."""
        for c, r, a0, a1 in self.arcs:
            sweep = (a1 - a0) % (2 * math.pi)
            yield c, r, a0, sweep
        for c, r in self.circles:
            yield c, r, 0.0, 2 * math.pi

    def chords(self, per_turn=CHORDS_PER_TURN):
        """The curves as line strings, and the area between them and the true curves."""
        strings, lost = [], 0.0
        for a, b in self.lines:
            strings.append(LineString([a, b]))
        for c, r, a0, sweep in self.arc_runs():
            n = max(4, math.ceil(per_turn * sweep / (2 * math.pi)))
            phi = sweep / n
            pts = [(c[0] + r * math.cos(a0 + phi * k), c[1] + r * math.sin(a0 + phi * k))
                   for k in range(n + 1)]
            if sweep >= 2 * math.pi - 1e-12:
                pts[-1] = pts[0]
            strings.append(LineString(pts))
            lost += n * r * r / 2 * (phi - math.sin(phi))
        return strings, lost

    def free_ends(self, strings):
        """End points of lines and arcs that meet no other curve (the host's loose ends)."""
        ends = []
        for a, b in self.lines:
            ends += [a, b]
        for c, r, a0, sweep in self.arc_runs():
            if sweep < 2 * math.pi:
                ends += [(c[0] + r * math.cos(a0), c[1] + r * math.sin(a0)),
                         (c[0] + r * math.cos(a0 + sweep), c[1] + r * math.sin(a0 + sweep))]
        out = []
        for e in ends:
            touching = sum(1 for s in strings if s.distance(Point(e)) < 1e-7)
            if touching <= 1:
                out.append(e)
        return out


def random_drawing(rnd):
    far = rnd.random() < 0.2  # some drawings far from the origin
    d = Drawing((rnd.uniform(-2e4, 2e4), rnd.uniform(-2e4, 2e4)) if far else (0.0, 0.0))
    if rnd.random() < 0.4:  # a frame
        lo, hi = -10.5, 10.5
        corners = [(lo, lo), (hi, lo), (hi, hi), (lo, hi)]
        for k in range(4):
            d.lines.append((corners[k], corners[(k + 1) % 4]))
    r6 = lambda lo, hi: round(rnd.uniform(lo, hi), 6)
    pt = lambda s: (r6(-s, s), r6(-s, s))
    for _ in range(rnd.randint(3, 10)):
        kind = rnd.random()
        if kind < 0.45:
            a, b = pt(10), pt(10)
            if math.dist(a, b) > 1:
                d.lines.append((a, b))
        elif kind < 0.8:
            a0, a1 = r6(0, 2 * math.pi), r6(0, 2 * math.pi)
            if abs(a1 - a0) > 0.05:
                d.arcs.append((pt(5), r6(1, 5), a0, a1))
        else:
            d.circles.append((pt(5), r6(0.5, 4)))
    return d


def tangled(strings):
    """Do two curves come within CLEARANCE of each other anywhere but where they cross, or does
    an arc nearly close on itself? Then chords and curves may disagree."""
    for i, s in enumerate(strings):
        ends = [Point(s.coords[0]), Point(s.coords[-1])]
        if not s.is_ring and ends[0].distance(ends[1]) < CLEARANCE:
            return True
        for t in strings[i + 1:]:
            if s.distance(t) > CLEARANCE:
                continue
            crossing = s.intersection(t)
            near = s.intersection(t.buffer(CLEARANCE, 4))
            # Each crossing owns a stretch of about 2 CLEARANCE / sin(angle); grazes leave long
            # stretches or stretches with no crossing in them.
            parts = getattr(near, "geoms", [near])
            for part in parts:
                if part.is_empty:
                    continue
                if part.distance(crossing) > 1e-9 or part.length > 200 * CLEARANCE:
                    return True
    return False


RAYS = ['""', "+X", "-X", "+Y", "-Y"]  # Enter: towards the nearest curve


def pick_points(rnd, strings, count):
    """Points clear of the curves, each with a ray type for the try without islands."""
    union = unary_union(strings)
    out = []
    while len(out) < count:
        p = (round(rnd.uniform(-9, 9), 6), round(rnd.uniform(-9, 9), 6))
        if union.distance(Point(p)) > CLEARANCE:
            out.append((p, rnd.choice(RAYS)))
    return out


def polyline_area(vertices):
    """Signed area of a closed bulge polyline [(x, y, bulge)]."""
    total = 0.0
    n = len(vertices)
    for k in range(n):
        x0, y0, b = vertices[k]
        x1, y1, _ = vertices[(k + 1) % n]
        total += (x0 * y1 - x1 * y0) / 2
        if b:
            chord = math.hypot(x1 - x0, y1 - y0)
            theta = 4 * math.atan(b)
            r = chord / (2 * math.sin(theta / 2))
            total += r * r / 2 * (theta - math.sin(theta))
    return total


DUMP = ('(defun zelbdump (e0 / e l) (setq e (entnext e0)) (while e (setq l (cons e l)) '
        '(setq e (entnext e))) (foreach e (reverse l) (princ "\\n@@E") (foreach g (entget e) '
        '(cond ((= (car g) 10) (princ (strcat " V " (rtos (cadr g) 2 16) " " '
        '(rtos (caddr g) 2 16)))) ((= (car g) 42) (princ (strcat " B " (rtos (cdr g) 2 16))))))'
        ' (entdel e)) (princ "\\n@@END") (princ))')


def script_of(cases):
    lines = [DUMP]
    for d, points in cases:
        lines.append('ERASE ALL ""')
        lines += d.script()
        lines.append("(setq zele0 (entlast))")
        for p, ray in points:
            lines.append(f'-BOUNDARY {d.at(p)} ""')
            lines.append("(zelbdump zele0)")
            lines.append(f'-BOUNDARY A I N {ray} "" {d.at(p)} ""')
            lines.append("(zelbdump zele0)")
    return "\n".join(lines) + "\n"


class Reply:
    def __init__(self):
        self.polylines = []  # [(x, y, bulge)] each
        self.messages = []


def replies(transcript, shifts):
    """One reply per -BOUNDARY, in order: the messages it printed and the polylines listed,
    moved back by the shift of the drawing each was made in (one per reply)."""
    out, current, shift = [], None, (0.0, 0.0)
    for line in transcript.splitlines():
        if line.startswith("コマンド: -BOUNDARY"):
            current = Reply()
            shift = shifts[len(out)] if len(out) < len(shifts) else (0.0, 0.0)
            out.append(current)
        elif current is None:
            continue
        elif line.startswith("@@END"):
            current = None
        elif line.startswith("@@E "):
            tokens, verts = line.split()[1:], []
            k = 0
            while k < len(tokens):
                if tokens[k] == "V":
                    verts.append([float(tokens[k + 1]) - shift[0],
                                  float(tokens[k + 2]) - shift[1], 0.0])
                    k += 3
                else:
                    verts[-1][2] = float(tokens[k + 1])
                    k += 2
            current.polylines.append(verts)
        else:
            m = OPENING.search(line)
            if m:  # the opening, moved back too
                x, y = float(m.group(1)) - shift[0], float(m.group(2)) - shift[1]
                line = line[:m.start()] + f"開口部は ({x!r},{y!r}) にあります" + line[m.end():]
            current.messages.append(line)
    return out


def face_holding(faces, p):
    q = Point(p)
    held = [f for f in faces if f.contains(q)]
    return held[0] if held else None


def faces_of(d):
    """The curves' chords, the area they lose and the faces of their arrangement (kept)."""
    if not hasattr(d, "faces"):
        d.strings, d.lost = d.chords()
        d.faces = list(polygonize(unary_union(d.strings)))
    return d.strings, d.lost, d.faces


def check(d, p, reply, where):
    """Faults found at one point, as text."""
    strings, lost, faces = faces_of(d)
    face = face_holding(faces, p)
    text = "\n".join(reply.messages)
    if face is None:
        faults = []
        if reply.polylines:
            faults.append(f"{where}: no closed face, but {len(reply.polylines)} polylines made")
        if NOT_CLOSED not in text:
            faults.append(f"{where}: no closed face, but no 'not closed' message: {text!r}")
        ends = d.free_ends(strings)
        m = OPENING.search(text)
        if ends and m:
            nearest = min(ends, key=lambda e: math.dist(e, p))
            said = (float(m.group(1)), float(m.group(2)))
            if math.dist(said, nearest) > 2 * PRINTED and not math.isclose(
                    math.dist(said, p), math.dist(nearest, p), abs_tol=2 * PRINTED):
                faults.append(f"{where}: opening said at {said}, nearest loose end {nearest}")
        if bool(ends) != bool(m):
            faults.append(f"{where}: {len(ends)} loose ends, but message {text!r}")
        return faults, "open"
    if not reply.polylines:
        return [f"{where}: face of area {face.area:.9g} holds the point, host: {text!r}"], "found"
    areas = [polyline_area(v) for v in reply.polylines]
    outer = areas[0]
    made = outer - sum(abs(a) for a in areas[1:])
    slack = lost + 1e-9 * max(1.0, face.area)
    faults = []
    if outer <= 0:
        faults.append(f"{where}: outer loop is not counter-clockwise (area {outer:.9g})")
    if abs(made - face.area) > slack:
        faults.append(f"{where}: area made {made:.12g}, face {face.area:.12g} "
                      f"(difference {made - face.area:.3g}, allowed {slack:.3g})")
    return faults, "found"


def check_without_islands(with_islands, without, where):
    """Without island detection, whatever the ray, the same outer loop alone (or the same
    message)."""
    if not with_islands.polylines:
        if without.polylines or NOT_CLOSED not in "\n".join(without.messages):
            return [f"{where}: without islands, a boundary or no 'not closed' message"]
        return []
    if len(without.polylines) != 1:
        return [f"{where}: without islands, {len(without.polylines)} polylines made"]
    outer, alone = polyline_area(with_islands.polylines[0]), polyline_area(without.polylines[0])
    if abs(outer - alone) > 1e-9 * max(1.0, abs(outer)):
        return [f"{where}: without islands, area {alone:.12g}, outer loop {outer:.12g}"]
    return []


def run_batch(zelcad, cases, keep, index):
    text = script_of(cases)
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(keep or tmp, f"boundary_oracle_{index}.zsc")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        done = subprocess.run([zelcad, "run", path], capture_output=True, text=True,
                              encoding="utf-8", errors="replace", timeout=600)
    if done.returncode != 0:
        sys.exit(f"zelcad failed ({done.returncode}) on batch {index}:\n{done.stderr[-4000:]}")
    shifts = [d.shift for d, points in cases for _ in range(2 * len(points))]
    return replies(done.stdout, shifts)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("zelcad")
    ap.add_argument("--cases", type=int, default=int(os.environ.get("ZEL_ORACLE_CASES", 200)))
    ap.add_argument("--seed", type=int, default=1931)
    ap.add_argument("--keep", help="folder to keep the scripts in")
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    cases, skipped = [], 0
    while len(cases) < args.cases:
        d = random_drawing(rnd)
        strings, _ = d.chords(CHORDS_PER_TURN_NEAR)
        if tangled(strings):
            skipped += 1
            continue
        cases.append((d, pick_points(rnd, strings, POINTS_PER_DRAWING)))
    counts = {"found": 0, "open": 0}
    faults, failed = [], 0
    for b in range(0, len(cases), BATCH):
        batch = cases[b:b + BATCH]
        got = run_batch(args.zelcad, batch, args.keep, b // BATCH)
        expected = 2 * sum(len(pts) for _, pts in batch)
        if len(got) != expected:
            sys.exit(f"batch {b // BATCH}: {len(got)} replies for {expected} -BOUNDARY")
        k = 0
        for i, (d, points) in enumerate(batch):
            for p, ray in points:
                where = f"drawing {b + i} point {p}"
                found, kind = check(d, p, got[k], where)
                found += check_without_islands(got[k], got[k + 1], f"{where} ray {ray}")
                counts[kind] += 1
                failed += 1 if found else 0
                faults += found
                k += 2
    print(f"{len(cases)} drawings ({skipped} tangled ones left out), "
          f"{counts['found']} faces, {counts['open']} points in no face")
    for f in faults[:40]:
        print("FAULT", f)
    points = counts["found"] + counts["open"]
    if counts["found"] < points // 8 or counts["open"] < points // 20:
        print("FAULT too few faces or open points to tell anything")
        failed += 1
    print(f"{points - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
