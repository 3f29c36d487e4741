#!/usr/bin/env python3
"""Check the stock game data under data/stock/Data/INI/.

The stock files are what the setup wizard writes into a game folder, so they
have to survive every lookup Zarnith makes on them. This script reads them
the way the program does (CR LF lines, Windows-1252 text, prefix matches on
block headers and parameter names, last word of a line as its value) and
reports anything that would show up wrong in the program:

  * line ends, encoding, tabs;
  * block structure (headers, End lines, sub-block nesting);
  * names that clash, or that shadow one another in the header lookup;
  * every reference between files (weapons, armour, locomotors, command
    buttons, command sets, build objects, projectiles);
  * the keys each viewer shows, and the values it offers as choices;
  * minimum counts and the variety the tests rely on.

Usage:  check_stock.py [STOCK_DIR] [--fix-line-ends] [-q]
Exit status 0 when everything passes, 1 when something fails, 2 on bad usage.
"""

import argparse
import collections
import os
import re
import sys

OBJECT_FILES = [
    "FactionUnit.ini", "FactionBuilding.ini", "FactionProp.ini",
    "CivilianBuilding.ini", "CivilianUnit.ini", "CivilianProp.ini",
    "NatureProp.ini", "NatureUnit.ini",
]
DATA_FILES = {
    "Weapon.ini": "Weapon",
    "Armor.ini": "Armor",
    "Locomotor.ini": "Locomotor",
    "CommandButton.ini": "CommandButton",
    "CommandSet.ini": "CommandSet",
}

WEAPON_KEYS = [
    "PrimaryDamage", "PrimaryDamageRadius", "WeaponSpeed", "AttackRange",
    "WeaponRecoil", "ScatterRadiusVsInfantry", "MinTargetPitch",
    "MaxTargetPitch", "DamageType", "DeathType", "ProjectileObject", "FireFX",
    "FireSound",
]
WEAPON_DAMAGE_TYPES = [
    "ARMOR_PIERCING", "AURORA_BOMB", "COMANCHE_VULCAN", "CRUSH", "EXPLOSION",
    "FLESHY_SNIPER", "Gattling", "JET_MISSILES", "KILL_PILOT", "LASER",
    "MELEE", "RADIATION", "SMALL_ARMS", "SNIPER", "INFANTRY_MISSILE",
]
WEAPON_DEATH_TYPES = [
    "BURNED", "CRUSHED", "EXPLODED", "LASERED", "NORMAL", "POISONED",
    "POISONED_BETA", "SUICIDED",
]
ARMOUR_DAMAGE_TYPES = [
    "EXPLOSION", "CRUSH", "ARMOR_PIERCING", "SMALL_ARMS", "GATTLING",
    "RADIATION", "FLAME", "LASER", "SNIPER", "POISON", "HEALING",
    "UNRESISTABLE", "WATER", "DEPLOY", "SURRENDER", "HACK", "KILL_PILOT",
    "PENALTY", "FALLING", "MELEE", "DISARM", "HAZARD_CLEANUP",
    "INFANTRY_MISSILE", "AURORA_BOMB", "LAND_MINE", "JET_MISSILES",
    "STEALTHJET_MISSILES", "MOLOTOV_COCKTAIL", "COMANCHE_VULCAN",
    "FLESHY_SNIPER",
]
# Locomotor key -> most digits its handling box takes (None: free text).
LOCOMOTOR_KEYS = collections.OrderedDict([
    ("Surfaces", None), ("Speed", 4), ("SpeedDamaged", 4), ("TurnRate", 4),
    ("TurnRateDamaged", 4), ("Acceleration", 4), ("AccelerationDamaged", 4),
    ("Braking", 7), ("MinTurnSpeed", 4),
])
BUTTON_KEYS = [
    "Command", "ButtonBorderType", "ButtonImage", "TextLabel",
    "DescriptLabel", "Object", "Options", "SpecialPower", "RadiusCursorType",
    "InvalidCursorName",
]
BUTTON_COMMANDS = [
    "ATTACK_MOVE", "CANCEL_UNIT_BUILD", "CANCEL_UPGRADE", "COMBATDROP",
    "CONVERT_TO_CARBOMB", "DOZER_CONSTRUCT", "DOZER_CONSTRUCT_CANCEL",
    "EVACUATE", "EXECUTE_RAILED_TRANSPORT", "EXIT_CONTAINER", "FIRE_WEAPON",
    "GUARD", "GUARD_FLYING_UNITS_ONLY", "GUARD_WITHOUT_PURSUIT",
    "HACK_INTERNET", "HIJACK_VEHICLE", "OBJECT_UPGRADE", "PLACE_BEACON",
    "PLAYER_UPGRADE", "PURCHASE_SCIENCE", "SELL", "SET_RALLY_POINT",
    "SPECIAL_POWER", "SPECIAL_POWER_FROM_COMMAND_CENTER", "STOP",
    "SWITCH_WEAPON", "TOGGLE_OVERCHARGE", "UNIT_BUILD",
]
BUTTON_BORDERS = ["ACTION", "BUILD", "NONE", "SYSTEM", "UPGRADE"]
# Commands whose Object must name something buildable, and where it lives.
BUILD_COMMANDS = {"UNIT_BUILD": "FactionUnit.ini",
                  "DOZER_CONSTRUCT": "FactionBuilding.ini"}
OBJECT_KEYS = ["MaxHealth", "InitialHealth", "BuildCost", "BuildTime",
               "VisionRange", "ShroudClearingRange"]
SIDES = ["America", "China", "GLA", "CINE"]
# Header pairs where one name starts the other on purpose (shorter first).
ALLOWED_PREFIX_PAIRS = {("Object", "ChinaLancer", "ChinaLancerElite")}

MINIMUM_COUNTS = {"Object": 60, "Weapon": 30, "Armor": 10, "Locomotor": 15,
                  "CommandButton": 40, "CommandSet": 15}

CRLF = "\r\n"


class Report:
    def __init__(self):
        self.errors = []
        self.notes = []

    def error(self, where, text):
        self.errors.append("%s: %s" % (where, text))

    def note(self, text):
        self.notes.append(text)


# --------------------------------------------------------------------------
# The program's text rules
# --------------------------------------------------------------------------

def parse_value(line):
    """Last space-separated word of a line, comment cut off."""
    if line.startswith(";"):
        line = line[1:]
    line = line.split(";", 1)[0].strip(" ")
    return line.split(" ")[-1]


def parameter_values(text, name):
    """Values of every line whose trimmed text starts with name."""
    out = []
    for piece in text.split(CRLF):
        if piece.strip(" ").startswith(name):
            out.append(parse_value(piece))
    return out


def exact_values(text, name):
    """The helper lookup: the name followed by a space."""
    return parameter_values(text, name + " ")


def extract_weapon_sets(text):
    """Weapon-set slots, split the way the main window splits them."""
    lines = text.split(CRLF)
    n = sum(1 for l in lines if l.startswith("  WeaponSet"))
    slots = [""] * (n + 1)
    index, inside = 0, False
    for line in lines:
        if line.startswith("  WeaponSet"):
            inside = True
        if inside:
            if index == n:
                break
            slots[index] += line + CRLF
        if inside and line.startswith("  End"):
            index += 1
    return slots[:n]


def blank_marker(value):
    return "" if value.lower() in ("weaponset", "yes", "no", CRLF) else value


def armour_line(line):
    """Damage type and percentage, as the armour viewer splits a line."""
    s = line.strip(" ")
    parts = s.split("=")
    kind = ""
    if len(parts) > 1:
        for piece in parts[1].split(" "):
            if piece.strip(" "):
                kind = piece
                break
    if ";" not in line:
        line += " ;A Comment"
    pieces = line.split(";")
    t = pieces[-2]
    t = t.split("%", 1)[0] + "%"
    return kind, t.split(" ")[-1]


# --------------------------------------------------------------------------
# Reading files
# --------------------------------------------------------------------------

Block = collections.namedtuple("Block", "keyword name first last lines text")


def read_lines(path, rel, report, fix):
    raw = open(path, "rb").read()
    if fix:
        fixed = raw.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
        fixed = fixed.replace(b"\n", b"\r\n")
        if fixed and not fixed.endswith(b"\r\n"):
            fixed += b"\r\n"
        if fixed != raw:
            open(path, "wb").write(fixed)
            report.note("%s: line ends rewritten as CR LF" % rel)
            raw = fixed
    try:
        text = raw.decode("cp1252")
    except UnicodeDecodeError as exc:
        report.error(rel, "not Windows-1252 text (%s)" % exc)
        text = raw.decode("cp1252", errors="replace")
    if not text.endswith(CRLF):
        report.error(rel, "last line does not end with CR LF")
    body = text[:-2] if text.endswith(CRLF) else text
    lines = body.split(CRLF)
    for no, line in enumerate(lines, 1):
        if "\r" in line or "\n" in line:
            report.error("%s:%d" % (rel, no), "lone CR or LF inside the line")
        if "\t" in line:
            report.error("%s:%d" % (rel, no), "tab character")
        if line != line.rstrip(" "):
            report.error("%s:%d" % (rel, no), "trailing spaces")
    non_ascii = sum(1 for ch in text if ord(ch) > 127)
    if non_ascii:
        report.note("%s: %d non-ASCII character(s), Windows-1252" % (rel, non_ascii))
    return lines


def is_blank_or_comment(line):
    s = line.strip(" ")
    return s == "" or s.startswith(";")


def indent_of(line):
    return len(line) - len(line.lstrip(" "))


def check_nesting(rel, block, report):
    """Sub-blocks: a line followed by deeper lines opens one, End closes it."""
    body = [(no, l) for no, l in enumerate(block.lines[1:-1], block.first + 1)
            if not is_blank_or_comment(l)]
    stack = [0]
    for i, (no, line) in enumerate(body):
        where = "%s:%d" % (rel, no)
        ind = indent_of(line)
        if ind % 2:
            report.error(where, "odd indentation")
        if ind == 0:
            report.error(where, "body line in column 1")
            continue
        if line.strip(" ").lower() == "end":
            if ind != stack[-1] or len(stack) == 1:
                report.error(where, "End that closes nothing at this depth")
            else:
                stack.pop()
            continue
        expected = stack[-1] + 2
        if ind != expected:
            report.error(where, "indented %d, expected %d" % (ind, expected))
        nxt = body[i + 1][1] if i + 1 < len(body) else ""
        if nxt and indent_of(nxt) > ind:
            stack.append(ind)
    if len(stack) > 1:
        report.error("%s:%d" % (rel, block.first),
                     "%s %s: sub-block left open" % (block.keyword, block.name))


def read_blocks(path, rel, keyword, report, fix):
    lines = read_lines(path, rel, report, fix)
    blocks = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if is_blank_or_comment(line):
            i += 1
            continue
        where = "%s:%d" % (rel, i + 1)
        if line[0] == " ":
            report.error(where, "indented line outside any block")
            i += 1
            continue
        words = line.split(" ")
        if words[0] != keyword or len(words) != 2 or not words[1]:
            report.error(where, "expected a header '%s Name', got %r" % (keyword, line))
        name = words[1] if len(words) > 1 else ""
        j = i + 1
        while j < len(lines) and not lines[j].lower().startswith("end"):
            if lines[j][:1] not in ("", " ", ";"):
                report.error("%s:%d" % (rel, j + 1), "column-1 text inside %s %s" % (keyword, name))
            j += 1
        if j == len(lines):
            report.error(where, "%s %s has no End line" % (keyword, name))
            j = len(lines) - 1
        elif lines[j] != "End":
            report.error("%s:%d" % (rel, j + 1), "block closed by %r, write End" % lines[j])
        block_lines = lines[i:j + 1]
        blocks.append(Block(keyword, name, i + 1, j + 1, block_lines,
                            CRLF.join(block_lines) + CRLF))
        i = j + 1
    for block in blocks:
        check_nesting(rel, block, report)
    check_names(rel, blocks, report)
    return blocks


def check_names(rel, blocks, report):
    seen = {}
    for b in blocks:
        key = b.name.lower()
        if key in seen:
            report.error("%s:%d" % (rel, b.first),
                         "%s %s defined twice (first on line %d)" % (b.keyword, b.name, seen[key]))
        else:
            seen[key] = b.first
    # The header lookup takes the first block whose header starts with the
    # wanted name, ignoring case.
    for a in blocks:
        for b in blocks:
            if a is b or not b.name.lower().startswith(a.name.lower()) or a.name.lower() == b.name.lower():
                continue
            if b.first < a.first:
                report.error("%s:%d" % (rel, b.first),
                             "%s %s comes before %s and hides it from lookups"
                             % (b.keyword, b.name, a.name))
            elif (a.keyword, a.name, b.name) not in ALLOWED_PREFIX_PAIRS:
                report.error("%s:%d" % (rel, b.first),
                             "%s %s starts with the name %s" % (b.keyword, b.name, a.name))


# --------------------------------------------------------------------------
# Per-kind checks
# --------------------------------------------------------------------------

def single_values(rel, block, keys, report):
    """Each key looked up by its helper must give exactly one value."""
    values = {}
    for key in keys:
        got = exact_values(block.text, key)
        if len(got) != 1:
            report.error("%s:%d" % (rel, block.first),
                         "%s %s: %d lines for %s, want 1" % (block.keyword, block.name, len(got), key))
        values[key] = got[0] if got else None
    return values


def check_weapons(blocks, object_names, report):
    rel = "Weapon.ini"
    for b in blocks:
        v = single_values(rel, b, WEAPON_KEYS, report)
        where = "%s:%d" % (rel, b.first)
        if v["DamageType"] is not None and v["DamageType"] not in WEAPON_DAMAGE_TYPES:
            report.error(where, "%s: DamageType %s is not offered" % (b.name, v["DamageType"]))
        if v["DeathType"] is not None and v["DeathType"] not in WEAPON_DEATH_TYPES:
            report.error(where, "%s: DeathType %s is not offered" % (b.name, v["DeathType"]))
        proj = v["ProjectileObject"]
        if proj is not None and proj != "None" and proj not in object_names:
            report.error(where, "%s: ProjectileObject %s is no object" % (b.name, proj))


def check_armours(blocks, report):
    rel = "Armor.ini"
    for b in blocks:
        rows = [l for l in b.lines[1:-1] if l.strip(" ")]
        if not rows:
            report.error("%s:%d" % (rel, b.first), "Armor %s has no lines" % b.name)
        kinds = set()
        for offset, line in enumerate(b.lines[1:-1], 1):
            if not line.strip(" "):
                continue
            where = "%s:%d" % (rel, b.first + offset)
            if not re.match(r"^  Armor = \S+ +\d+%( *;.*)?$", line):
                report.error(where, "not an armour line: %r" % line)
                continue
            kind, percent = armour_line(line)
            if kind not in ARMOUR_DAMAGE_TYPES:
                report.error(where, "damage type %s is not offered" % kind)
            if not re.match(r"^\d+%$", percent):
                report.error(where, "percentage reads as %r" % percent)
            if kind in kinds:
                report.error(where, "damage type %s listed twice" % kind)
            kinds.add(kind)


def check_locomotors(blocks, report):
    rel = "Locomotor.ini"
    for b in blocks:
        v = single_values(rel, b, LOCOMOTOR_KEYS, report)
        for key, digits in LOCOMOTOR_KEYS.items():
            value = v[key]
            if value is None or digits is None:
                continue
            if not value.isdigit() or len(value) > digits:
                report.error("%s:%d" % (rel, b.first),
                             "%s: %s = %s does not fit %d digits" % (b.name, key, value, digits))


def check_buttons(blocks, objects_by_file, report):
    rel = "CommandButton.ini"
    for b in blocks:
        where = "%s:%d" % (rel, b.first)
        v = single_values(rel, b, BUTTON_KEYS, report)
        if "commandbutton" in b.name.lower():
            report.error(where, "%s: a name holding 'CommandButton' is cut by the set viewer" % b.name)
        if v["Command"] is not None and v["Command"] not in BUTTON_COMMANDS:
            report.error(where, "%s: Command %s is not offered" % (b.name, v["Command"]))
        if v["ButtonBorderType"] is not None and v["ButtonBorderType"] not in BUTTON_BORDERS:
            report.error(where, "%s: ButtonBorderType %s is not offered" % (b.name, v["ButtonBorderType"]))
        obj = v["Object"]
        home = BUILD_COMMANDS.get(v["Command"])
        if home:
            if obj not in objects_by_file[home]:
                report.error(where, "%s: builds %s, which %s does not define" % (b.name, obj, home))
        elif obj is not None and obj != "None" and not any(obj in names for names in objects_by_file.values()):
            report.error(where, "%s: Object %s is no object" % (b.name, obj))


def check_sets(blocks, button_names, report):
    rel = "CommandSet.ini"
    for b in blocks:
        where = "%s:%d" % (rel, b.first)
        for slot in range(1, 13):
            got = exact_values(b.text, str(slot))
            if len(got) != 1:
                report.error(where, "%s: %d lines for slot %d, want 1" % (b.name, len(got), slot))
            for name in got:
                if name not in button_names:
                    report.error(where, "%s: slot %d names unknown button %s" % (b.name, slot, name))
        for offset, line in enumerate(b.lines[1:-1], 1):
            if is_blank_or_comment(line):
                continue
            m = re.match(r"^  (\d+) = \S+( *;.*)?$", line)
            if not m or not 1 <= int(m.group(1)) <= 12:
                report.error("%s:%d" % (rel, b.first + offset), "not a slot line 1..12: %r" % line)


def catalogue_node(file_name, name):
    """Which tree node an object lands under; None when it finds none."""
    if file_name in ("FactionUnit.ini", "FactionBuilding.ini"):
        for side in SIDES:
            if name.startswith(side):
                return side
        return "Other"
    if file_name in ("FactionProp.ini", "NatureUnit.ini"):
        return file_name
    first = name[:1]
    if first.isdigit():
        return "0 - 9"
    if "A" <= first <= "Z":
        return first
    return None


def check_objects(file_name, blocks, refs, report):
    rel = "Object/" + file_name
    stats = collections.Counter()
    nodes = collections.Counter()
    for b in blocks:
        where = "%s:%d" % (rel, b.first)
        node = catalogue_node(file_name, b.name)
        if node is None:
            report.error(where, "%s finds no group node in the object tree" % b.name)
        else:
            nodes[node] += 1

        for key in OBJECT_KEYS:
            if len(parameter_values(b.text, key)) > 1:
                report.error(where, "%s: several lines start with %s" % (b.name, key))

        armours = parameter_values(b.text, "Armor ")
        for a in armours:
            if a not in refs["Armor"]:
                report.error(where, "%s: unknown armour %s" % (b.name, a))

        loco_lines = [l for l in b.lines if l.strip(" ").startswith("Locomotor")]
        for line in loco_lines:
            m = re.match(r"^  Locomotor +=( +SET_[A-Z_]+)((?: +\w+)+)( *;.*)?$", line)
            if not m:
                report.error(where, "%s: odd locomotor line %r" % (b.name, line))
                continue
            for name in m.group(2).split():
                if name not in refs["Locomotor"]:
                    report.error(where, "%s: unknown locomotor %s" % (b.name, name))
        stats["locomotors=%d" % len(loco_lines)] += 1

        sets = parameter_values(b.text, "CommandSet")
        if len(sets) > 1:
            report.error(where, "%s: several CommandSet lines" % b.name)
        for s in sets:
            if s not in refs["CommandSet"]:
                report.error(where, "%s: unknown command set %s" % (b.name, s))

        check_weapon_sets(where, b, refs, report)
        stats["weaponsets=%d" % sum(1 for l in b.lines if l.startswith("  WeaponSet"))] += 1
    return stats, nodes


def check_weapon_sets(where, block, refs, report):
    written = []
    current = None
    for line in block.lines:
        if line.startswith("  WeaponSet"):
            current = []
            written.append(current)
        elif current is not None and line.startswith("  End"):
            current = None
        elif current is not None:
            m = re.match(r"^    Weapon += +(PRIMARY|SECONDARY|TERTIARY) +(\w+)$", line)
            if m:
                current.append((m.group(1), m.group(2)))
    slots = extract_weapon_sets(block.text)
    if len(slots) != len(written):
        report.error(where, "%s: weapon sets miscounted" % block.name)
        return
    for k, (slot, weapons) in enumerate(zip(slots, written)):
        if not slot.startswith("  WeaponSet"):
            report.error(where, "%s: something sits between weapon sets %d and %d"
                         % (block.name, k, k + 1))
        conditions = parameter_values(slot, "Conditions")
        if len(conditions) != 1:
            report.error(where, "%s: weapon set %d has %d Conditions lines"
                         % (block.name, k + 1, len(conditions)))
        order = [w[0] for w in weapons]
        if not weapons or order != ["PRIMARY", "SECONDARY", "TERTIARY"][:len(order)]:
            report.error(where, "%s: weapon set %d slots %s" % (block.name, k + 1, order))
        for _, name in weapons:
            if name not in refs["Weapon"]:
                report.error(where, "%s: unknown weapon %s" % (block.name, name))
        # What the three weapon fields of the main window show: line 0 is
        # the set's own header, lines 1 to 3 fill the three fields.
        shown = parameter_values(slot, "Weapon")
        fields = [blank_marker(v) for v in shown[1:4]]
        fields += [""] * (3 - len(fields))
        expected = [w[1] for w in weapons][:3]
        expected += [""] * (3 - len(expected))
        if fields != expected:
            report.error(where, "%s: weapon set %d shows %s instead of %s"
                         % (block.name, k + 1, fields, expected))


# --------------------------------------------------------------------------

def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Check the stock .ini files.")
    parser.add_argument("stock", nargs="?", default=os.path.join(here, "..", "data", "stock"),
                        help="folder holding Data/INI (default: data/stock)")
    parser.add_argument("--fix-line-ends", action="store_true",
                        help="rewrite every line end as CR LF before checking")
    parser.add_argument("-q", "--quiet", action="store_true", help="print failures only")
    args = parser.parse_args(argv)

    ini = os.path.join(args.stock, "Data", "INI")
    if not os.path.isdir(ini):
        print("no Data/INI folder under %s" % args.stock, file=sys.stderr)
        return 2
    report = Report()

    expected = set(DATA_FILES) | {"Object/" + f for f in OBJECT_FILES}
    present = set()
    for root, _, files in os.walk(ini):
        for f in files:
            present.add(os.path.relpath(os.path.join(root, f), ini).replace(os.sep, "/"))
    for extra in sorted(present - expected):
        report.error(extra, "unexpected file")
    missing = sorted(expected - present)
    for m in missing:
        report.error(m, "missing")
    if missing:
        return finish(report, {}, args.quiet)

    blocks = {}
    for f, keyword in DATA_FILES.items():
        blocks[f] = read_blocks(os.path.join(ini, f), f, keyword, report, args.fix_line_ends)
    objects = {}
    for f in OBJECT_FILES:
        objects[f] = read_blocks(os.path.join(ini, "Object", f), "Object/" + f,
                                 "Object", report, args.fix_line_ends)

    refs = {kw: {b.name for b in blocks[f]} for f, kw in DATA_FILES.items()}
    objects_by_file = {f: {b.name for b in bl} for f, bl in objects.items()}
    all_objects = set().union(*objects_by_file.values())

    check_weapons(blocks["Weapon.ini"], all_objects, report)
    check_armours(blocks["Armor.ini"], report)
    check_locomotors(blocks["Locomotor.ini"], report)
    check_buttons(blocks["CommandButton.ini"], objects_by_file, report)
    check_sets(blocks["CommandSet.ini"], refs["CommandButton"], report)

    stats = collections.Counter()
    summary = collections.OrderedDict()
    for f in OBJECT_FILES:
        s, nodes = check_objects(f, objects[f], refs, report)
        stats.update(s)
        summary["Object/" + f] = "%d objects  %s" % (
            len(objects[f]), ", ".join("%s %d" % (k, v) for k, v in sorted(nodes.items())))
    for f, kw in DATA_FILES.items():
        summary[f] = "%d blocks" % len(blocks[f])

    counts = {kw: len(blocks[f]) for f, kw in DATA_FILES.items()}
    counts["Object"] = sum(len(v) for v in objects.values())
    for kw, least in MINIMUM_COUNTS.items():
        if counts[kw] < least:
            report.error("counts", "%d %s blocks, want at least %d" % (counts[kw], kw, least))
    for need in ("weaponsets=0", "weaponsets=1", "weaponsets=2", "weaponsets=3",
                 "locomotors=0", "locomotors=1", "locomotors=2"):
        if not stats[need]:
            report.error("variety", "no object with %s" % need.replace("=", " = "))

    used_buttons = set()
    for b in blocks["CommandSet.ini"]:
        for slot in range(1, 13):
            used_buttons.update(exact_values(b.text, str(slot)))
    unused = sorted(refs["CommandButton"] - used_buttons)
    if unused:
        report.note("buttons in no command set: " + ", ".join(unused))
    summary["objects by weapon sets"] = ", ".join(
        "%s: %d" % (k.split("=")[1], v) for k, v in sorted(stats.items()) if k.startswith("weapon"))
    summary["objects by locomotors"] = ", ".join(
        "%s: %d" % (k.split("=")[1], v) for k, v in sorted(stats.items()) if k.startswith("loco"))
    return finish(report, summary, args.quiet)


def finish(report, summary, quiet):
    if not quiet:
        for k, v in summary.items():
            print("%-28s %s" % (k, v))
        for n in report.notes:
            print("note: " + n)
    for e in report.errors:
        print("FAIL " + e)
    if not quiet or report.errors:
        print("%d problem(s)" % len(report.errors))
    return 1 if report.errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
