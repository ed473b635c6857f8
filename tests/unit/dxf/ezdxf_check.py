#!/usr/bin/env python3
"""Checks DXF files with an independent DXF library, ezdxf (Debian's python3-ezdxf).

usage: ezdxf_check.py audit FILE...
           loads each file and runs ezdxf's auditor; every error is a finding
       ezdxf_check.py compare [--no-handles] ORIGINAL OURS
           everything ezdxf reads from ORIGINAL (header, tables, blocks and their entities
           in order, sub-entities, extended data, objects) is in OURS with the same values

Exit status: 0 no finding, 1 findings (printed, one a line), 3 ezdxf is not installed,
4 ezdxf cannot read ORIGINAL (nothing to compare against).
"""
import io
import math
import sys

try:
    import ezdxf
    from ezdxf.entities.dxfentity import DXFTagStorage
except ImportError:
    print("ezdxf is not installed (Debian package python3-ezdxf)")
    sys.exit(3)

# Reals compare with this relative tolerance: angles are kept in radians and come back in
# degrees, which may change the last bit of a value.
REL_TOL = 1e-12
ABS_TOL = 1e-12

# Header variables every writer sets itself.
OWN_HEADER_VARS = {"$ACADVER", "$HANDSEED", "$DWGCODEPAGE", "$ACADMAINTVER"}
IGNORED_ATTRIBS = {"owner", "handle"}
# Group codes whose values are handles (references to other objects).
HANDLE_CODES = {5, 105, 480, 481, 1005} | set(range(320, 370)) | set(range(390, 400))

findings = []


def finding(text):
    findings.append(text)


def same(a, b):
    if isinstance(a, float) or isinstance(b, float):
        try:
            return math.isclose(float(a), float(b), rel_tol=REL_TOL, abs_tol=ABS_TOL)
        except (TypeError, ValueError):
            return False
    if isinstance(a, (tuple, list)) and isinstance(b, (tuple, list)):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    if hasattr(a, "xyz") and hasattr(b, "xyz"):
        return same(tuple(a.xyz), tuple(b.xyz))
    return a == b


def tag_list(tags):
    return [(t.code, t.value) for t in tags if t.code not in (5, 105, 330)]


class Original:
    """What the original file itself holds, apart from what ezdxf adds when it loads it:
    the handles it defines and the header variables it names."""

    def __init__(self, path):
        from ezdxf.lldxf.tagger import ascii_tags_loader, binary_tags_loader

        data = open(path, "rb").read()
        if data.startswith(b"AutoCAD Binary DXF"):
            tags = binary_tags_loader(data)
        else:
            tags = ascii_tags_loader(io.StringIO(data.decode("latin-1")))
        self.handles = set()
        self.duplicated = set()  # handles the file gives to more than one object
        self.header_names = set()
        self.names = set()  # values of group 2: names of table records and blocks
        try:
            for tag in tags:
                if tag.code in (5, 105) and isinstance(tag.value, str):
                    if tag.value.upper() in self.handles:
                        self.duplicated.add(tag.value.upper())
                    self.handles.add(tag.value.upper())
                elif tag.code == 9 and isinstance(tag.value, str):
                    self.header_names.add(tag.value)
                elif tag.code == 2 and isinstance(tag.value, str):
                    self.names.add(tag.value.upper())
        except Exception:  # damage the file repair of ezdxf got past: what was read counts
            pass


original = None


def invented_by_ezdxf(entity, key, value):
    """A handle the original does not define: ezdxf made the object it names on loading."""
    if original is None or not isinstance(value, str):
        return False
    attr = entity.DXFATTRIBS.get(key)
    return attr is not None and attr.code in HANDLE_CODES and value.upper() not in original.handles


def made_by_ezdxf(name):
    """A table record or block the original does not name: ezdxf made it on loading (arrow
    blocks, standard records)."""
    return original is not None and name.upper() not in original.names


def resolved_to_name(a, b, key, value):
    """ezdxf may keep a reference of a table record as the record's name instead of its handle
    (DIMSTYLE dimtxsty, dimblk, dimltype ...): the same record, named."""
    if not key.endswith("_handle") or b.dxf.hasattr(key):
        return False
    named = b.dxf.get(key[: -len("_handle")])
    if not isinstance(named, str) or not named:
        return False
    if original is not None and value.upper() in original.duplicated:
        return True  # ezdxf itself cannot tell which of the objects the reference meant
    target = a.doc.entitydb.get(value) if a.doc else None
    if target is None or not target.dxf.hasattr("name"):
        return False
    return named.upper() == target.dxf.name.upper()


def empty(value):
    return value in (0, 0.0, "", None)


def compare_entity(where, a, b, handles):
    if a.dxftype() != b.dxftype():
        finding(f"{where}: {a.dxftype()} became {b.dxftype()}")
        return
    if handles and a.dxf.handle != b.dxf.handle:
        finding(f"{where}: handle {a.dxf.handle} became {b.dxf.handle}")
    if isinstance(a, DXFTagStorage) or isinstance(b, DXFTagStorage):
        ta = [tag_list(s) for s in a.xtags.subclasses[1:]] if hasattr(a, "xtags") else None
        tb = [tag_list(s) for s in b.xtags.subclasses[1:]] if hasattr(b, "xtags") else None
        if ta is not None and tb is not None and not same(ta, tb):
            finding(f"{where}: the groups of {a.dxftype()} differ")
    for key, value in a.dxfattribs().items():
        if key in IGNORED_ATTRIBS or invented_by_ezdxf(a, key, value):
            continue
        if resolved_to_name(a, b, key, value):
            continue
        if b.dxf.hasattr(key):
            other = b.dxf.get(key)
        else:
            other = b.dxf.get_default(key)
            if other is None and empty(value):
                continue  # a default the file wrote out, left out by us
        if not same(value, other):
            finding(f"{where}: {a.dxftype()} {key} was {value!r}, is {other!r}")
    xa = a.xdata.data if a.xdata else {}
    xb = b.xdata.data if b.xdata else {}
    for app, tags in xa.items():
        if app not in xb:
            finding(f"{where}: extended data of {app} lost")
        elif not same(tag_list(tags), tag_list(xb[app])):
            finding(f"{where}: extended data of {app} differs")
    if a.has_extension_dict != b.has_extension_dict:
        finding(f"{where}: extension dictionary lost")
    for sub in ("vertices", "attribs"):
        sa, sb = getattr(a, sub, None), getattr(b, sub, None)
        if sa is None or callable(sa):
            continue
        sa, sb = list(sa), list(sb or [])
        if len(sa) != len(sb):
            finding(f"{where}: {len(sa)} {sub}, now {len(sb)}")
            continue
        for i, (va, vb) in enumerate(zip(sa, sb)):
            compare_entity(f"{where} {sub}[{i}]", va, vb, handles)


def compare_layout(name, a, b, handles):
    la, lb = list(a), list(b)
    if len(la) != len(lb):
        finding(f"block {name}: {len(la)} entities, now {len(lb)}")
    for i, (ea, eb) in enumerate(zip(la, lb)):
        compare_entity(f"block {name} entity {i}", ea, eb, handles)


TABLES = ("layers", "linetypes", "styles", "dimstyles", "appids", "ucs", "views", "viewports",
          "block_records")


def compare_tables(a, b):
    for table in TABLES:
        theirs = {}
        for entry in getattr(b, table):
            theirs.setdefault(entry.dxf.name.upper(), []).append(entry)
        for entry in getattr(a, table):
            name = entry.dxf.name
            if made_by_ezdxf(name):
                continue
            # A record needs a name: the reader names a nameless one "_".
            candidates = theirs.get(name.upper() or "_", [])
            if not candidates:
                finding(f"table {table}: {name} lost")
                continue
            compare_entity(f"table {table} {name}", entry, candidates.pop(0), False)


def compare_header(a, b):
    for name in a.header.varnames():
        if name in OWN_HEADER_VARS or name not in original.header_names:
            continue
        if name.startswith("$TD"):
            continue  # times: ezdxf may set them when it loads a file
        if name not in b.header:
            finding(f"header {name} lost")
        elif not same(a.header[name], b.header[name]):
            finding(f"header {name} was {a.header[name]!r}, is {b.header[name]!r}")


def compare_objects(a, b):
    for obj in a.objects:
        if obj.dxf.handle.upper() not in original.handles:
            continue  # made by ezdxf on loading
        other = b.entitydb.get(obj.dxf.handle)
        if other is None:
            finding(f"object {obj.dxftype()} {obj.dxf.handle} lost")
            continue
        compare_entity(f"object {obj.dxf.handle}", obj, other, True)


def compare(original_path, ours, handles):
    global original
    try:
        a = ezdxf.readfile(original_path)
    except Exception as e:  # the original is beyond ezdxf: nothing to compare against
        print(f"ezdxf cannot read {original_path}: {e}")
        return 4
    original = Original(original_path)
    b = ezdxf.readfile(ours)
    with_handles = handles and a.dxfversion >= "AC1015"
    compare_header(a, b)
    compare_tables(a, b)
    for block in a.blocks:
        if made_by_ezdxf(block.name):
            continue
        other = b.blocks.get(block.name)
        if other is None:
            finding(f"block {block.name} lost")
            continue
        compare_layout(block.name, block, other, with_handles)
    if with_handles:
        compare_objects(a, b)
    return report()


def audit(paths):
    for path in paths:
        try:
            doc = ezdxf.readfile(path)
        except Exception as e:
            finding(f"{path}: ezdxf cannot read it: {type(e).__name__}: {e}")
            continue
        auditor = doc.audit()
        for error in auditor.errors:
            finding(f"{path}: audit error {error.code}: {error.message}")
    return report()


def report():
    for f in findings[:200]:
        print(f)
    if len(findings) > 200:
        print(f"... and {len(findings) - 200} more")
    return 1 if findings else 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "audit":
        return audit(argv[1:])
    if len(argv) >= 3 and argv[0] == "compare":
        handles = argv[1] != "--no-handles"
        files = argv[1:] if handles else argv[2:]
        if len(files) == 2:
            return compare(files[0], files[1], handles)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
