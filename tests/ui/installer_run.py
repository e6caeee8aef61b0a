"""One real run of the installer: a release folder made from the demo programs,
the local update service on loopback serving it, "TestServer.txt" in the Wine
user's Downloads folder, and CorvantaSetup.exe started from that folder in a
clean prefix. What the run did is read back with tools of this machine: the
install log, `wine reg query`, `lnkinfo`, `sha1sum`, `7z l`.
"""
import io
import json
import os
import re
import shutil
import subprocess
import threading
import time
from pathlib import Path

from PIL import Image, ImageChops

from ui_session import BUILD, ROOT, WineSession, WIDTH, HEIGHT

SERVICE = Path(os.environ.get("CORVANTA_UPDATE_SERVICE", ROOT / "build" / "native" / "update-service"))
MAKE_RELEASE = ROOT / "scripts" / "make-demo-release.sh"
REFERENCES = Path(__file__).resolve().parent / "reference"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Corvanta"
RUN_KEY = r"HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
FRAMEWORK_KEY = r"HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full"

# Window positions of the layout.
LICENCE_BOX = (98, 198)
CONTINUE = (363, 271)
CANCEL = (217, 271)
OK = (290, 259)
FOLDER_BUTTON = (505, 137)

# The status line, and the parts that tell the other displays apart. The busy
# ring turns, so it is left out of the comparison.
STATUS_BAND = (60, 150, 460, 24)
BUSY_RING = (225, 145, 34, 34)
FOLDER_ICON = (457, 162)
OK_PROBE = (250, 259)
GREEN_FACE = (20, 173, 90)


def make_release(folder, *options, build=BUILD):
    """A release folder from the demo programs (scripts/make-demo-release.sh)."""
    subprocess.run(["bash", str(MAKE_RELEASE), str(folder), str(build), *options], check=True,
                   stdout=subprocess.DEVNULL)
    return Path(folder)


def release_manifest(folder):
    return json.loads((Path(folder) / "release.json").read_text(encoding="utf-8"))


class UpdateService:
    """The native service on 127.0.0.1, ended when the run ends."""

    def __init__(self, release, *options, scratch, cert=None, key=None, launcher=()):
        self.log = Path(scratch) / "requests.log"
        arguments = [*launcher, str(SERVICE), "--release", str(release), "--port", "0", "--log",
                     str(self.log), "--exit-after", "900"]
        if cert:
            arguments += ["--cert", str(cert), "--key", str(key)]
        for option in options:
            arguments += ["--fault", option]
        self.stderr = open(Path(scratch) / "service.err", "wb")
        self.process = subprocess.Popen(arguments, stdout=subprocess.PIPE,
                                        stderr=self.stderr, text=True)
        line = self.process.stdout.readline().strip()
        assert line.startswith("listening on "), f"service did not start: {line!r}"
        self.url = line[len("listening on "):]
        self.port = int(self.url.rsplit(":", 1)[1])

    def requests(self):
        try:
            lines = self.log.read_text(encoding="utf-8").splitlines()
        except FileNotFoundError:
            return []
        return [json.loads(l) for l in lines if l.strip()]

    def targets(self):
        return [r["target"] for r in self.requests() if r["event"] == "request"]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.stderr.close()


class StageWatcher(threading.Thread):
    """Samples the screen while the run goes on and tells which stage each
    sample shows, by the status band of the reference pictures, the options
    page's licence box and the error stage's OK button."""

    def __init__(self, run, error_texts):
        super().__init__(daemon=True)
        self.run_ = run
        self.stop_event = threading.Event()
        self.samples = []
        self.references = {stage: self.band(Image.open(REFERENCES / f"stage{stage}.png"))
                           for stage in (0, 2, 3, 5, 7, 8)}
        self.error_texts = {text: self.band(Image.open(path)) for text, path in error_texts.items()}

    @staticmethod
    def band(image):
        image = image.convert("RGB").copy()
        rx, ry, rw, rh = BUSY_RING
        image.paste((255, 255, 255), (rx, ry, rx + rw, ry + rh))
        x, y, w, h = STATUS_BAND
        return image.crop((x, y, x + w, y + h))

    @staticmethod
    def differing(a, b):
        diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > 40 else 0)
        return diff.histogram()[255]

    def classify(self, window_image):
        """A stage number, or "ok:ID" for a display with the OK button (the
        error stage and the no-connection stage) whose text is string ID."""
        band = self.band(window_image)
        if _near(window_image.getpixel(OK_PROBE), GREEN_FACE, 16):
            texts = {text: self.differing(band, ref) for text, ref in self.error_texts.items()}
            text, score = min(texts.items(), key=lambda item: item[1], default=("?", 0))
            return f"ok:{text}" if score <= 60 else "ok:?"
        if _near(window_image.getpixel(FOLDER_ICON), GREEN_FACE, 40):
            return 4
        scores = {stage: self.differing(band, ref) for stage, ref in self.references.items()}
        stage, score = min(scores.items(), key=lambda item: item[1])
        return stage if score <= 60 else None

    def grab(self):
        if self.run_.window is None:
            try:
                self.run_.find_window(timeout=0.2)
            except AssertionError:
                return None
        x, y = self.run_.refresh_origin()
        data = subprocess.run(["import", "-silent", "-window", "root", "-crop",
                               f"{WIDTH}x{HEIGHT}+{x}+{y}", "-depth", "8", "ppm:-"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        return Image.open(io.BytesIO(data)).convert("RGB") if data else None

    def run(self):
        while not self.stop_event.is_set():
            try:
                image = self.grab()
            except Exception:  # the window may vanish mid-sample
                image = None
            if image is not None:
                self.samples.append(image)
            time.sleep(0.05)

    def stop(self):
        self.stop_event.set()
        self.join(timeout=10)

    def stage_changes(self):
        """(stage, first sample showing it) for each stage seen, in order, each
        run of equal samples once."""
        changes = []
        for image in self.samples:
            stage = self.classify(image)
            if stage is not None and (not changes or changes[-1][0] != stage):
                changes.append((stage, image))
        return changes

    def stages(self):
        return [stage for stage, _ in self.stage_changes()]


class InstallerRun(WineSession):
    """A clean prefix, the service, TestServer.txt and the installer."""

    def __init__(self, tmp_path, error_texts, locale=None):
        super().__init__(locale)
        self.error_texts = error_texts
        self.tmp = Path(tmp_path)
        self.service = None
        self.watcher = None
        self.downloads = self.user_folder("Downloads")
        self.downloads.mkdir(parents=True, exist_ok=True)
        self.setup = self.downloads / "CorvantaSetup.exe"

    # --- set-up --------------------------------------------------------------
    def serve(self, release, *faults, cert=None, key=None, url=None):
        self.service = UpdateService(release, *faults, scratch=self.tmp, cert=cert, key=key,
                                     launcher=self.launcher)
        base = url or self.service.url
        (self.downloads / "TestServer.txt").write_text(json.dumps({"ApplicationUpdate": base}),
                                                        encoding="utf-8")
        return self.service

    def start_installer(self, *args, program=None, watch=True):
        """Starts the installer from the Downloads folder, as a user would."""
        shutil.copyfile(program or BUILD / "CorvantaSetup.exe", self.setup)
        self.start(self.windows_path_in_prefix(self.setup), *args,
                   output=self.tmp / "installer.out")
        if watch:
            self.watcher = StageWatcher(self, self.error_texts)
            self.watcher.start()

    def windows_path_in_prefix(self, path):
        relative = Path(path).relative_to(self.prefix / "drive_c")
        return "C:\\" + str(relative).replace("/", "\\")

    # --- the log -------------------------------------------------------------
    def log_path(self):
        return self.user_folder("AppData", "Roaming", "Velmar", "Corvanta", "Log", "Install.log")

    def log_lines(self):
        try:
            data = self.log_path().read_bytes()
        except FileNotFoundError:
            return []
        lines = data.decode("latin-1").split("\n")
        return [l.rstrip("\r").split(" - ", 1)[1] for l in lines if " - " in l]

    def wait_log(self, text, timeout=60, start=0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            lines = self.log_lines()
            for index, line in enumerate(lines[start:], start):
                if line.startswith(text):
                    return index
            if self.process and self.process.poll() is not None:
                lines = self.log_lines()
                if not any(l.startswith(text) for l in lines[start:]):
                    break
            time.sleep(0.1)
        raise AssertionError(f"no log line {text!r}; log:\n" + "\n".join(self.log_lines()))

    def lines_after(self, marker):
        lines = self.log_lines()
        return lines[max(i for i, l in enumerate(lines) if l.startswith(marker)):]

    # --- the window ------------------------------------------------------------
    def wait_options_page(self, timeout=60):
        self.wait_log("Run this...", timeout)
        self.find_window(timeout=timeout)
        time.sleep(0.5)

    def accept_and_continue(self):
        self.click(*LICENCE_BOX)
        self.click(*CONTINUE)

    def wait_end(self, timeout=90):
        code = self.wait_exit(timeout)
        assert code is not None, "the installer did not end; log:\n" + "\n".join(self.log_lines())
        if self.watcher:
            self.watcher.stop()
        return code

    def stages(self):
        return self.watcher.stages() if self.watcher else []

    # --- the machine -----------------------------------------------------------
    def wine_command(self, *args, timeout=60):
        result = subprocess.run([*self.launcher, self.wine(), *map(str, args)], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                timeout=timeout)
        return result.returncode, result.stdout.decode("utf-8", "replace")

    def reg_values(self, key):
        """The values of a key in the 32-bit view, as `wine reg query` lists them."""
        code, text = self.wine_command("reg", "query", key, "/reg:32")
        if code != 0:
            return None
        values = {}
        for line in text.splitlines():
            match = re.match(r"^\s{4}(.+?)\s{4}(REG_\w+)\s{4}(.*)$", line)
            if match:
                values[match.group(1)] = (match.group(2), match.group(3).rstrip("\r"))
            else:
                match = re.match(r"^\s{4}(.+?)\s{4}(REG_\w+)\s*$", line)
                if match:
                    values[match.group(1)] = (match.group(2), "")
        return values

    def reg_add(self, key, name, kind, data):
        code, _ = self.wine_command("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f",
                                    "/reg:32")
        assert code == 0

    def unix_path(self, windows_path):
        """The Linux path of a C: path of the prefix."""
        assert windows_path[:3].upper() == "C:\\", windows_path
        return self.prefix / "drive_c" / windows_path[3:].replace("\\", "/")

    def temp_folder(self):
        return self.user_folder("AppData", "Roaming", "Velmar", "Corvanta", "Temp")

    def desktop_shortcut(self, name="Corvanta"):
        return self.user_folder("Desktop", f"{name}.lnk")

    def programs_shortcut(self, name="Corvanta"):
        return (self.prefix / "drive_c" / "ProgramData" / "Microsoft" / "Windows" /
                "Start Menu" / "Programs" / f"{name}.lnk")

    def close(self):
        if self.watcher:
            self.watcher.stop()
        if self.service:
            self.service.stop()
        super().close()


def lnk_target(path):
    """The local path lnkinfo reads from a shortcut file."""
    text = subprocess.run(["lnkinfo", str(path)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace").stdout
    for line in text.splitlines():
        if "Local path" in line:
            return line.split(":", 1)[1].strip()
    raise AssertionError(f"no local path in lnkinfo's output:\n{text}")


def sha1_listing(folder):
    """`sha1sum` of every file below a folder, by relative path."""
    folder = Path(folder)
    listing = {}
    for path in sorted(p for p in folder.rglob("*") if p.is_file()):
        digest = subprocess.run(["sha1sum", str(path)], stdout=subprocess.PIPE, check=True,
                                text=True).stdout.split()[0]
        listing[str(path.relative_to(folder))] = digest
    return listing


def zip_listing(archive):
    """The files `7z l` lists in a ZIP, with their sizes."""
    text = subprocess.run(["7z", "l", "-slt", str(archive)], stdout=subprocess.PIPE, check=True,
                          text=True).stdout
    entries, current = {}, {}
    for line in text.splitlines() + [""]:
        if not line.strip():
            if current.get("Path") and current.get("Folder") == "-":
                entries[current["Path"].replace("\\", "/")] = int(current.get("Size", 0))
            current = {}
        elif " = " in line:
            key, value = line.split(" = ", 1)
            current[key] = value
    return entries


def started_lines(folder, program):
    """What a demo program recorded of its starts (started.log in its folder)."""
    try:
        text = (Path(folder) / "started.log").read_text(encoding="utf-8", errors="replace")
    except FileNotFoundError:
        return []
    return [l for l in text.splitlines() if l.startswith(program + " ")]


BAR_LEFT, BAR_WIDTH, BAR_ROW = 78, 422, 180


def bar_position(image):
    """The progress bar's position (0..1000) that a window picture shows,
    from where its blue part ends; None when no blue is there."""
    blue = [x for x in range(BAR_LEFT, BAR_LEFT + BAR_WIDTH + 2)
            if _near(image.getpixel((x, BAR_ROW)), (48, 123, 215), 20)]
    if not blue:
        return None
    return round((max(blue) + 1 - BAR_LEFT) * 1000 / BAR_WIDTH)


def _near(value, colour, slack):
    return all(abs(a - b) <= slack for a, b in zip(value[:3], colour))
