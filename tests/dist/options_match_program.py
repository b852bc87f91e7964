#!/usr/bin/env python3
"""Checks the settings XML and the manual page against the program itself.

xscreensaver-settings adds nothing to the command line for a control at its
default, so the XML's defaults and ranges must be the program's: they are
read from `nimbrel --help`, and every argument the XML can produce (each
number at its low end, high end and default) must be accepted by the
program, and one step past either end refused. The manual page must name
every option the program has.
  options_match_program.py PROGRAM nimbrel.xml nimbrel.6x PICTURE.png
"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

program, xml_path, man_path, picture = sys.argv[1:5]
failures = []


def check(ok, message):
    if not ok:
        failures.append(message)


def run(args):
    """The program's exit code and output for ARGS followed by --help, which
    checks the whole command line and then prints the options."""
    done = subprocess.run([program, *args, "--help"], capture_output=True, text=True, timeout=30,
                          env={"PATH": "/usr/bin:/bin"})
    return done.returncode, done.stdout + done.stderr


def help_entries(text):
    """Each option of --help, by name: the text that describes it. An entry
    starts at an indented line that begins with an option; deeper lines go on."""
    entries, names = {}, []
    for line in text.splitlines():
        start = re.match(r"^ {1,4}(--[a-z-]+(?:, --[a-z-]+)*)", line)
        if start:
            names = [n.lstrip("-") for n in start.group(1).split(", ")]
        elif not line.startswith("      "):
            names = []
        for name in names:
            entries[name] = entries.get(name, "") + " " + line.strip()
    return entries


code, usage = run([])
check(code == 0, f"--help alone ended with {code}")
options = help_entries(usage)
check(len(options) > 10, f"--help lists only {sorted(options)}")


def option_of(arg):
    return arg.split()[0].lstrip("-")


def accepted(args):
    return run(args)[0] == 0


root = ET.parse(xml_path).getroot()
check(root.get("name") == "nimbrel", "the XML is not named after the program")
for command in root.iter("command"):
    check(accepted(command.get("arg").split()), f"the command {command.get('arg')} is refused")

for number in root.iter("number"):
    arg, low, high, default = (number.get(k) for k in ("arg", "low", "high", "default"))
    name = option_of(arg)
    described = options.get(name, "")
    stated = re.search(r"(\d+) to (\d+)\D.*\(default (\d+)\)", described)
    check(stated is not None and stated.groups() == (low, high, default),
          f"--{name}: the XML says {low} to {high}, default {default}; --help says '{described.strip()}'")
    for value, ok in ((low, True), (high, True), (default, True),
                      (int(low) - 1, False), (int(high) + 1, False)):
        check(accepted(arg.replace("%", str(value)).split()) == ok,
              f"--{name} {value} is {'refused' if ok else 'accepted'} by the program")

for boolean in root.iter("boolean"):
    # The box is on by default when unticking it is what adds an argument.
    arg = boolean.get("arg-set") or boolean.get("arg-unset")
    default = "off" if boolean.get("arg-set") else "on"
    described = options.get(option_of(arg), "")
    check(f"(default {default})" in described,
          f"{arg}: the XML's box is {default} by default; --help says '{described.strip()}'")
    check(accepted([arg]), f"{arg} is refused by the program")

for select in root.iter("select"):
    choices = [option.get("arg-set") for option in select.iter("option")]
    check(choices.count(None) == 1, f"select {select.get('id')} has not exactly one default choice")
    for choice in filter(None, choices):
        check(accepted(choice.split()), f"{choice} is refused by the program")

for field in root.iter("file"):
    check(accepted(field.get("arg").replace("%", picture).split()), f"{field.get('arg')} is refused")

# Every setting that --help gives a default for has a control.
xml_args = " ".join(e.get(k) or "" for e in root.iter()
                    for k in ("arg", "arg-set", "arg-unset"))
for name, described in options.items():
    if "(default" in described and not name.startswith("no-") and name != "window":
        check(re.search(rf"--(no-)?{name}(?![\w-])", xml_args), f"--{name} has no control in the XML")

man = re.sub(r"\\f[BIRP]", "", open(man_path).read()).replace("\\-", "-")
for name in options:
    check(f"--{name}" in man, f"the manual page does not name --{name}")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
