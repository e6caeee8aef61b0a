"""Every display of the main window, produced by the driver and compared with
a reference picture; positions and colours checked where the layout fixes them."""
import subprocess
import time

import pytest

from conftest import pixel, differing_pixels

BUSY_RING = (230, 149, 24, 24)
GREEN_FACE = (20, 173, 90)
GREY_FACE = (221, 224, 223)
BAR_BLUE = (48, 123, 215)
BAR_GREY = (232, 231, 231)
WHITE = (255, 255, 255)
BORDER = (216, 216, 216)


def close_to(actual, expected, slack=12):
    return all(abs(a - e) <= slack for a, e in zip(actual, expected))


# stage, commands before it, masked areas (the busy ring turns)
STAGES = [
    (0, [], [BUSY_RING]),
    (1, [], []),
    (2, ["progress 250"], []),
    (3, [], [BUSY_RING]),
    (4, [], []),
    (5, ["progress 500"], []),
    (7, ["progress 750"], []),
    (8, [], []),
    (9, ["error-text 103"], []),
]


@pytest.mark.parametrize("stage,before,masks", STAGES, ids=[f"stage{s[0]}" for s in STAGES])
def test_stage_matches_its_reference(driver, shots, matches_reference, stage, before, masks):
    window = driver()
    for command in before:
        window.send(command)
    window.send(f"stage {stage}")
    shot = window.screenshot(shots / f"stage{stage}.png")
    matches_reference(shot, f"stage{stage}", masks)


def test_stage_six_and_unknown_stages_change_nothing(driver, shots):
    window = driver()
    window.send("progress 500")
    window.send("stage 5")
    before = window.screenshot(shots / "before.png")
    for stage in (6, 10, 4294967295):
        window.send(f"stage {stage}")
        after = window.screenshot(shots / f"after{stage}.png")
        assert differing_pixels(after, before, fuzz="2%") == 0, stage


def test_busy_ring_turns_on_the_opening_stage(driver, shots):
    window = driver()
    x, y, w, h = BUSY_RING
    pictures = []
    for n in range(4):
        pictures.append(window.screenshot(shots / f"ring{n}.png", x, y, w, h))
        time.sleep(0.13)
    changes = sum(differing_pixels(a, b, fuzz="5%") > 10 for a, b in zip(pictures, pictures[1:]))
    assert changes >= 2, "the busy ring did not turn"


def test_options_page_layout(driver, shots, matches_reference):
    window = driver()
    window.send("stage 4")
    shot = window.screenshot(shots / "options.png")
    # CONTINUE face (disabled, grey) at 298, 252; CANCEL beside it at 152, 252.
    assert close_to(pixel(shot, 298 + 65, 252 + 3), GREY_FACE)
    assert close_to(pixel(shot, 152 + 65, 252), (216, 218, 223), slack=4)
    assert pixel(shot, 296, 270) == WHITE
    # Licence box outline at 90, 190 (16 x 16), white inside.
    assert close_to(pixel(shot, 90, 198), (216, 216, 216), slack=4)
    assert pixel(shot, 98, 198) == WHITE
    assert pixel(shot, 88, 198) == WHITE
    # The cross at 557, 10 is grey; the border is 1 pixel on three sides, 2 at the bottom.
    assert close_to(pixel(shot, 557 + 1, 10 + 1), (155, 155, 155), slack=60)
    for x, y in ((300, 0), (0, 150), (579, 150), (300, 298), (300, 299)):
        assert pixel(shot, x, y) == BORDER, (x, y)
    assert pixel(shot, 300, 1) == WHITE and pixel(shot, 300, 297) == WHITE


def test_options_page_with_the_licence_accepted(driver, shots, matches_reference):
    window = driver()
    window.send("stage 4")
    window.click(98, 198)
    shot = window.screenshot(shots / "accepted.png")
    assert close_to(pixel(shot, 298 + 65, 252 + 3), GREEN_FACE)
    matches_reference(shot, "options-accepted")


def test_downloading_with_a_half_full_bar(driver, shots, matches_reference):
    window = driver()
    window.send("stage 4")
    window.click(98, 198)
    window.click(363, 271)  # CONTINUE: the downloading display
    window.wait_event("download worker started")
    window.send("download-progress 50")  # x 10 = 500
    shot = window.screenshot(shots / "downloading.png")
    matches_reference(shot, "downloading-half")
    # The bar is 424 x 8 at 78, 177: 500 of 1000 fills the left 212 pixels.
    assert pixel(shot, 78 + 2, 181) == BAR_BLUE
    assert pixel(shot, 78 + 209, 181) == BAR_BLUE
    assert pixel(shot, 78 + 215, 181) == BAR_GREY
    assert pixel(shot, 78 + 420, 181) == BAR_GREY
    assert pixel(shot, 77, 181) == WHITE and pixel(shot, 78 + 425, 181) == WHITE


# Position 1 ends the blue part at x 0: nothing blue. (Wine makes no pixel of a
# rounded region one pixel wide, so the first blue shows at position 5, x 2.)
@pytest.mark.parametrize("position,blue_until", [(1, None), (5, 2), (1000, 423), (1500, 423)])
def test_bar_fill_edges(driver, shots, position, blue_until):
    window = driver()
    window.send("stage 5")
    window.send(f"progress {position}")
    shot = window.screenshot(shots / "bar.png", 78, 177, 424, 8)
    row = [pixel(shot, x, 4) for x in range(0, 424)]
    blue = [x for x, colour in enumerate(row) if colour == BAR_BLUE]
    if blue_until is None:
        assert blue == []
    else:
        assert blue and max(blue) <= blue_until and blue[0] <= 1
    if blue_until == 423:
        assert BAR_GREY not in row, "a full bar shows grey"
    assert all(c in (BAR_BLUE, BAR_GREY) or close_to(c, BAR_GREY, 60) for c in row[2:-2])


def test_error_stage_shows_text_103_on_two_lines_in_red(driver, shots):
    window = driver()
    window.send("error-text 103")
    window.send("stage 9")
    shot = window.screenshot(shots / "error.png")
    rows = subprocess.run(
        ["convert", str(shot), "-crop", "580x60+0+150", "+repage", "-fuzz", "30%", "-fill",
         "white", "+opaque", "red", "-fill", "black", "-opaque", "red", "-scale", "1x60!",
         "-depth", "8", "txt:-"], check=True, stdout=subprocess.PIPE, text=True).stdout
    dark = [int(line.split(":")[0].split(",")[1]) for line in rows.splitlines()[1:]
            if "white" not in line and "#FFFFFF" not in line]
    # Two bands of red text with a gap between them.
    bands = sum(1 for a, b in zip([None] + dark, dark) if a is None or b - a > 1)
    assert bands == 2, f"red rows: {dark}"


def test_cancel_confirmation_over_the_dimmed_window(driver, shots, matches_reference):
    window = driver()
    window.send("stage 4")
    window.click(217, 271)  # CANCEL
    shot = window.screenshot(shots / "confirm.png")
    matches_reference(shot, "cancel-confirmation")
    # The cover has the window's size and place and is 100/255 opaque. Without a
    # compositing manager Xvfb shows it solid, so the opacity is read from the
    # property Wine gives the X window.
    covers = [w for w in window.visible_windows() if w != window.window
              and window.geometry(w) == window.geometry(window.window)]
    assert len(covers) == 1, "no cover over the window"
    opacity = subprocess.run(["xprop", "-id", covers[0], "_NET_WM_WINDOW_OPACITY"],
                             stdout=subprocess.PIPE, text=True).stdout
    # Wine scales the alpha byte to 32 bits as alpha x 0x01010101.
    assert opacity.strip().endswith(f"= {100 * 0x01010101}"), opacity
    assert close_to(pixel(shot, 3, 3), (105, 120, 128), slack=3)
    assert pixel(shot, 290, 150) == WHITE
    window.click(5, 5)  # outside the box: nothing happens, the question stays
    window.key("Escape")  # ends the box with resume


def test_about_box_from_the_system_menu(driver, shots, matches_reference):
    window = driver()
    window.key("alt+space")
    window.key("Up")
    window.key("Return")
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^About Installer$"],
                           stdout=subprocess.PIPE, text=True).stdout.split()
    assert found, "the about box did not open"
    shot = window.screenshot(shots / "about.png")
    matches_reference(shot, "about-box")
