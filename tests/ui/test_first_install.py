"""The typical first installation, end to end: the real installer in a real
window against the local update service, driven with xdotool, and what it left
on the machine read back with wine reg query, lnkinfo, sha1sum and 7z."""
import re
import subprocess
import time


from installer_run import (FRAMEWORK_KEY, RUN_KEY, UNINSTALL_KEY, bar_position, lnk_target,
                           make_release,
                           release_manifest, sha1_listing, started_lines, zip_listing)

QUOTED_TIME = r'"\d\d/\d\d/\d{4} \d\d:\d\d:\d\d"'


def in_order(lines, expected):
    """The expected lines (prefixes) appear in this order; the rest of the
    lines may lie between them. Returns the lines that matched."""
    matched, position = [], 0
    for wanted in expected:
        while position < len(lines) and not lines[position].startswith(wanted):
            position += 1
        assert position < len(lines), f"{wanted!r} missing or out of order in:\n" + "\n".join(lines)
        matched.append(lines[position])
        position += 1
    return matched


def is_subsequence(seen, order):
    rest = iter(order)
    return all(any(stage == s for s in rest) for stage in seen)


def framework_present(run):
    run.reg_add(FRAMEWORK_KEY, "Release", "REG_DWORD", "379893")


def prepared_run(installer, tmp_path, *release_options, locale=None):
    """A release without the framework and a machine that has it."""
    release = make_release(tmp_path / "release", "--no-framework", *release_options)
    run = installer(locale=locale)
    framework_present(run)
    return run, release


def package_of(release):
    manifest = release_manifest(release)
    return release / manifest["application"]["file"], manifest["application"]["version"]


def unpacked(archive, folder):
    subprocess.run(["7z", "x", "-y", f"-o{folder}", str(archive)], check=True,
                   stdout=subprocess.DEVNULL)
    return sha1_listing(folder)


def install_folder_of(run):
    line = next(l for l in run.log_lines() if l.startswith("RemoveFolder "))
    return line[len("RemoveFolder "):]


def check_installed(run, release, tmp_path):
    """Install folder, uninstall entry, Run value and both shortcuts as a
    finished installation leaves them; returns the install folder (Windows)."""
    archive, version = package_of(release)
    folder = install_folder_of(run)
    assert folder.endswith("\\Velmar\\Corvanta")
    installed = sha1_listing(run.unix_path(folder))
    installed = {k: v for k, v in installed.items() if k != "started.log"}
    assert installed == unpacked(archive, tmp_path / "expected")
    assert set(zip_listing(archive)) == set(installed)

    entry = run.reg_values(UNINSTALL_KEY)
    uninstaller = f'"{folder}\\uninstaller.exe"'
    assert entry["DisplayName"] == ("REG_SZ", "Corvanta")
    assert entry["InstallLocation"] == ("REG_SZ", folder)
    assert entry["Publisher"] == ("REG_SZ", "Velmar AG")
    assert entry["DisplayVersion"] == ("REG_SZ", version)
    assert entry["UninstallString"] == ("REG_SZ", uninstaller)
    assert entry["DisplayIcon"] == ("REG_SZ", uninstaller)
    assert entry["NoModify"] == ("REG_DWORD", "0x1")
    assert entry["NoRepair"] == ("REG_DWORD", "0x1")

    program = f"{folder}\\Corvanta.exe"
    assert run.reg_values(RUN_KEY)["Corvanta"] == ("REG_SZ", f'"{program}" /WinStart')
    assert lnk_target(run.desktop_shortcut()).lower() == program.lower()
    assert lnk_target(run.programs_shortcut()).lower() == program.lower()
    return folder


def check_updater_started(run, folder):
    top, left = run.origin[1], run.origin[0]
    started = started_lines(run.unix_path(folder), "Corvanta.Updater.exe")
    assert len(started) == 1, started
    # Shown (5), with top, left and the quoted start time.
    assert re.search(rf"args={top} {left} {QUOTED_TIME} pid=\d+ show=5 ", started[0]), started[0]
    log_line = run.log_lines()[-1]
    assert re.fullmatch(rf"Start application: {re.escape(folder)}\\Corvanta\.Updater\.exe "
                        rf"{top} {left} {QUOTED_TIME}", log_line), log_line


def bar_full_while_installing(run):
    return any(run.watcher.classify(image) == 7 and (bar_position(image) or 0) >= 990
               for image in run.watcher.samples)


def test_typical_first_installation(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    archive, version = package_of(release)
    # Each download waits a second, so the downloading stage can be seen.
    service = run.serve(release, f"file:{archive.name}:delay=1")
    run.start_installer()
    run.wait_options_page()
    run.accept_and_continue()
    assert run.wait_end() == 0
    assert run.window_gone()

    folder = install_folder_of(run)
    in_order(run.log_lines(), [
        "cmdline: ", f"Server: {service.url}", "Run this...",
        "invalid config", "not need install .net", "Download check .net framework",
        ".net framework download not needed", "app download needed",
        f"Download: {service.url}/files/", "GetUrlFile", "Download ok",
        "Install", "Searching for process Corvanta.exe", "Process not found",
        "TerminateProcess Corvanta.exe", f"RemoveFolder {folder}", f"MakePathExist  {folder}",
        "CopytoInstallPath ok", "RegisterToSystem ok", "Start application: "])
    assert not any("framwork" in line for line in run.log_lines())

    stages = run.stages()
    assert is_subsequence(stages, [0, 3, 4, 5, 7, 8]), stages
    assert {4, 5, 7} <= set(stages), stages
    assert bar_full_while_installing(run)

    check_installed(run, release, tmp_path)
    check_updater_started(run, folder)
    assert not run.temp_folder().exists()
    assert run.log_path().exists()
    assert service.targets()[:2] == ["/api/files/download/client?type=1",
                                     "/api/files/download/client?type=2"]
    assert "/api/files/download/client?type=3" not in service.targets()


def install_through(run, release, *faults):
    """Serves the release, starts the installer and clicks through the options page."""
    service = run.serve(release, *faults)
    run.start_installer()
    run.wait_options_page()
    run.accept_and_continue()
    return service


def framework_share(release):
    """The framework's part of the bar in percent, from the release's file sizes."""
    manifest = release_manifest(release)
    framework = (release / manifest["framework"]["file"]).stat().st_size
    package = (release / manifest["application"]["file"]).stat().st_size
    return framework * 100 // (framework + package)


def test_framework_missing_is_installed_first(installer, tmp_path):
    release = make_release(tmp_path / "release")
    archive, _ = package_of(release)
    run = installer()
    # The package waits two seconds, so the bar can be read between the downloads.
    install_through(run, release, f"file:{archive.name}:delay=2")
    assert run.wait_end() == 0

    lines = run.log_lines()
    temp = "C:\\users\\root\\AppData\\Roaming\\Velmar\\Corvanta\\Temp"
    framework_file = f"{temp}\\4.5.2_offine_installer_NDP452-KB2901907-x86-x64-AllOS-ENU.exe"
    in_order(lines, [
        "valid config", "need install .net", "Download check .net framework",
        ".net framework download needed", "app download needed", "Download: ", "Download ok",
        "Download: ", "Download ok", "Install",
        # The full-width colon is beyond U+00FF: the log holds it as "?".
        f"Install .net framwork?{framework_file}",
        "Install .net framwork ok", "Searching for process Corvanta.exe", "CopytoInstallPath ok",
        "RegisterToSystem ok", "Start application: "])
    # The stand-in was started hidden with the framework installer's arguments.
    stand_in_log = run.prefix / "drive_c" / "ProgramData" / "NDP452-stand-in.log"
    started = stand_in_log.read_text(encoding="utf-8", errors="replace").splitlines()
    assert len(started) == 1, started
    # Hidden (0), with the trailing blank of its arguments.
    assert re.match(r"4\.5\.2_offine_installer_NDP452-KB2901907-x86-x64-AllOS-ENU\.exe "
                    r"args=/q /norestart  pid=\d+ show=0 ", started[0]), started
    assert run.reg_values(FRAMEWORK_KEY)["Release"] == ("REG_DWORD", "0x5cbf5")

    # Between the downloads the bar stands at the framework's share.
    share = framework_share(release)
    waiting = [bar_position(image) for image in run.watcher.samples
               if run.watcher.classify(image) == 5]
    assert any(p is not None and abs(p - share * 10) <= 6 for p in waiting), (share, waiting)
    check_installed(run, release, tmp_path)


def test_framework_installer_that_installs_nothing(installer, tmp_path):
    release = make_release(tmp_path / "release", "--broken-framework")
    run = installer()
    install_through(run, release)
    run.wait_log("Install .net framwork failed")
    run.find_window()
    time.sleep(1)
    assert run.log_lines()[-1] == "Install .net framwork failed"
    assert run.stages()[-1] == "ok:121"
    assert run.wait_exit(1) is None  # the window waits for OK
    assert run.reg_values(UNINSTALL_KEY) is None
    assert "Corvanta" not in (run.reg_values(RUN_KEY) or {})
    assert not run.desktop_shortcut().exists() and not run.programs_shortcut().exists()
    # The window made the default folder for the options page; nothing went in.
    folder = run.prefix / "drive_c" / "Program Files" / "Velmar" / "Corvanta"
    assert not folder.exists() or not any(folder.iterdir())
    assert run.temp_folder().is_dir()


def test_german_run_installs_with_the_german_texts(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path, locale="de_DE")
    run.serve(release)
    run.start_installer()
    run.wait_options_page()
    page = run.screenshot(tmp_path / "german-options.png")
    from conftest import differing_pixels, REFERENCES
    # The German options page; the folder's text is the only part that may differ.
    assert differing_pixels(page, REFERENCES / "de-options.png", masks=[(88, 142, 350, 36)]) <= 40
    run.accept_and_continue()
    assert run.wait_end() == 0
    # String 123 of the German table names the entry and the shortcuts.
    assert run.reg_values(UNINSTALL_KEY)["DisplayName"] == ("REG_SZ", "Corvanta")
    assert run.desktop_shortcut("Corvanta").exists()
    assert run.programs_shortcut("Corvanta").exists()


def test_running_application_is_ended_and_user_files_go(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    folder = run.prefix / "drive_c" / "Program Files" / "Velmar" / "Corvanta"
    folder.mkdir(parents=True)
    subprocess.run(["7z", "x", "-y", f"-o{folder}", str(package_of(release)[0])], check=True,
                   stdout=subprocess.DEVNULL)
    (folder / "notes of the user.txt").write_text("mine")
    (folder / "old").mkdir()
    (folder / "old" / "left.dat").write_bytes(b"x" * 100)
    application = subprocess.Popen([run.wine(), "C:\\Program Files\\Velmar\\Corvanta\\Corvanta.exe"],
                                   env=run.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.time() + 20
    while not started_lines(folder, "Corvanta.exe") and time.time() < deadline:
        time.sleep(0.2)
    assert started_lines(folder, "Corvanta.exe"), "the application did not start"

    install_through(run, release)
    assert run.wait_end() == 0
    assert application.wait(timeout=20) is not None
    lines = run.log_lines()
    found = in_order(lines, ["Searching for process Corvanta.exe", "Found process", "PID = ",
                             "TerminateProcess Corvanta.exe", "RemoveFolder ", "CopytoInstallPath ok"])
    assert found[1] == "Found process"
    assert not (folder / "notes of the user.txt").exists()
    assert not (folder / "old").exists()
    check_installed(run, release, tmp_path)


def test_uninstaller_removes_what_was_registered(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    install_through(run, release)
    assert run.wait_end() == 0
    folder = check_installed(run, release, tmp_path)

    code, _ = run.wine_command(f"{folder}\\uninstaller.exe", "/quiet", timeout=60)
    assert code == 0
    deadline = time.time() + 30
    while run.unix_path(folder).exists() and time.time() < deadline:
        time.sleep(0.2)
    assert not run.unix_path(folder).exists()
    assert run.reg_values(UNINSTALL_KEY) is None
    assert "Corvanta" not in (run.reg_values(RUN_KEY) or {})
    assert not run.desktop_shortcut().exists()
    assert not run.programs_shortcut().exists()
