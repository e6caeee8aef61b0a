"""The main window driven through the real input path: xdotool presses and
keys at the positions of the layout."""

import pytest

from conftest import pixel, differing_pixels
from test_displays import GREEN_FACE, GREY_FACE, close_to

CONTINUE = (363, 271)
CANCEL = (217, 271)
LICENCE_BOX = (98, 198)
CROSS = (563, 16)
MINIMIZE = (518, 16)
OK = (290, 259)
SURFACE = (40, 120)


def continue_face(window, shots, name):
    shot = window.screenshot(shots / f"{name}.png")
    return pixel(shot, 298 + 65, 252 + 3)


def temp_folder(window):
    return window.user_folder("AppData", "Roaming", "Velmar", "Corvanta", "Temp")


def test_continue_follows_the_licence_box(driver, shots):
    window = driver()
    window.send("stage 4")
    window.click(*CONTINUE)
    assert not any("download worker" in l for l in window.event_lines())
    assert close_to(continue_face(window, shots, "before"), GREY_FACE)

    window.click(*LICENCE_BOX)
    assert close_to(continue_face(window, shots, "checked"), GREEN_FACE)
    window.click(*LICENCE_BOX)
    assert close_to(continue_face(window, shots, "unchecked"), GREY_FACE)
    assert window.state()["continueEnabled"] == "0"
    window.click(*CONTINUE)
    assert not any("download worker" in l for l in window.event_lines())

    window.click(*LICENCE_BOX)
    window.click(*CONTINUE)
    window.wait_event("download worker started")
    shot = window.screenshot(shots / "downloading.png")
    assert pixel(shot, 363, 271) == (255, 255, 255)  # the options page is gone


def test_licence_box_toggles_on_press_and_a_release_outside_still_counts(driver, shots):
    window = driver()
    window.send("stage 4")
    window.press(*LICENCE_BOX)
    box = window.screenshot(shots / "pressed.png", 90, 190, 16, 16)
    assert close_to(pixel(box, 4, 8), GREEN_FACE, slack=80), "not toggled on the press"
    window.release(300, 120)  # let go far away: the callback still enables CONTINUE
    assert close_to(continue_face(window, shots, "after"), GREEN_FACE)


def test_continue_runs_when_released_off_the_button(driver, shots):
    window = driver()
    window.send("stage 4")
    window.click(*LICENCE_BOX)
    window.press(*CONTINUE)
    window.release(500, 60)
    window.wait_event("download worker started")


def test_cross_turns_green_on_hover_and_stays(driver, shots):
    window = driver()
    grey = window.screenshot(shots / "grey.png", 557, 10, 12, 12)
    window.move_to(*CROSS)
    window.move_to(CROSS[0] + 1, CROSS[1])
    hover = window.screenshot(shots / "hover.png", 557, 10, 12, 12)
    window.move_to(300, 60)
    after = window.screenshot(shots / "left.png", 557, 10, 12, 12)
    # Where the two strokes cross.
    assert close_to(pixel(grey, 5, 5), (155, 155, 155), 30)
    assert close_to(pixel(hover, 5, 5), (31, 195, 106), 30)
    assert differing_pixels(after, hover, fuzz="2%") == 0


def test_resume_leaves_everything_as_it_was(driver, shots):
    window = driver()
    window.send("stage 4")
    window.send("progress 400")
    before_state = window.state()
    before = window.screenshot(shots / "before.png")
    window.click(*CROSS)
    covered = window.screenshot(shots / "covered.png")
    assert differing_pixels(covered, before) > 10000
    # RESUME is the left label of the box centred over the window.
    window.click(290 - 165 + 185 + 10, 150 - 71 + 107)
    window.wait_until_only_the_window()
    after = window.screenshot(shots / "after.png")
    assert window.wait_exit(1) is None
    assert window.state() == before_state
    # The cross stays green after its click: only that differs.
    assert differing_pixels(after, before, masks=[(557, 10, 12, 12)]) == 0


def test_clicks_beside_the_labels_do_nothing(driver, shots):
    window = driver()
    window.send("stage 4")
    window.click(*CANCEL)
    box_left, box_top = 290 - 165, 150 - 71
    # Between the labels, left of both, just above CANCEL.
    for x, y in ((box_left + 242, box_top + 107), (box_left + 20, box_top + 107),
                 (box_left + 285, box_top + 98)):
        window.click(x, y)
    assert window.wait_exit(1) is None
    window.key("Escape")  # resumes
    assert window.wait_exit(1) is None


def test_confirmed_cancel_ends_the_run_and_removes_the_temp_folder(driver):
    window = driver()
    assert temp_folder(window).is_dir()  # the font copy is in it
    window.send("stage 4")
    window.click(*CANCEL)
    # CANCEL is the right label, ending at x 300 of the box.
    window.click(290 - 165 + 285, 150 - 71 + 107)
    assert window.modal_result() == 1
    assert window.wait_event("temp folder") == "temp folder gone"
    assert window.wait_exit() == 1


@pytest.mark.parametrize("error_text", [103, 121])
def test_ok_on_the_error_stage_removes_the_temp_folder(driver, error_text):
    window = driver()
    window.send(f"error-text {error_text}")
    window.send("stage 9")
    window.click(*OK)
    assert window.modal_result() == 1
    assert window.wait_event("temp folder") == "temp folder gone"


@pytest.mark.parametrize("key,result", [("Escape", 2), ("Return", 1), ("alt+F4", 2)])
def test_keys_end_the_run_without_confirmation(driver, key, result):
    window = driver()
    window.send("stage 4")
    window.key(key)
    assert window.modal_result() == result
    assert window.wait_event("temp folder") == "temp folder exists"


def test_dragging_the_surface_moves_the_window_and_a_button_does_not(driver):
    window = driver()
    window.send("stage 4")
    start = window.refresh_origin()
    window.press(*SURFACE)
    window.move_to(SURFACE[0] + 60, SURFACE[1] + 40)
    window.release()
    moved = window.refresh_origin()
    assert (moved[0] - start[0], moved[1] - start[1]) == (60, 40)

    window.press(*CANCEL)
    window.move_to(CANCEL[0] - 50, CANCEL[1] - 50)
    window.release()
    assert window.refresh_origin() == moved
    window.key("Escape")  # the question opened by the CANCEL release


def test_minimise(driver):
    window = driver()
    assert window.state()["iconic"] == "0"
    window.click(*MINIMIZE)
    # Without a window manager the X window stays on the screen; the window's
    # own state says it is minimised.
    assert window.state()["iconic"] == "1"
    assert window.wait_exit(1) is None


def test_cancelled_folder_dialog_keeps_the_folder_and_hands_over_to_the_install(driver, shots):
    """The download finished while the folder dialog was open: closing it
    starts the install stage, once, with the folder unchanged."""
    window = driver()
    window.send("stage 4")
    default = window.state()["installFolder"]
    window.send("download-succeeded 1")
    window.send("browse", settle=1.5)
    assert window.state()["browsing"] == "1"
    window.key("Escape")
    window.wait_event("browse ended")
    window.wait_event("install worker started")
    state = window.state()
    assert state["browsing"] == "0"
    assert state["installFolder"] == default == state["pathField"]
    assert sum("install worker started" in l for l in window.event_lines()) == 1
