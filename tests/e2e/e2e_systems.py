"""End-to-end scenarios of the lab's systems: a student at the keyboard in
front of a system of the library, with a notebook and with a kit, and the
chooser the desktop action opens, driven through the accessibility tree.

Usage: e2e_systems.py LAB_BINARY ANSWER_KEY_BINARY RENDER_BINARY NOTEBOOK_BINARY PICTURES_FOLDER OUTPUT_FOLDER"""

import os
import shutil
import subprocess
import sys
import tempfile

import e2e_lab
from e2e_lab import (LAB, NOTEBOOK, OUTPUT, PICTURES, answer_key_notebook, check, check_notebook_against_key,
                     equal, fill, files_under, report_text, run_scenarios, start_run)
from labdriver import Lab, wait_for, walk

FO_SIO2 = "Forsterite \u2013 Silica"
AB_AN = "Albite \u2013 Anorthite"


def grams_of(mineral):
    return f"Enter number of grams of {mineral}:"


def run(lab, window, first_entry, grams1, grams2, temperature):
    """Types the three entries from the first box on, presses Enter and
    waits for the run's picture; the picture's words."""
    start_run(lab, window, grams1, grams2, temperature, first_entry)
    picture = lab.control(window, "Charge picture")
    wait_for("the charge picture", lambda: lab.description_of(picture).startswith("Charge of"))
    return lab.description_of(picture)


def microprobe(lab, window):
    """Presses "Microprobe the Phases" by its access key; the report."""
    e2e_lab.microprobe(lab, window)
    wait_for("the report", lambda: report_text(lab, window))
    return report_text(lab, window)


# The peritectic of forsterite and silica, then the eutectic, a refused
# entry and an empty charge: what a student meets at the keyboard.
FO_SIO2_SESSION = """fo-sio2 run 0.7 0.3 1552.4
fo-sio2 probe
fo-sio2 run 0.7 abc 1552.4
fo-sio2 run 0.62 0.38 1547.4
fo-sio2 probe
fo-sio2 run 0 0 1500
"""


def scenario_fo_sio2_session(display):
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    expected = answer_key_notebook(FO_SIO2_SESSION)
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--system", "fo-sio2", "--notebook", notebook],
              first_window=FO_SIO2)
    try:
        window = lab.menu
        first = grams_of("forsterite")
        said = run(lab, window, first, "0.7", "0.3", "1552.4")
        check("forsterite" in said and "enstatite" in said, f"the peritectic's charge: {said}")
        report = microprobe(lab, window)
        check("forsterite  enstatite      glass" in report, f"the peritectic's report:\n{report}")
        lab.screenshot(FO_SIO2, os.path.join(OUTPUT, "fo-sio2-peritectic.png"))

        fill(lab, window, grams_of("silica"), "abc")
        lab.keys("Return")
        box = lab.window("Entry Error")
        lab.control(box, "A value between 0 and 1 is required!")
        lab.keys("Return")
        lab.wait_closed("Entry Error")
        wait_for("focus back in the emptied box", lambda: lab.focused(window).name == grams_of("silica"))
        fill(lab, window, first, "0.62")
        lab.keys("Tab")
        lab.type("0.38")
        lab.keys("Tab", "ctrl+a")
        lab.type("1547.4")
        lab.keys("Return")
        picture = lab.control(window, "Charge picture")
        wait_for("the eutectic's charge", lambda: "cristobalite" in lab.description_of(picture))
        microprobe(lab, window)

        fill(lab, window, first, "0")
        fill(lab, window, grams_of("silica"), "0")
        fill(lab, window, "Enter Temperature in Celsius", "1500")
        lab.keys("Return")
        box = lab.window("Abort")
        lab.control(box, "Program encountered an unexpected error!")
        lab.keys("Return")
        # Abort leaves the window, and so the lab started on the system.
        equal(lab.wait_exit(), 0, "exit status after Abort")
    finally:
        lab.close()
    try:
        rows = check_notebook_against_key(notebook, expected)
        check(all(row[2] == "fo-sio2" for row in rows[1:]), "the experiment column holds the system's id")
        # The student's plot of the system, drawn from the notebook.
        plot = os.path.join(OUTPUT, "notebook-plot-fo-sio2.png")
        exported = subprocess.run([NOTEBOOK, notebook, "--export", plot, "--experiment", "fo-sio2"],
                                  capture_output=True, text=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        equal(exported.returncode, 0, f"exporting the system's plot ({exported.stderr})")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


KIT = "6NUR-XT58"
AB_AN_SESSION = """ab-an run 0.6 0.4 1350
ab-an probe
ab-an run 0.2 0.8 1450
ab-an probe
"""


def scenario_ab_an_with_a_kit(display):
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    expected = answer_key_notebook(AB_AN_SESSION, kit=KIT)
    check(expected != answer_key_notebook(AB_AN_SESSION), "the kit's plagioclase loop is its own")
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--system", "ab-an", "--kit", KIT, "--notebook", notebook],
              first_window=AB_AN)
    try:
        window = lab.menu
        said = run(lab, window, grams_of("albite"), "0.6", "0.4", "1350")
        microprobe(lab, window)
        fill(lab, window, grams_of("albite"), "0.2")
        lab.keys("Tab", "ctrl+a")
        lab.type("0.8")
        lab.keys("Tab", "ctrl+a")
        lab.type("1450")
        lab.keys("Return")
        picture = lab.control(window, "Charge picture")
        wait_for("the second run's charge", lambda: lab.description_of(picture) != said)
        microprobe(lab, window)
        lab.keys("Escape")
        equal(lab.wait_exit(), 0, "exit status after leaving the system's window")
    finally:
        lab.close()
    try:
        rows = check_notebook_against_key(notebook, expected)
        check(all(row[22] == KIT for row in rows[1:]), "the kit column holds the code")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def scenario_chooser(display):
    """The desktop action's chooser, by keyboard, read through the
    accessibility tree: each system whole, the one chosen opened, and back."""
    folder = tempfile.mkdtemp()
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--choose-system"], first_window="More systems")
    try:
        chooser = lab.menu
        systems = [node for node in walk(chooser) if node.getRoleName() in ("list item", "table cell")]
        names = [node.name for node in systems]
        check(any(name.startswith(FO_SIO2 + ". forsterite and silica (Bowen and Andersen (1914)).") for name in names),
              f"the chooser's entries read whole: {names}")
        check(lab.control(chooser, "Open a system file..."), "the chooser opens files too")
        wait_for("the list has the keyboard", lambda: lab.focused(chooser) is not None
                 and lab.focused(chooser).getRoleName() in ("list", "list item", "table cell"))
        lab.keys("Home", "Down", "Down", "Down", "Return")
        window = lab.window(FO_SIO2)
        run(lab, window, grams_of("forsterite"), "0.5", "0.5", "1600")
        lab.keys("Escape")
        lab.wait_closed(FO_SIO2)
        lab.window("More systems")
        lab.keys("Escape")
        equal(lab.wait_exit(), 0, "exit status after closing the chooser")
        equal(files_under(folder), [], "files written without a notebook")
    finally:
        lab.close()
        shutil.rmtree(folder, ignore_errors=True)


def scenario_cooling(display):
    """Plagioclase cooled fractionally by keyboard: the panel's entries, the
    path stepped through with the picture following, the traverse, and the
    notebook's rows equal to the answer key's."""
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    expected = answer_key_notebook("ab-an cool 0.5 0.5 1500 1120 20 fractional\nab-an probe\n")
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--system", "ab-an", "--notebook", notebook],
              first_window=AB_AN)
    try:
        window = lab.menu
        wait_for("focus in the first entry", lambda: lab.focused(window).name == grams_of("albite"))
        lab.type("0.5")
        lab.keys("Tab")
        lab.type("0.5")
        lab.keys("alt+c")
        panel = lab.window("Cool the melt")
        for name, text in (("Start at (degrees Celsius):", "1500"), ("End at (degrees Celsius):", "1120"),
                           ("Step (degrees):", "20")):
            # The entry, not its label of the same name.
            lab.click(lab.control(panel, name, role="text"))
            lab.keys("ctrl+a")
            lab.type(text)
        lab.keys("alt+f", "alt+n")
        path = lab.control(panel, "Step of the cooling path")
        wait_for("the path's end", lambda: lab.description_of(path).startswith("Step 20 of 20, 1120 degrees"))
        picture = lab.control(window, "Charge picture")
        check(lab.description_of(path).endswith(lab.description_of(picture)), "the picture shows the step")
        lab.click(path)
        lab.keys("Home")
        wait_for("the start", lambda: lab.description_of(picture) == "Charge of glass (100 percent).")
        lab.keys("End")
        wait_for("the end again", lambda: "plagioclase" in lab.description_of(picture))
        lab.screenshot("Cool the melt", os.path.join(OUTPUT, "cooling-panel.png"))
        lab.keys("Escape")
        lab.wait_closed("Cool the melt")
        report = microprobe(lab, lab.activate(AB_AN))
        check("plagioclase core" in report and "plagioclase rim" in report, f"the traverse:\n{report}")
        lab.keys("Escape")
        equal(lab.wait_exit(), 0, "exit status after leaving the window")
    finally:
        lab.close()
    try:
        check_notebook_against_key(notebook, expected)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    return run_scenarios((scenario_fo_sio2_session, scenario_ab_an_with_a_kit, scenario_chooser, scenario_cooling))


if __name__ == "__main__":
    sys.exit(main())
