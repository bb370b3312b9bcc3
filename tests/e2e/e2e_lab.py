"""End-to-end scenarios: the built lab under a real X server, driven from
outside with X input events and read back through AT-SPI and the clipboard.

Usage: e2e_lab.py LAB_BINARY ANSWER_KEY_BINARY RENDER_BINARY NOTEBOOK_BINARY PICTURES_FOLDER OUTPUT_FOLDER
Each scenario starts a fresh lab process, so the scatter sequence is the one
of a fresh start and the answer-key tool predicts every number."""

import csv
import os
import re
import shutil
import subprocess
import sys
import tempfile
import traceback

import pyatspi

from PIL import Image, ImageChops, ImageStat

from labdriver import Lab, XServer, wait_for, walk

LAB, ANSWER_KEY, RENDER, NOTEBOOK, PICTURES, OUTPUT = sys.argv[1:7]

GRAMS_1 = "Enter number of grams of mineral 1:"
GRAMS_2 = "Enter number of grams of mineral 2:"
RESULTS = "Microprobe Results"


def answer_key(script, locale="C"):
    """The reports the answer-key tool predicts for a worksheet script."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as handle:
        handle.write(script)
    try:
        result = subprocess.run([ANSWER_KEY, "--locale", locale, "--reports-only", handle.name],
                                capture_output=True, text=True, check=True)
    finally:
        os.unlink(handle.name)
    reports = result.stdout.split("\f\n")
    return [report.replace("\r\n", "\n") for report in reports if report]


def answer_key_notebook(script, locale="C", kit=None):
    """The notebook rows the answer-key tool predicts for a worksheet."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as handle:
        handle.write(script)
    try:
        result = subprocess.run([ANSWER_KEY, "--locale", locale, "--csv", *(["--kit", kit] if kit else []),
                                 handle.name], capture_output=True, check=True)
    finally:
        os.unlink(handle.name)
    return list(csv.reader(result.stdout.decode("utf-8").splitlines()))


def notebook_rows(path):
    with open(path, newline="", encoding="utf-8") as handle:
        return list(csv.reader(handle))


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder)
                  for top, _, names in os.walk(folder) for name in names)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def equal(actual, expected, what):
    if actual != expected:
        raise AssertionError(f"{what}:\n--- expected\n{expected!r}\n--- actual\n{actual!r}")


def fill(lab, window, name, text):
    entry = lab.control(window, name)
    lab.click(entry)
    lab.keys("ctrl+a")
    lab.type(text)


def start_run(lab, window, grams1, grams2, temperature, first_entry=GRAMS_1):
    """Types the three entries from the first box on and presses Enter."""
    wait_for("focus in the first entry", lambda: lab.focused(window).name == first_entry)
    lab.type(grams1)
    lab.keys("Tab")
    lab.type(grams2)
    lab.keys("Tab")
    lab.type(temperature)
    lab.keys("Return")


def report_text(lab, window):
    return lab.text_of(lab.control(window, RESULTS, role="text"))


def microprobe(lab, window):
    """Alt+M is both "&Menu" and "&Microprobe the Phases": as on any desktop,
    a shared access key moves the focus from one to the next, and Space
    presses the focused button."""
    for _ in range(3):
        lab.keys("alt+m")
        if wait_for("focus on a button", lambda: lab.focused(window)).name == "Microprobe the Phases":
            lab.keys("space")
            return
    raise AssertionError("Alt+M never reached the microprobe button")


def wait_report(lab, window, expected):
    try:
        wait_for("the report", lambda: report_text(lab, window) == expected, timeout=5)
    except AssertionError:
        equal(report_text(lab, window), expected, "the report")


def picture_matches_render(lab, window, picture_name, tag, ratio=1):
    """The picture box on screen against the library's own rendering. The
    accessibility interface gives positions in logical pixels; the screen
    has `ratio` device pixels to each."""
    picture = lab.control(window, "Charge picture")
    shot = os.path.join(OUTPUT, f"{tag}-picture-box.png")
    width, height = lab.screen_region(picture, shot, ratio)
    rendered = os.path.join(OUTPUT, f"{tag}-picture-rendered.png")
    # The box draws the picture inside its 1-pixel sunken frame.
    frame = ratio
    inner_width, inner_height = width - 2 * frame, height - 2 * frame
    subprocess.run([RENDER, os.path.join(PICTURES, picture_name), rendered, "--size",
                    f"{inner_width}x{inner_height}"], check=True)
    screen = Image.open(shot).convert("RGB").crop((frame, frame, width - frame, height - frame))
    reference = Image.open(rendered).convert("RGB")
    # Compare the middle, where the capsule is; the edges may show the box's
    # own background instead of the renderer's white.
    margin_x, margin_y = inner_width // 6, inner_height // 8
    box = (margin_x, margin_y, inner_width - margin_x, inner_height - margin_y)
    difference = ImageChops.difference(screen.crop(box), reference.crop(box))
    mean = sum(ImageStat.Stat(difference).mean) / 3
    check(mean < 6, f"picture box differs from the rendered picture by {mean:.1f} on average")


def scenario_experiment1_and_2(display):
    expected = answer_key("""
exp1 run 0.5 0.5 1300
exp1 probe
exp1 run 0.5 abc 1300
exp1 run 0 0 1300
exp1 probe
exp2 run 0.5 0.5 1400
exp2 probe
""")
    # Without --notebook the lab writes no file: not in its home, not in
    # the folder it runs in.
    home = tempfile.mkdtemp()
    pictures_before = files_under(PICTURES)
    lab = Lab(LAB, PICTURES, display, {"HOME": home})
    try:
        label = lab.control(lab.menu, "Welcome to Orvane Experimental Labs")
        lab.click(label)
        wait_for("the motto", lambda: label.name == "Experiments without burnt fingers!")
        lab.click(label)
        wait_for("the welcome line", lambda: label.name == "Welcome to Orvane Experimental Labs")
        lab.screenshot("Main Menu", os.path.join(OUTPUT, "main-menu.png"))

        lab.keys("alt+1")
        window = lab.window("Experiment 1")
        start_run(lab, window, "0.5", "0.5", "1300")
        picture = lab.control(window, "Charge picture")
        wait_for("the charge picture", lambda: lab.description_of(picture)
                 == "Charge of glass with crystals of mineral 2, up to 10 percent crystal.")
        picture_matches_render(lab, window, "Chbb.wmf", "experiment1")

        microprobe(lab, window)
        wait_report(lab, window, expected[0])
        lab.click(lab.control(window, RESULTS, role="text"))
        lab.keys("ctrl+a", "ctrl+c")
        wait_for("the report on the clipboard", lambda: lab.clipboard() == expected[0], timeout=5)
        lab.screenshot("Experiment 1", os.path.join(OUTPUT, "experiment-1.png"))

        fill(lab, window, GRAMS_2, "abc")
        lab.keys("Return")
        box = lab.window("Entry Error")
        lab.control(box, "A value between 0 and 1 is required!")
        lab.keys("Return")
        lab.wait_closed("Entry Error")
        wait_for("focus back in the emptied box", lambda: lab.focused(window).name == GRAMS_2)
        equal(lab.text_of(lab.control(window, GRAMS_2)), "", "the refused entry")

        fill(lab, window, GRAMS_1, "0")
        fill(lab, window, GRAMS_2, "0")
        lab.keys("Return")
        box = lab.window("Abort")
        lab.control(box, "Program encountered an unexpected error!")
        lab.keys("Return")
        lab.wait_closed("Experiment 1")

        lab.keys("alt+1")
        window = lab.window("Experiment 1")
        for name in (GRAMS_1, GRAMS_2):
            equal(lab.text_of(lab.control(window, name)), "", f"{name} after reopening")
        equal(report_text(lab, window), "", "the report box after reopening")
        microprobe(lab, window)
        wait_report(lab, window, expected[1])
        lab.keys("Escape")
        lab.wait_closed("Experiment 1")

        lab.keys("alt+2")
        window = lab.window("Experiment 2")
        start_run(lab, window, "0.5", "0.5", "1400")
        picture = lab.control(window, "Charge picture")
        wait_for("the charge picture", lambda: lab.description_of(picture)
                 == "Charge of glass with crystals of the solid solution, 40 to 50 percent crystal.")
        microprobe(lab, window)
        wait_report(lab, window, expected[2])
        lab.screenshot("Experiment 2", os.path.join(OUTPUT, "experiment-2.png"))
        lab.keys("Escape")
        lab.wait_closed("Experiment 2")

        lab.keys("alt+x")
        equal(lab.wait_exit(), 0, "exit status after Alt+X")
        equal(files_under(home), [], "files the lab wrote in its home")
        equal(files_under(PICTURES), pictures_before, "files in the folder the lab ran in")
    finally:
        lab.close()
        shutil.rmtree(home, ignore_errors=True)


# A session typed at the keyboard, the same for the lab and the answer key.
NOTEBOOK_SESSION = """exp1 run 0.5 0.5 1300
exp1 probe
exp1 run 0.5 abc 1300
exp1 run 0 0 1300
exp1 probe
exp2 run 0.9 0.1 1200
exp2 probe
"""


def wait_picture(lab, window):
    picture = lab.control(window, "Charge picture")
    wait_for("the charge picture", lambda: lab.description_of(picture).startswith("Charge of"))


def type_notebook_session(lab):
    lab.keys("alt+1")
    window = lab.window("Experiment 1")
    start_run(lab, window, "0.5", "0.5", "1300")
    wait_picture(lab, window)
    microprobe(lab, window)
    wait_for("the report", lambda: report_text(lab, window))
    fill(lab, window, GRAMS_2, "abc")
    lab.keys("Return")
    lab.window("Entry Error")
    lab.keys("Return")
    lab.wait_closed("Entry Error")
    fill(lab, window, GRAMS_1, "0")
    fill(lab, window, GRAMS_2, "0")
    lab.keys("Return")
    lab.window("Abort")
    lab.keys("Return")
    lab.wait_closed("Experiment 1")
    lab.keys("alt+1")
    window = lab.window("Experiment 1")
    microprobe(lab, window)
    wait_for("the report", lambda: report_text(lab, window))
    lab.keys("Escape")
    lab.wait_closed("Experiment 1")
    lab.keys("alt+2")
    window = lab.window("Experiment 2")
    start_run(lab, window, "0.9", "0.1", "1200")
    wait_picture(lab, window)
    microprobe(lab, window)
    wait_for("the report", lambda: report_text(lab, window))
    lab.keys("Escape")
    lab.wait_closed("Experiment 2")


def one_run_and_exit(lab, grams1, grams2, temperature):
    """Alt+1, one run that shows its picture, Esc, Alt+X."""
    lab.keys("alt+1")
    window = lab.window("Experiment 1")
    start_run(lab, window, grams1, grams2, temperature)
    wait_picture(lab, window)
    lab.keys("Escape")
    lab.wait_closed("Experiment 1")
    lab.keys("alt+x")
    equal(lab.wait_exit(), 0, "exit status after Alt+X")


def check_notebook_against_key(notebook, expected):
    rows = notebook_rows(notebook)
    equal(rows[0], expected[0], "the notebook's header")
    equal(len(rows), len(expected), "rows in the notebook")
    for row, predicted in zip(rows[1:], expected[1:]):
        check(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d", row[0]), f"time {row[0]!r}")
        # Every field but the time is what the answer key says the windows showed.
        equal(row[1:], predicted[1:], "a notebook row")
    # The instructor's check finds every row to be what the lab gives, on a
    # desktop of another locale too: the rows say theirs.
    checked = subprocess.run([ANSWER_KEY, "--locale", "de_DE", "--check", notebook], capture_output=True, text=True)
    equal(checked.returncode, 0, f"--check of the genuine notebook ({checked.stdout}{checked.stderr})")
    return rows


KIT = "6NUR-XT58"


def scenario_kit(display):
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    expected = answer_key_notebook(NOTEBOOK_SESSION, kit=KIT)
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--kit", KIT.lower(), "--notebook", notebook])
    try:
        type_notebook_session(lab)
        lab.keys("alt+x")
        equal(lab.wait_exit(), 0, "exit status after Alt+X")
    finally:
        lab.close()
    try:
        rows = check_notebook_against_key(notebook, expected)
        check(all(row[22] == KIT for row in rows[1:]), "the kit column holds the code")
        check(expected != answer_key_notebook(NOTEBOOK_SESSION), "the kit is a system of its own")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def scenario_notebook(display):
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    expected = answer_key_notebook(NOTEBOOK_SESSION)
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", notebook])
    try:
        type_notebook_session(lab)
        lab.keys("alt+x")
        equal(lab.wait_exit(), 0, "exit status after Alt+X")
    finally:
        lab.close()
    rows = check_notebook_against_key(notebook, expected)
    with open(notebook, "rb") as handle:
        first_session = handle.read()

    # The notebook window follows the file while a second lab start appends.
    viewer = subprocess.Popen([NOTEBOOK, notebook], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                                               HOME=folder))
    try:
        title = f"Lab notebook: {notebook}"
        wait_for("the notebook window", lambda: Lab.window_ids(title))
        table = wait_for("the table", lambda: find_named(viewer.pid, "Notebook rows"))
        equal(table.queryTable().nRows, len(rows) - 1, "rows in the notebook window")
        lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", notebook])
        try:
            one_run_and_exit(lab, "0.8", "0.2", "1300")
        finally:
            lab.close()
        with open(notebook, "rb") as handle:
            both = handle.read()
        check(both.startswith(first_session), "the second start rewrote the first session")
        last = notebook_rows(notebook)[-1]
        equal((last[1], last[3], last[7]), ("2", "run", "Chai.wmf"), "the second session's run")
        wait_for("the new row in the table", lambda: table.queryTable().nRows == len(rows))
        check(find_named(viewer.pid, "Experiment 1: my runs and analyses"), "the plot is named")
        subprocess.run(["import", "-window", Lab.window_ids(title)[-1],
                        os.path.join(OUTPUT, "notebook-window.png")], check=True)
        # The student's own plot of both sessions, exported without a window.
        plot = os.path.join(OUTPUT, "notebook-plot-experiment-1.png")
        exported = subprocess.run([NOTEBOOK, notebook, "--export", plot, "--experiment", "1"],
                                  capture_output=True, text=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        equal(exported.returncode, 0, f"exporting the plot ({exported.stderr})")
        with open(plot, "rb") as handle:
            check(handle.read(8) == b"\x89PNG\r\n\x1a\n", "the exported plot is a PNG")
    finally:
        viewer.kill()
        viewer.wait()
        shutil.rmtree(folder, ignore_errors=True)


def run_in_experiment_1(lab, grams1, grams2, temperature):
    """Alt+1, one run that shows its picture, Esc: back at the menu."""
    lab.keys("alt+1")
    window = lab.window("Experiment 1")
    start_run(lab, window, grams1, grams2, temperature)
    wait_picture(lab, window)
    lab.keys("Escape")
    lab.wait_closed("Experiment 1")


def scenario_two_labs_one_notebook(display):
    """A student starts the lab twice on today's notebook, to have both
    experiments open: each start records its own session, their rows
    interleave in the file, and the check finds every row genuine."""
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    first = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", notebook])
    second = None
    try:
        run_in_experiment_1(first, "0.5", "0.5", "1300")
        second = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", notebook])
        run_in_experiment_1(second, "0.8", "0.2", "1300")
        first.activate()
        run_in_experiment_1(first, "0.2", "0.8", "1400")
        second.activate()
        second.keys("alt+x")
        equal(second.wait_exit(), 0, "the second lab's exit status")
        first.activate()
        first.keys("alt+x")
        equal(first.wait_exit(), 0, "the first lab's exit status")
    finally:
        first.close()
        if second:
            second.close()
    try:
        rows = notebook_rows(notebook)
        equal([(row[1], row[4]) for row in rows[1:]], [("1", "0.5"), ("2", "0.8"), ("1", "0.2")],
              "sessions and grams of the rows, in the order written")
        checked = subprocess.run([ANSWER_KEY, "--check", notebook], capture_output=True, text=True)
        equal(checked.returncode, 0, f"--check of both labs' notebook ({checked.stdout}{checked.stderr})")
        check("in 2 sessions" in checked.stdout, checked.stdout)
        equal(files_under(folder), ["notebook.csv"], "files left beside the notebook")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def round_trip_through_calc(notebook, folder, quote_all_text):
    """The notebook opened in LibreOffice Calc and saved again as CSV, with
    the defaults or with "quote all text cells"."""
    out = os.path.join(folder, "quoted" if quote_all_text else "defaults")
    subprocess.run(["soffice", f"-env:UserInstallation=file://{folder}/calc-profile", "--headless",
                    "--infilter=CSV:44,34,76,1",
                    "--convert-to", f"csv:Text - txt - csv (StarCalc):44,34,76,1,,0,{str(quote_all_text).lower()}",
                    "--outdir", out, notebook], check=True, capture_output=True)
    return os.path.join(out, os.path.basename(notebook))


def scenario_notebook_through_a_spreadsheet(display):
    """A notebook the real lab wrote, saved again by LibreOffice Calc: the
    check still finds it genuine, the notebook window still plots it, and
    the lab goes on recording in it."""
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", notebook])
    try:
        type_notebook_session(lab)
        lab.keys("alt+x")
        equal(lab.wait_exit(), 0, "exit status after Alt+X")
    finally:
        lab.close()
    try:
        for quote_all_text in (False, True):
            saved = round_trip_through_calc(notebook, folder, quote_all_text)
            with open(saved, "rb") as handle:
                text = handle.read()
            check(b"\r\n" not in text and b",1.00," not in text, "Calc wrote LF and its own numbers")
            check(text.startswith(b'"time"') == quote_all_text, "the header is quoted with every text")
            checked = subprocess.run([ANSWER_KEY, "--check", saved], capture_output=True, text=True)
            equal(checked.returncode, 0, f"--check after Calc ({checked.stdout}{checked.stderr})")
            plotted = subprocess.run([NOTEBOOK, saved, "--export", os.path.join(folder, "plot.svg")],
                                     capture_output=True, text=True,
                                     env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
            equal(plotted.returncode, 0, f"the notebook window's plot after Calc ({plotted.stderr})")
        lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", saved])
        try:
            one_run_and_exit(lab, "0.8", "0.2", "1300")
        finally:
            lab.close()
        checked = subprocess.run([ANSWER_KEY, "--check", saved], capture_output=True, text=True)
        equal(checked.returncode, 0, f"--check after the lab went on ({checked.stdout}{checked.stderr})")
        check("in 2 sessions" in checked.stdout, checked.stdout)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def find_named(pid, name):
    """An object of the process's accessibility tree by its name."""
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and application.get_process_id() == pid:
            for node in walk(application):
                if node.name == name:
                    return node
    return None


def scenario_notebook_that_cannot_be_written(display):
    folder = tempfile.mkdtemp()
    lab = Lab(LAB, PICTURES, display, {"HOME": folder}, ["--notebook", folder], first_window="Lab notebook")
    try:
        box = lab.menu
        check(any("is a folder" in (node.name or "") for node in walk(box)), "the message says why")
        lab.keys("Return")
        lab.window("Main Menu")
        one_run_and_exit(lab, "0.5", "0.5", "1300")
        equal(files_under(folder), [], "files written")
    finally:
        lab.close()
        shutil.rmtree(folder, ignore_errors=True)


def scenario_german_locale(display):
    """A German desktop's lab reads decimal commas; its notebook, checked on
    an English desktop, is found genuine: its rows say their locale."""
    expected = answer_key("exp1 run 0,5 0,5 1300\nexp1 probe\n", locale="de_DE")
    check("49,96" in expected[0], "the answer key prints decimal commas")
    folder = tempfile.mkdtemp()
    notebook = os.path.join(folder, "notebook.csv")
    lab = Lab(LAB, PICTURES, display, {"LANG": "de_DE.UTF-8", "LC_ALL": "de_DE.UTF-8", "HOME": folder},
              ["--notebook", notebook])
    try:
        lab.keys("alt+1")
        window = lab.window("Experiment 1")
        start_run(lab, window, "0,5", "0,5", "1.300")
        picture = lab.control(window, "Charge picture")
        wait_for("the charge picture", lambda: "mineral 2" in lab.description_of(picture))
        microprobe(lab, window)
        wait_report(lab, window, expected[0])
    finally:
        lab.close()
    try:
        rows = notebook_rows(notebook)
        equal((rows[1][4], rows[1][6], rows[1][23]), ("0,5", "1.300", "de_DE"), "the entries as typed, and their locale")
        checked = subprocess.run([ANSWER_KEY, "--locale", "C", "--check", notebook], capture_output=True, text=True)
        equal(checked.returncode, 0, f"--check on an English desktop ({checked.stdout}{checked.stderr})")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def scenario_high_density(display):
    lab = Lab(LAB, PICTURES, display, {"QT_SCALE_FACTOR": "2"})
    try:
        equal(lab.window_size("Main Menu"), (892, 702), "main menu size at device pixel ratio 2")
        lab.keys("alt+1")
        window = lab.window("Experiment 1")
        equal(lab.window_size("Experiment 1"), (894, 800), "experiment window size at ratio 2")
        start_run(lab, window, "0.8", "0.2", "1300")
        picture = lab.control(window, "Charge picture")
        wait_for("the charge picture", lambda: "mineral 1, 40 to 50 percent" in lab.description_of(picture))
        picture_matches_render(lab, window, "Chai.wmf", "experiment1-ratio2", ratio=2)
        lab.screenshot("Experiment 1", os.path.join(OUTPUT, "experiment-1-ratio2.png"))
    finally:
        lab.close()


def run_scenarios(scenarios):
    """Runs each scenario on one X server; the exit status of the whole."""
    os.makedirs(OUTPUT, exist_ok=True)
    server = XServer()
    passed = failed = 0
    try:
        for scenario in scenarios:
            try:
                scenario(server.display)
                print(f"PASS {scenario.__name__}", flush=True)
                passed += 1
            except Exception:
                print(f"FAIL {scenario.__name__}", flush=True)
                traceback.print_exc()
                failed += 1
    finally:
        server.close()
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


def main():
    return run_scenarios((scenario_experiment1_and_2, scenario_notebook, scenario_kit,
                          scenario_two_labs_one_notebook, scenario_notebook_through_a_spreadsheet,
                          scenario_notebook_that_cannot_be_written,
                          scenario_german_locale, scenario_high_density))


if __name__ == "__main__":
    sys.exit(main())
