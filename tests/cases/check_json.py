"""Checks a document Orvane printed with JSON, for every level of the table of cases.

check_json.py SCHEMA DOCUMENT EXPECTED

DOCUMENT must be the whole of standard output: valid UTF-8 holding one JSON document and nothing
else. It is parsed with Python's json module and validated against SCHEMA (draft 2020-12) with
jsonschema, held closed: a member the schema does not name is an error here, though readers
accept it. EXPECTED holds a row's json lines, "PATH VALUE" each: PATH as jq writes it
(.printers[1].id, .printers|length), VALUE a JSON value the member must equal. Prints what is
wrong and exits 1; silent and 0 when all holds.
"""
import json
import re
import sys

import jsonschema


def closed(schema):
    if isinstance(schema, list):
        return [closed(part) for part in schema]
    if not isinstance(schema, dict):
        return schema
    held = {key: closed(value) for key, value in schema.items()}
    if "properties" in held:
        held.setdefault("additionalProperties", False)
    return held


PATH = re.compile(r"((?:\.[A-Za-z]+|\[\d+\])+)(\|length)?")
STEP = re.compile(r"\.([A-Za-z]+)|\[(\d+)\]")


def member(document, path):
    match = PATH.fullmatch(path)
    if not match:
        raise ValueError(f"not a path: {path}")
    value = document
    for key, index in STEP.findall(match.group(1)):
        value = value[key] if key else value[int(index)]
    return len(value) if match.group(2) else value


def problems(schema_path, document_path, expected_path):
    raw = open(document_path, "rb").read()
    try:
        document = json.loads(raw.decode("utf-8"))
    except (UnicodeDecodeError, json.JSONDecodeError) as error:
        yield f"standard output is not one JSON document: {error}"
        return
    schema = closed(json.load(open(schema_path, encoding="utf-8")))
    for error in jsonschema.Draft202012Validator(schema).iter_errors(document):
        yield f"schema: {'/'.join(map(str, error.absolute_path))}: {error.message}"
    for line in open(expected_path, encoding="utf-8").read().splitlines():
        path, _, text = line.partition(" ")
        want = json.loads(text)
        try:
            have = member(document, path)
        except (KeyError, IndexError, TypeError):
            yield f"{path}: missing, expected {text}"
            continue
        if have != want or type(have) is not type(want):
            yield f"{path} is {json.dumps(have)}, expected {text}"


def main():
    found = list(problems(*sys.argv[1:4]))
    if found:
        print("\n".join(found))
        print("---- the document")
        print(open(sys.argv[2], "rb").read().decode("utf-8", "backslashreplace"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
