#!/usr/bin/env python3
"""A second, separately written implementation of audiogram categorisation.

Reads the same JSON lines as `sonivera-cli categorise` on standard input and
writes one JSON line per input line, so that the two can be compared on many
random audiograms. Standard library only.
"""

import datetime
import json
import math
import re
import struct
import sys
from decimal import Decimal, ROUND_HALF_UP

FRENCH = {1036, 2060, 5132, 6156}
COMMA_LOCALES = {1036, 2060, 3084, 5132, 6156, 1031, 3079, 1043, 2067, 3082, 1040, 2070,
                 1046, 1030, 1053, 1044, 1035, 1045}
MASK = "__/__/____"

MALE = ([51, 67, 82, 100, 121, 142, 165, 190, 217, 235],
        [95, 113, 132, 154, 183, 211, 240, 269, 296, 311])
FEMALE = ([46, 55, 63, 71, 80, 93, 111, 131, 157, 175],
          [78, 91, 105, 119, 134, 153, 176, 204, 235, 255])
BANDS = [(18, 24), (25, 29), (30, 34), (35, 39), (40, 44), (45, 49), (50, 54), (55, 59), (60, 64)]


class RunTimeError(Exception):
    def __init__(self, number, description):
        super().__init__(description)
        self.number = number
        self.description = description


def overflow():
    return RunTimeError(6, "Overflow")


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def i16(x):
    if x < -32768 or x > 32767:
        raise overflow()
    return x


def to_int(cell):
    if not re.fullmatch(r"[ \t]*[+-]?[0-9]+[ \t]*", cell):
        raise RunTimeError(13, "Type mismatch")
    return i16(int(cell))


def to_single(cell):
    if not re.fullmatch(r"[ \t]*[+-]?([0-9]+[.,]?[0-9]*|[.,][0-9]+)([eE][+-]?[0-9]+)?[ \t]*", cell):
        raise RunTimeError(13, "Type mismatch")
    return f32(float(cell.strip().replace(",", ".")))


def sum16(cells):
    total = None
    for cell in cells:
        value = to_int(cell)
        total = value if total is None else i16(total + value)
    return total


def parse_date(text):
    m = re.fullmatch(r"([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})", text)
    if not m:
        return None
    try:
        return datetime.date(int(m.group(3)), int(m.group(2)), int(m.group(1)))
    except ValueError:
        return None


def whole_years(start, end):
    import math
    return math.floor((end - start).days / 365.25)


def merge(digit, codes):
    low = codes.lower()
    if (digit + "l") in low and (digit + "r") in low:
        return digit + "B "
    return codes


def places(value, decimals, sep):
    q = Decimal(value).copy_abs().quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP)
    whole, _, frac = format(q, "f").partition(".")
    text = ("" if whole == "0" else whole) + sep + frac
    if value < 0 and q != 0:
        text = "-" + text
    return text


def n_form(value):
    q = Decimal(value).quantize(Decimal("0.1"), rounding=ROUND_HALF_UP)
    if q == 0:
        return " 0"
    text = format(q.copy_abs(), "f")
    if text.endswith(".0"):
        text = text[:-2]
    if text.startswith("0."):
        text = text[1:]
    return ("-" if q < 0 else " ") + text


class Run:
    def __init__(self, rec):
        self.g = rec["grid"]
        self.rec = rec
        self.messages = []
        self.text = ""
        self.mp42 = 0.0
        self.pam = 0.0
        self.ipa = 0.0

    def show(self, text):
        self.messages.append(text)

    def report(self, err, tag):
        self.messages.append("An error has occurred: %s Error No: %d%s"
                             % (err.description, err.number, tag))

    # HSE ---------------------------------------------------------------
    def hse(self):
        g, rec = self.g, self.rec
        cols = [2, 4, 5, 6, 7]
        if any(g[0][c] == "" for c in cols):
            return "HSE2006: Data incomplete"
        sum_l = sum16(g[0][c] for c in cols)
        if any(g[2][c] == "" for c in cols):
            return "HSE2006: Data incomplete"
        sum_r = sum16(g[2][c] for c in cols)
        test = parse_date(rec["testDate"])
        dob = parse_date(rec["dob"])
        if test is None or dob is None:
            # bulk mode: no message
            return "HSE2006: Data incomplete"
        age = whole_years(dob, test)
        if age < 0:
            self.show("One of the dates is invalid (eg 'Age'). Please re-type and then try "
                      "again. Patient: " + rec["patNo"])
            return "HSE2006: Data incomplete"
        band = 0
        found = False
        for i, (lo, hi) in enumerate(BANDS):
            if lo <= age <= hi:
                band, found = i, True
                break
        if not found and age >= 65:
            band = 9
        note = " Age under 18 " if 0 <= age <= 17 else ""
        if rec["sex"] == "M":
            warn, refer = MALE[0][band], MALE[1][band]
        elif rec["sex"] == "F":
            warn, refer = FEMALE[0][band], FEMALE[1][band]
        else:
            return "No sex chosen "
        c1 = ""
        c23 = ""
        if sum_l < warn:
            c1 += "1L "
        if sum_r < warn:
            c1 += "1R "
        if sum_l >= refer:
            c23 += "3L "
        elif sum_l >= warn:
            c23 += "2L "
        if sum_r >= refer:
            c23 += "3R "
        elif sum_r >= warn:
            c23 = "2R " + c23
        c1 = merge("1", c1)
        c1 = "1 " if "1B" in c1 else ""
        c23 = merge("2", c23)
        c23 = merge("3", c23)
        rapid = ""
        if any(g[r][c] == "" for r in (1, 3) for c in (5, 6, 7)):
            rapid += "4-no data "
        else:
            prev = parse_date(rec["previousTest"])
            if prev is None or test is None:
                if prev is None:
                    self.show("The previous date entry is missing or invalid. Please edit and "
                              "try again")
                else:
                    self.show("The date of test entry is missing or invalid. Please edit and "
                              "try again")
                return "HSE2006: Data incomplete"
            if whole_years(prev, test) < 3:
                now = sum16(g[0][c] for c in (5, 6, 7))
                then = sum16(g[1][c] for c in (5, 6, 7))
                if i16(now - then) >= 30:
                    rapid += "4L "
                now = sum16(g[2][c] for c in (5, 6, 7))
                then = sum16(g[3][c] for c in (5, 6, 7))
                if i16(now - then) >= 30:
                    rapid += "4R "
            rapid = merge("4", rapid)
        s4l = sum16(g[0][c] for c in (2, 4, 5, 6))
        s4r = sum16(g[2][c] for c in (2, 4, 5, 6))
        d1 = i16(s4l - s4r)
        d2 = i16(s4r - s4l)
        uni = "U " if d1 > 40 or d2 > 40 else ""
        return "HSE2006:  " + c1 + c23 + rapid + uni + note

    # French ----------------------------------------------------------
    def mp42_scheme(self, lcid):
        g = self.g
        incomplete = "MP42: données incomplètes  "
        cols = (1, 2, 4, 6)

        def mean(row):
            s = to_single(g[row][1])
            for c in cols[1:]:
                s = f32(s + to_single(g[row][c]))
            return f32(s / 4)

        if any(g[0][c] == "" for c in cols):
            self.text = incomplete
            self.mp42 = 0.0
            return
        mean_l = 0.0
        try:
            mean_l = mean(0)
        except RunTimeError as err:
            self.report(err, " (mp42categorise:954)")
        if any(g[2][c] == "" for c in cols):
            self.text = incomplete
            self.mp42 = 0.0
            return
        mean_r = 0.0
        try:
            mean_r = mean(2)
        except RunTimeError as err:
            self.report(err, " (mp42categorise:954)")
        value = mean_l if mean_l <= mean_r else mean_r
        if value >= 35:
            sep = "," if lcid in COMMA_LOCALES else "."
            self.text += "MP42= " + places(value, 2, sep) + "  "
            self.mp42 = value
        else:
            self.mp42 = 0.0

    def average(self, label, cols, tag):
        g = self.g
        if any(g[r][c] == "" for r in (0, 2) for c in cols):
            self.text += label + ": données incomplètes  "
            return 0.0

        def ear(row):
            return f32(sum16(g[row][c] for c in cols) / len(cols))

        left = right = 0.0
        try:
            left = ear(0)
        except RunTimeError as err:
            self.report(err, tag)
        try:
            right = ear(2)
        except RunTimeError as err:
            self.report(err, tag)
        mean = f32(f32(left + right) / 2)
        self.text += (label + "=" + n_form(mean) + "  [" + label + "(D)=" + n_form(right) + ", "
                      + label + "(G)=" + n_form(left) + "]  ")
        return mean

    def categorise(self, schemes, lcid):
        hse = mp42 = pam = ipa = False
        low = schemes.lower()
        if lcid in FRENCH:
            mp42, pam, ipa = "mp42" in low, "pam" in low, "ipa" in low
        else:
            hse = "hse" in low
        self.text = ""
        try:
            if hse:
                self.text = self.hse().replace("HSE2006", "HSE")
        except RunTimeError as err:
            self.report(err, " (recategorise)")
            return None
        if mp42:
            self.mp42_scheme(lcid)
        if pam:
            self.pam = self.average("PAM", (4, 6), " (pamcategorise:954)")
        if ipa:
            self.ipa = self.average("IPA", (5, 6, 7), " (ipacategorise:954)")
        text = self.text
        if "no test" in text.lower():
            text = "-"
        return text


def ear_row(obj, name, required):
    if name not in obj:
        if required:
            raise ValueError("missing " + name)
        return [""] * 9
    values = obj[name]
    if not isinstance(values, list) or len(values) != 9:
        raise ValueError(name + " must be an array of 9 thresholds")
    row = []
    for v in values:
        if v is None:
            row.append("")
        elif isinstance(v, bool) or not isinstance(v, (int, float)) or not math.isfinite(v) \
                or v != int(v) or not -32768 <= v <= 32767:
            raise ValueError("bad threshold in " + name)
        else:
            row.append(str(int(v)))
    return row


def not_json(token):
    # NaN and Infinity are not JSON; the program refuses them too.
    raise ValueError("not JSON: " + token)


def handle(line):
    try:
        obj = json.loads(line, parse_constant=not_json, strict=False)
        if not isinstance(obj, dict):
            raise ValueError("not an object")
        grid = [ear_row(obj, "left", True), ear_row(obj, "prevLeft", False),
                ear_row(obj, "right", True), ear_row(obj, "prevRight", False)]
        rec = {"grid": grid}
        for key, default in (("testDate", MASK), ("dob", MASK), ("previousTest", MASK),
                             ("patNo", ""), ("sex", ""), ("schemes", "")):
            value = obj.get(key, default)
            if not isinstance(value, str):
                raise ValueError(key + " must be a text")
            rec[key] = value
        if rec["sex"] not in ("M", "F", ""):
            raise ValueError("bad sex")
        lcid = obj.get("lcid", 2057)
        if isinstance(lcid, bool) or not isinstance(lcid, (int, float)) \
                or not math.isfinite(lcid) or lcid != int(lcid) or not 0 <= lcid <= 0x7fffffff:
            raise ValueError("bad lcid")
    except (ValueError, TypeError) as err:
        return {"error": str(err)}
    run = Run(rec)
    text = run.categorise(rec["schemes"], int(lcid))
    return {"categorisation": text, "mp42": run.mp42, "pam": run.pam, "ipa": run.ipa,
            "messages": run.messages}


def main():
    # Lines end at LF only (a CR before it is dropped): a U+2028 or a form
    # feed inside a line does not cut it, and a line that is not UTF-8 is
    # refused on its own.
    lines = sys.stdin.buffer.read().split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    for raw in lines:
        if raw.endswith(b"\r"):
            raw = raw[:-1]
        try:
            result = handle(raw.decode("utf-8"))
        except UnicodeDecodeError:
            result = {"error": "not JSON: invalid UTF-8"}
        sys.stdout.write(json.dumps(result, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
