#!/usr/bin/env python3
"""Checks every JSON report below FOLDER (a file whose name ends in .json in
any letter case) against SCHEMA: UTF-8 without a byte-order mark, JSON with
no member name twice in an object, and the schema. A tab-separated report of
the same name (.txt) beside it, written by the same run again, must hold the
same entries, field by field, and the same counts. Fails when a report fails
or when there is none.

usage: check_reports.py FOLDER SCHEMA
"""
import csv
import io
import json
import pathlib
import sys

import jsonschema


def without_repeats(pairs):
    if len({name for name, _ in pairs}) < len(pairs):
        raise ValueError(f"a member name twice in {[name for name, _ in pairs]}")
    return dict(pairs)


FIELDS = ["category", "categoryNumber", "root", "key", "valueName", "type", "data",
          "missingFile", "outcome", "user"]
COUNTS = {"found": "found", "deleted": "deleted", "not deleted": "notDeleted",
          "exit code": "exitCode"}


def text(value):
    return "" if value is None else str(value)


def difference_from_text(document, twin):
    """What the tab-separated report `twin` holds otherwise, or None."""
    rows = list(csv.reader(io.StringIO(twin.read_bytes().decode("utf-8"), newline=""),
                           delimiter="\t"))
    header, entries, summary = rows[0], rows[1:-1], rows[-1]
    from_json = [[text(entry[field]) for field in FIELDS[:len(header)]]
                 for entry in document["entries"]]
    if sorted(from_json) != sorted(entries):
        return f"entries other than those of {twin.name}"
    counts = dict(field.split("=", 1) for field in summary[1:] if "=" in field)
    for name, member in COUNTS.items():
        if name in counts and counts[name] != str(document[member]):
            return f"{member} is {document[member]}, {twin.name} says {counts[name]}"
    return None


def problem_of(report, validator):
    try:  # json.loads refuses a byte-order mark
        document = json.loads(report.read_bytes().decode("utf-8"), object_pairs_hook=without_repeats)
    except ValueError as error:  # UnicodeDecodeError is one too
        return str(error)
    errors = [f"{list(e.absolute_path)}: {e.message}" for e in validator.iter_errors(document)]
    twins = [path for path in report.parent.iterdir()
             if path.suffix.lower() == ".txt" and path.stem.lower() == report.stem.lower()]
    if not errors and twins:
        return difference_from_text(document, twins[0])
    return "; ".join(errors[:5]) or None


def main(folder, schema_file):
    schema = json.loads(pathlib.Path(schema_file).read_text(encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    reports = sorted(path for path in pathlib.Path(folder).rglob("*")
                     if path.is_file() and path.suffix.lower() == ".json")
    problems = [(report, problem_of(report, validator)) for report in reports]
    for report, problem in problems:
        print(f"{report}: {problem or 'valid'}")
    failed = sum(problem is not None for _, problem in problems)
    if failed or not reports:
        print(f"report check: FAILED: {failed} of {len(reports)} reports below {folder}")
        return 1
    print(f"report check: {len(reports)} reports passed")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
