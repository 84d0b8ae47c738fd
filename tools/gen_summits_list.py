#!/usr/bin/env python3
"""Writes a synthetic VORN summits list: invented references and names, in the
shape and size of the published one (a title line with its build date, the
column header, one row per summit with validity dates and coordinates)."""

import argparse
import random

HEADER = ["SummitCode", "AssociationName", "RegionName", "SummitName", "AltM", "AltFt",
          "GridRef1", "GridRef2", "Longitude", "Latitude", "Points", "BonusPoints",
          "ValidFrom", "ValidTo", "ActivationCount", "ActivationDate", "ActivationCall"]

SYLLABLES = ["tarn", "vor", "fell", "brin", "dle", "cote", "hal", "mor", "ast", "ven", "lin", "dra",
             "kel", "ost", "ruv", "sen", "tib", "ul", "wen", "yar", "gal", "pen", "rho", "skel"]
KINDS = ["Fell", "Pike", "Crag", "Head", "Knott", "Tor", "Law", "Moor", "Hill", "Top", "Beacon"]
# A few names carry what the updater must clean: quotes and the site's HTML entities.
ODD_NAMES = ["Tarn o' the Vale", "Pe&ntilde;a Vorn", "Hob&#039;s Knott", "Hag&#039,s Crag",
             "Cerro Ca&ntilde;o &#039;Alto&#039;", "\"Quoted\" Pike", "Vorn, the Great"]


def invented_name(rng):
    word = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 3))).capitalize()
    return f"{word} {rng.choice(KINDS)}"


def csv_field(text):
    if any(c in text for c in ',"'):
        return '"' + text.replace('"', '""') + '"'
    return text


def date_text(rng, year_from, year_to):
    return f"{rng.randint(1, 28):02d}/{rng.randint(1, 12):02d}/{rng.randint(year_from, year_to)}"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--rows", type=int, default=180000)
    parser.add_argument("--date", default="18/03/2025", help="build date on the title line")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    associations = [(f"V{a}{b}", f"Vornfell {a}{b}") for a in "ABCDEFGHJK" for b in "ABCDEFGHJKLMNPRSTU"]
    with open(args.out, "w", newline="") as out:
        out.write(f"VORN Summits List (Date={args.date})\r\n")
        out.write(",".join(HEADER) + "\r\n")
        row = 0
        while row < args.rows:
            block = row // 1000
            prefix, association = associations[block % len(associations)]
            if block >= len(associations):   # longer lists than the real one stay unique
                prefix += str(block // len(associations))
            region = f"{chr(65 + row // 100 % 26)}{chr(65 + row // 10 % 26)}"
            for number in range(1, min(1000, args.rows - row) + 1):
                reference = f"{prefix}/{region}-{number:03d}"
                name = rng.choice(ODD_NAMES) if rng.random() < 0.001 else invented_name(rng)
                alt = rng.randint(150, 4800)
                lat = rng.uniform(-60.0, 75.0)
                lon = rng.uniform(-179.9, 179.9)
                valid_from = "" if rng.random() < 0.02 else date_text(rng, 2002, 2024)
                roll = rng.random()
                if roll < 0.85:
                    valid_to = "31/12/2099"
                elif roll < 0.9:
                    valid_to = ""
                elif roll < 0.95:
                    valid_to = f"{rng.randint(2003, 2024)}-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d}"
                else:
                    valid_to = date_text(rng, 2003, 2024)
                count = rng.randint(0, 60)
                fields = [reference, association, f"Region {region}", csv_field(name), str(alt),
                          str(round(alt * 3.28084)), f"{lon:.4f}", f"{lat:.4f}", f"{lon:.4f}", f"{lat:.4f}",
                          str(rng.choice([1, 2, 4, 6, 8, 10])), str(rng.choice([0, 3])), valid_from, valid_to,
                          str(count), date_text(rng, 2010, 2025) if count else "",
                          f"V{rng.randint(1, 9)}X{chr(65 + rng.randint(0, 25))}{chr(65 + rng.randint(0, 25))}" if count else ""]
                out.write(",".join(fields) + "\r\n")
                row += 1
                if row == args.rows:
                    break


if __name__ == "__main__":
    main()
