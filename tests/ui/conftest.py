import os
import subprocess
from pathlib import Path

import pytest

from ui_session import DriverSession, HERE

REFERENCES = HERE / "reference"
# Set to rewrite the reference pictures from this run (look at each one before committing).
UPDATE = bool(os.environ.get("CORVANTA_UPDATE_REFERENCES"))


@pytest.fixture
def driver(request):
    sessions = []

    def start(*args, locale=None):
        session = DriverSession(locale)
        sessions.append(session)
        session.start_driver(*args)
        return session

    yield start
    for session in sessions:
        session.close()


@pytest.fixture
def shots(tmp_path):
    return tmp_path


def differing_pixels(actual, expected, masks=(), fuzz="8%"):
    """How many pixels differ by more than `fuzz` (ImageMagick compare -metric AE),
    with the rectangles in `masks` (x, y, width, height) left out of both."""
    def masked(source, name):
        if not masks:
            return str(source)
        target = Path(actual).parent / f"masked-{name}-{Path(source).name}"
        draw = []
        for x, y, w, h in masks:
            draw += ["-draw", f"rectangle {x},{y} {x + w - 1},{y + h - 1}"]
        subprocess.run(["convert", str(source), "-fill", "black", *draw, str(target)], check=True)
        return str(target)

    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", fuzz, masked(actual, "a"),
                             masked(expected, "e"), "null:"], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    text = result.stderr.strip().split()[0] if result.stderr.strip() else "inf"
    try:
        return int(float(text))
    except ValueError:
        raise AssertionError(f"compare failed: {result.stderr}")


@pytest.fixture
def matches_reference():
    def check(actual, name, masks=(), tolerance=40):
        reference = REFERENCES / f"{name}.png"
        if UPDATE:
            REFERENCES.mkdir(exist_ok=True)
            subprocess.run(["convert", str(actual), "-strip", str(reference)], check=True)
            return
        assert reference.exists(), f"no reference picture {reference}"
        differing = differing_pixels(actual, reference, masks)
        assert differing <= tolerance, (
            f"{name}: {differing} pixels differ from {reference} (kept: {actual})")
    return check


def pixel(path, x, y):
    """The (r, g, b) of one pixel of a PNG."""
    text = subprocess.run(["convert", str(path), "-format", f"%[pixel:p{{{x},{y}}}]", "info:"],
                          check=True, stdout=subprocess.PIPE, text=True).stdout
    return parse_colour(text)


def parse_colour(text):
    text = text.strip()
    if text.startswith("srgb(") or text.startswith("rgb("):
        return tuple(int(float(v)) for v in text[text.index("(") + 1:-1].split(",")[:3])
    if text.startswith("gray(") or text.startswith("grey("):
        value = int(float(text[5:-1]))
        return (value, value, value)
    names = {"white": (255, 255, 255), "black": (0, 0, 0), "red": (255, 0, 0)}
    if text in names:
        return names[text]
    raise AssertionError(f"unexpected colour {text!r}")


@pytest.fixture(scope="session")
def error_texts(tmp_path_factory):
    """The error stage with each text a worker can give it, drawn once by the
    driver: what the runs of the real installer are told apart by."""
    folder = tmp_path_factory.mktemp("error-texts")
    texts = {103: REFERENCES / "stage9.png"}
    session = DriverSession()
    try:
        session.start_driver()
        for text in (117, 118, 121):
            session.send(f"error-text {text}")
            session.send("stage 9")
            session.send("paint")
            texts[text] = session.screenshot(folder / f"error-{text}.png")
    finally:
        session.close()
    return texts


@pytest.fixture
def installer(tmp_path, error_texts):
    """Starts runs of the real installer; each is torn down after the test."""
    from installer_run import InstallerRun
    runs = []

    def start(locale=None):
        run = InstallerRun(tmp_path / f"run{len(runs)}", error_texts, locale)
        run.tmp.mkdir(parents=True, exist_ok=True)
        runs.append(run)
        return run

    yield start
    for run in runs:
        run.close()
