#!/usr/bin/env python3
"""The winget manifests of a Kelpwise version: the three files of a multi-file
manifest (version, installer, defaultLocale en-US), ManifestVersion 1.6.0.

    winget.py write VERSION SETUP32 SETUP64 FOLDER
        writes the set for VERSION and the two setup programs into FOLDER
    winget.py check BUILT SETUP32 SETUP64 CHECKED_IN
        checks that BUILT is the set of the version in the file VERSION and of
        the setup programs (the files its installers name exist, their hashes
        match) and that CHECKED_IN is the same set but for the hashes; exits 1
        on any difference

The setup programs' bytes differ from build to build (time stamps), so every
build writes its own set (scripts/build.sh: build/winget); installer/winget
holds the set of the published setup programs. Standard library only.
"""
import hashlib
import os
import sys

IDENTIFIER = "Tarnwell.Kelpwise"
DOWNLOADS = "https://example.org/kelpwise/download"
SCHEMA = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.{}.1.6.0.schema.json\n"
HASH_KEY = "  InstallerSha256: "


def sha256(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest().upper()


def manifests(version, setup32, setup64):
    """{file name: text} of the set."""
    head = f"PackageIdentifier: {IDENTIFIER}\nPackageVersion: {version}\n"
    tail = "ManifestVersion: 1.6.0\n"
    installers = ""
    for architecture, setup in (("x86", setup32), ("x64", setup64)):
        installers += (f"- Architecture: {architecture}\n"
                       f"  InstallerUrl: {DOWNLOADS}/{version}/{os.path.basename(setup)}\n"
                       f"{HASH_KEY}{sha256(setup)}\n")
    return {
        f"{IDENTIFIER}.yaml": SCHEMA.format("version") + head +
        "DefaultLocale: en-US\nManifestType: version\n" + tail,
        f"{IDENTIFIER}.installer.yaml": SCHEMA.format("installer") +
        "# InstallerSha256: of the setup programs the set was made from (scripts/winget.py).\n" +
        head + "InstallerType: nullsoft\nScope: machine\n"
        "InstallModes:\n- interactive\n- silent\n- silentWithProgress\n"
        "InstallerSwitches:\n  Silent: /S\n  SilentWithProgress: /S\n"
        "  InstallLocation: /D=<INSTALLPATH>\n"
        "UpgradeBehavior: install\nElevationRequirement: elevatesSelf\n"
        "ProductCode: TarnwellKelpwise\n"
        "Installers:\n" + installers + "ManifestType: installer\n" + tail,
        f"{IDENTIFIER}.locale.en-US.yaml": SCHEMA.format("defaultLocale") + head +
        "PackageLocale: en-US\nPublisher: Tarnwell\nPackageName: Tarnwell Kelpwise\n"
        "PackageUrl: https://example.org/kelpwise\nLicense: Proprietary\n"
        "ShortDescription: Registry cleaner that finds obsolete entries and backs up"
        " everything it deletes\n"
        "ManifestType: defaultLocale\n" + tail,
    }


def read(folder, name):
    try:
        with open(os.path.join(folder, name), encoding="utf-8") as file:
            return file.read()
    except OSError:
        return None


def without_hashes(text):
    return [line for line in text.splitlines() if not line.startswith(HASH_KEY)]


def check(built, setup32, setup64, checked_in):
    """The differences found, as messages."""
    problems = []
    version = read(os.path.join(os.path.dirname(__file__), ".."), "VERSION").strip()
    # What the built set should say about these setup programs; each named file
    # must exist (sha256 reads it) and match its hash.
    try:
        expected = manifests(version, setup32, setup64)
    except OSError as error:
        return [f"setup program missing: {error.filename}"]
    for name, text in expected.items():
        if read(built, name) != text:
            problems.append(f"{built}/{name} does not match {setup32} and {setup64}")
        kept = read(checked_in, name)
        if kept is None or without_hashes(kept) != without_hashes(text):
            problems.append(f"{checked_in}/{name} is not the set of version {version}")
    return problems


def main(args):
    if len(args) == 5 and args[0] == "write":
        os.makedirs(args[4], exist_ok=True)
        for name, text in manifests(*args[1:4]).items():
            with open(os.path.join(args[4], name), "w", encoding="utf-8", newline="\n") as file:
                file.write(text)
        return 0
    if len(args) == 5 and args[0] == "check":
        problems = check(*args[1:])
        for problem in problems:
            print(f"winget manifests: FAILED: {problem}")
        if not problems:
            print("winget manifests: passed")
        return 1 if problems else 0
    print(__doc__.strip(), file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
