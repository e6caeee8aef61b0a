"""The self-update road with its three processes, and a newer installer that
fails its check."""
import hashlib
import subprocess
import time

from installer_run import release_manifest
from test_first_install import check_installed, in_order, prepared_run


def sha1(path):
    return hashlib.sha1(path.read_bytes()).hexdigest()


def installer_processes():
    found = subprocess.run(["pgrep", "-f", "CorvantaSetup.exe"], stdout=subprocess.PIPE, text=True)
    return found.stdout.split()


def test_newer_installer_takes_over_and_installs(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path, "--installer")
    newer = release / release_manifest(release)["installer"]["file"]
    service = run.serve(release)
    run.start_installer()
    run.find_window()
    top, left = run.origin[1], run.origin[0]

    # The first process downloads the newer one beside itself and ends.
    assert run.wait_end(60) == 0
    # The copy and the restarted installer are not our children: follow the log.
    run.process = None
    run.wait_log("Installer new version exist")
    first = in_order(run.log_lines(), ["Installer new version exist", "Download new installer ok"])
    assert first
    assert f"/files/{newer.name}" in service.targets()

    # The copy replaces the old file and restarts it, which deletes the copy.
    copy_path = "C:\\users\\root\\Downloads\\tmpCorvantaSetup.exe"
    run.wait_log(f"cmdline: {top} {left}", timeout=60)
    lines = run.log_lines()
    in_order(lines, ["Installer new version exist", "Download new installer ok", copy_path,
                     f"cmdline: u {top} {left}", "C:\\users\\root\\Downloads\\CorvantaSetup.exe",
                     f"cmdline: {top} {left}"])
    run.wait_log("Run this...", timeout=60, start=len(lines) - 1)
    assert not (run.downloads / "tmpCorvantaSetup.exe").exists()
    assert sha1(run.setup) == sha1(newer)
    assert lines.count("Installer new version exist") == 1

    # The restarted installer is current and installs.
    run.window = None
    run.find_window()
    assert run.origin == (left, top)
    time.sleep(0.5)
    run.accept_and_continue()
    run.wait_log("Start application: ", timeout=90)
    deadline = time.time() + 30
    while installer_processes() and time.time() < deadline:
        time.sleep(0.2)
    assert not installer_processes()
    check_installed(run, release, tmp_path)


def test_newer_installer_with_a_wrong_digest_is_deleted(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path, "--installer")
    run.serve(release, "type1:hash=wrong")
    run.start_installer()
    before = sha1(run.setup)
    run.wait_options_page()
    in_order(run.log_lines(), ["Installer new version exist", "Download new installer ok",
                               "Check new installer error", "Run this..."])
    assert not (run.downloads / "tmpCorvantaSetup.exe").exists()
    assert sha1(run.setup) == before
    assert run.process.poll() is None  # the old installer goes on
    assert run.stages()[-1] == 4
