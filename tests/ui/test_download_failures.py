"""The download stage's failures, a cancel in the middle of a download, and the
folder dialog open while the downloads end."""
import json
import time

import pytest

from installer_run import OK, UNINSTALL_KEY, release_manifest
from ui_session import BUILD, windows_path
from test_first_install import (check_installed, install_folder_of, install_through, package_of,
                                prepared_run)

CROSS = (563, 16)
BOX_LEFT, BOX_TOP = 290 - 165, 150 - 71
CONFIRM_CANCEL = (BOX_LEFT + 285, BOX_TOP + 107)
RESUME = (BOX_LEFT + 195, BOX_TOP + 107)


def truncate_package(release):
    archive, _ = package_of(release)
    data = archive.read_bytes()
    archive.write_bytes(data[: len(data) // 2])


# row, how the release or the service fails, last own log line
FAILURES = [
    ("transfer failed", lambda r, a: [f"file:{a}:cut=1000"], "Download failed"),
    ("wrong size", lambda r, a: ["type2:size=+1"], "CheckDownloadFile failed"),
    ("wrong digest", lambda r, a: ["type2:hash=wrong"], "CheckDownloadFile failed"),
    ("unpack failed", lambda r, a: truncate_package(r) or [], "DecompressPackage failed"),
]


@pytest.mark.parametrize("row,faults,last_line", FAILURES, ids=[f[0] for f in FAILURES])
def test_download_failure_ends_on_text_103(installer, tmp_path, row, faults, last_line):
    run, release = prepared_run(installer, tmp_path)
    archive, version = package_of(release)
    install_through(run, release, *faults(release, archive.name))
    run.wait_log(last_line)
    time.sleep(1.5)
    assert run.log_lines()[-1] == last_line
    assert run.stages()[-1] == "ok:103"
    package = run.temp_folder() / f"{version}.zip"
    assert package.exists()  # a cut-off transfer leaves its part
    assert (run.temp_folder() / "7za.exe").exists()
    assert "Install" not in run.log_lines()
    run.click(*OK)
    assert run.wait_end() == 0
    assert not run.temp_folder().exists()
    assert run.reg_values(UNINSTALL_KEY) is None


def test_version_that_leaves_the_temp_folder_is_refused(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    manifest = release_manifest(release)
    manifest["application"]["version"] = "..\\..\\..\\..\\Startup\\evil"
    (release / "release.json").write_text(json.dumps(manifest), encoding="utf-8")
    service = install_through(run, release)
    run.wait_log("Download failed")
    time.sleep(1.5)
    assert run.stages()[-1] == "ok:103"
    assert not any(t.startswith("/files/") for t in service.targets())
    written = [p for p in (run.prefix / "drive_c").rglob("*evil*")]
    assert written == []


def test_confirmed_cancel_during_a_download(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    archive, version = package_of(release)
    # The transfer pauses after its first blocks, while the user cancels.
    install_through(run, release, f"file:{archive.name}:stall=204800,4")
    run.wait_log("GetUrlFile4")
    time.sleep(0.5)
    run.click(*CROSS)
    run.click(*CONFIRM_CANCEL)
    assert run.wait_end(30) == 0
    assert not run.temp_folder().exists()
    assert "Install" not in run.log_lines()
    assert run.reg_values(UNINSTALL_KEY) is None


def test_resume_lets_the_run_finish(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    archive, _ = package_of(release)
    install_through(run, release, f"file:{archive.name}:stall=204800,3")
    run.wait_log("GetUrlFile4")
    run.click(*CROSS)
    run.click(*RESUME)
    assert run.wait_end(60) == 0
    check_installed(run, release, tmp_path)


def test_downloads_ending_while_the_folder_dialog_is_open(installer, tmp_path):
    """CONTINUE hides the folder button, so the window itself never gets there;
    the driver runs the installer's own workers and opens the dialog on
    command while the package is still on its way."""
    run, release = prepared_run(installer, tmp_path)
    archive, _ = package_of(release)
    run.serve(release, f"file:{archive.name}:delay=2")
    commands, events = run.tmp / "commands.txt", run.tmp / "events.txt"
    commands.write_text("")
    run.start_installer(windows_path(commands), windows_path(events), "--real-workers",
                        program=BUILD / "ui_driver.exe")
    run.wait_options_page()
    run.accept_and_continue()
    commands.write_text("browse\n")
    run.wait_log("Download ok")
    time.sleep(2)
    # The downloads are done; the stage waits for the dialog.
    assert "Install" not in run.log_lines()
    run.key("Return")
    run.wait_log("Start application: ", timeout=60)
    run.wait_end()
    events_seen = events.read_text().splitlines()
    assert events_seen.count("install worker started") == 1, events_seen
    # Started by the dialog's end, inside BrowseInstallFolder.
    assert (events_seen.index("done 1 browse") < events_seen.index("install worker started")
            < events_seen.index("browse ended")), events_seen
    assert run.log_lines().count("Install") == 1
    folder = install_folder_of(run)
    assert folder != "C:\\Program Files\\Velmar\\Corvanta", folder
    assert folder.endswith("\\Velmar\\Corvanta")
    check_installed(run, release, tmp_path)
