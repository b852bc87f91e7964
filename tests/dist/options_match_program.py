#!/usr/bin/env python3
"""Checks the settings XML and the manual page against the program itself.
xscreensaver-settings adds nothing for a control at its default, so the XML's
defaults and ranges must be those `nimbrel --help` states; every argument the
XML can produce must be accepted and one step past a range refused; the manual
page must name every option.
  options_match_program.py PROGRAM nimbrel.xml nimbrel.6x PICTURE.png"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

program, xml_path, man_path, picture = sys.argv[1:5]
failures = []


def check(ok, message):
    if not ok:
        failures.append(message)


def accepted(args):
    """Whether the program takes ARGS: followed by --help, it checks the whole
    command line and then only prints the options."""
    return subprocess.run([program, *args, "--help"], capture_output=True, timeout=30).returncode == 0


usage = subprocess.run([program, "--help"], capture_output=True, text=True, timeout=30).stdout
# Each option's text, by name: an entry starts at a line indented by a few
# spaces and an option; deeper-indented lines go on with it.
options, names = {}, []
for line in usage.splitlines():
    start = re.match(r" {1,4}(--[a-z-]+(?:, --[a-z-]+)*)", line)
    names = [n[2:] for n in start.group(1).split(", ")] if start else names if line.startswith(" " * 6) else []
    for name in names:
        options[name] = options.get(name, "") + " " + line.strip()
check(len(options) > 10, f"--help lists only {sorted(options)}")

root = ET.parse(xml_path).getroot()
check(root.get("name") == "nimbrel", "the XML is not named after the program")
for element in root.iter():
    arg = element.get("arg") or element.get("arg-set") or element.get("arg-unset")
    if element.tag == "number":
        low, high, default = (element.get(k) for k in ("low", "high", "default"))
        name = arg.split()[0][2:]
        stated = re.search(r"(\d+) to (\d+)\D.*\(default (\d+)\)", options.get(name, ""))
        check(stated and stated.groups() == (low, high, default),
              f"--{name}: the XML says {low} to {high}, default {default}; --help says {options.get(name)}")
        for value, ok in ((low, True), (high, True), (default, True), (int(low) - 1, False), (int(high) + 1, False)):
            check(accepted(arg.replace("%", str(value)).split()) == ok,
                  f"--{name} {value} is {'refused' if ok else 'accepted'} by the program")
    elif element.tag == "boolean":  # on by default when unticking it adds the argument
        default = "off" if element.get("arg-set") else "on"
        described = options.get(arg[2:].removeprefix("no-"), "")
        check(f"(default {default})" in described, f"{arg}: the XML's box is {default}; --help says {described}")
        check(accepted([arg]), f"{arg} is refused by the program")
    elif element.tag == "select":
        check([o.get("arg-set") for o in element].count(None) == 1, "a select has not exactly one default")
    elif arg:  # a command, a select's option, a file
        check(accepted(arg.replace("%", picture).split()), f"{arg} is refused by the program")

# Every setting with a default in --help has a control, and a manual entry.
xml_args = " ".join(e.get(k) or "" for e in root.iter() for k in ("arg", "arg-set", "arg-unset"))
man = re.sub(r"\\f[BIRP]", "", open(man_path).read()).replace("\\-", "-")
for name, described in options.items():
    if "(default" in described and not name.startswith("no-") and name != "window":
        check(re.search(rf"--(no-)?{name}(?![\w-])", xml_args), f"--{name} has no control in the XML")
    check(f"--{name}" in man, f"the manual page does not name --{name}")

print("\n".join(failures)) if failures else None
sys.exit(1 if failures else 0)
