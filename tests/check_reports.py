#!/usr/bin/env python3
"""Checks every JSON report below FOLDER (every file whose name ends in
.json in any letter case) against SCHEMA: UTF-8 without a byte-order mark,
strict JSON (no NaN or Infinity, no member name twice in an object) and the
schema. Fails when a report fails or when there is none.

usage: check_reports.py FOLDER SCHEMA
"""
import json
import pathlib
import sys

import jsonschema


def object_without_repeats(pairs):
    names = [name for name, _ in pairs]
    repeated = {name for name in names if names.count(name) > 1}
    if repeated:
        raise ValueError(f"member names twice: {sorted(repeated)}")
    return dict(pairs)


def not_json(constant):
    raise ValueError(f"{constant} is not JSON")


def problem_of(report, validator):
    """What is wrong with the report file, or None."""
    try:
        text = report.read_bytes().decode("utf-8")
        if text.startswith("\ufeff"):
            return "begins with a byte-order mark"
        document = json.loads(text, object_pairs_hook=object_without_repeats,
                              parse_constant=not_json)
    except (UnicodeDecodeError, ValueError) as error:
        return str(error)
    errors = sorted(validator.iter_errors(document), key=lambda e: list(e.absolute_path))
    if errors:
        return "; ".join(f"{list(e.absolute_path)}: {e.message}" for e in errors[:5])
    return None


def main(folder, schema_file):
    schema = json.loads(pathlib.Path(schema_file).read_text(encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    reports = sorted(path for path in pathlib.Path(folder).rglob("*")
                     if path.is_file() and path.suffix.lower() == ".json")
    failed = 0
    for report in reports:
        problem = problem_of(report, validator)
        print(f"{report}: {problem or 'valid'}")
        failed += problem is not None
    if not reports:
        print(f"report check: FAILED: no JSON report below {folder}")
        return 1
    if failed:
        print(f"report check: FAILED: {failed} of {len(reports)} reports")
        return 1
    print(f"report check: {len(reports)} reports passed")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
