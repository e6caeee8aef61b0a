"""Placement, the worker-thread calls, the timers and resource use of the main window."""
import time

import pytest

from conftest import pixel
from ui_session import BUILD, WineSession, WIDTH, HEIGHT

SCREEN = (1024, 768)  # scripts/test.sh's Xvfb; no window manager, so no taskbar


@pytest.mark.parametrize("arguments,expected", [
    (("340", "120"), (120, 340)),
    (("0", "120"), (120, (SCREEN[1] - HEIGHT) // 2)),
    (("-7", "0"), ((SCREEN[0] - WIDTH) // 2, (SCREEN[1] - HEIGHT) // 2)),
])
def test_driver_window_is_placed_by_its_start_position(driver, arguments, expected):
    window = driver(*arguments)  # top, then left, as start-up passes them
    assert window.origin == expected


def test_installer_started_with_a_position_uses_it():
    session = WineSession()
    try:
        session.start(BUILD / "CorvantaSetup.exe", "120", "340")  # the command line "120 340"
        session.find_window()
        assert session.origin == (340, 120)
    finally:
        session.close()


def test_progress_timer_creeps_up_to_the_ceiling_and_never_back(driver):
    window = driver()
    window.send("stage 7")
    window.send("progress 10")
    window.send("ceiling 15")
    window.send("progress-timer 1", settle=0)
    seen = []
    for _ in range(8):
        time.sleep(0.5)
        seen.append(int(window.state()["position"]))
    assert seen == sorted(seen)
    assert seen[-1] == 14  # 10, 12, 14: one more step would pass 15
    window.send("ceiling 100")
    time.sleep(1.3)
    assert int(window.state()["position"]) > 14
    window.send("progress-timer 0")


def test_options_page_fills_the_default_folder_and_creates_it(driver):
    window = driver()
    window.send("stage 4")
    state = window.state()
    assert state["installFolder"] == r"C:\Program Files\Velmar\Corvanta"
    assert state["pathField"] == state["installFolder"]
    assert (window.prefix / "drive_c" / "Program Files" / "Velmar" / "Corvanta").is_dir()
    assert state["startTime"].startswith('"') and state["startTime"].endswith('"')
    assert time.strptime(state["startTime"].strip('"'), "%m/%d/%Y %H:%M:%S")


def test_gdi_objects_stay_flat_across_repaints_and_stage_changes(driver):
    """Each repaint makes fonts, brushes, regions, pictures and contexts. Windows
    counts them (GetGuiResources); Wine does not, so the test also counts how
    many objects the process could still make: a leak uses that up."""
    window = driver()
    window.send("error-text 121")
    window.send("repaint 20", settle=0.5)
    before = window.gdi_objects()
    window.send("repaint 1000", settle=0.5, timeout=300)
    window.send("stage 4")
    for _ in range(4):
        window.click(98, 198)  # the check box and CONTINUE repaint too
    after = window.gdi_objects()
    print(f"GDI objects {before} -> {after}")
    assert after["gdi"] - before["gdi"] <= 2
    assert after["user"] - before["user"] <= 2
    assert before["free"] - after["free"] <= 20


def test_progress_bar_with_equal_range_ends_paints_without_failing(driver, shots):
    window = driver()
    window.send("stage 5")
    window.send("range 5 5")
    window.send("progress 5")
    state = window.state()
    assert (state["low"], state["high"]) == ("5", "5")
    bar = window.screenshot(shots / "bar.png", 78, 177, 424, 8)
    assert window.process.poll() is None
    assert pixel(bar, 200, 4) == (232, 231, 231)  # nothing filled
