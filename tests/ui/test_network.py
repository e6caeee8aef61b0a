"""The run without a connection at its start, and a whole installation over
HTTPS with a certificate from a test CA."""
import itertools
import os
import shutil
import subprocess
import time
from pathlib import Path

import pytest

from installer_run import make_release
from test_first_install import check_installed, framework_present, prepared_run

_names = itertools.count()


class NetworkNamespace:
    """A network of the test's own: loopback only, so the machine is offline,
    until a veth pair with a default route brings it online. Nothing but
    loopback traffic is ever sent."""

    def __init__(self):
        self.name = f"corvanta-{os.getpid()}-{next(_names)}"
        self.ip("netns", "add", self.name)
        self.exec("ip", "link", "set", "lo", "up")

    @staticmethod
    def ip(*args):
        subprocess.run(["ip", *args], check=True)

    def launcher(self):
        return ["ip", "netns", "exec", self.name]

    def exec(self, *args):
        subprocess.run([*self.launcher(), *args], check=True)

    def go_online(self):
        self.exec("ip", "link", "add", "v0", "type", "veth", "peer", "name", "v1")
        self.exec("ip", "addr", "add", "10.213.7.1/24", "dev", "v0")
        self.exec("ip", "link", "set", "v0", "up")
        self.exec("ip", "link", "set", "v1", "up")
        self.exec("ip", "route", "add", "default", "via", "10.213.7.2")

    def delete(self):
        subprocess.run(["ip", "netns", "del", self.name], check=False)


@pytest.fixture
def namespace():
    if shutil.which("ip") is None or os.geteuid() != 0:
        pytest.skip("needs root and the ip command for a network namespace")
    space = NetworkNamespace()
    yield space
    space.delete()


def test_started_offline_waits_for_a_connection(installer, tmp_path, namespace):
    release = make_release(tmp_path / "release", "--no-framework")
    run = installer()
    # Every program of the prefix, its wineserver included, lives in the namespace.
    run.launcher = namespace.launcher()
    framework_present(run)
    service = run.serve(release)
    run.start_installer()
    run.find_window()
    time.sleep(4)
    assert not any(l.startswith("Server: ") for l in run.log_lines())
    assert service.targets() == []
    assert run.stages()[-1] == "ok:103"

    namespace.go_online()
    run.wait_options_page(timeout=30)
    run.accept_and_continue()
    assert run.wait_end() == 0
    stages = run.stages()
    assert stages[0] == "ok:103" and 4 in stages, stages
    check_installed(run, release, tmp_path)


def make_test_ca(folder):
    """A CA and a server certificate for localhost signed by it."""
    folder.mkdir(parents=True, exist_ok=True)

    def openssl(*args):
        subprocess.run(["openssl", *args], check=True, cwd=folder, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.crt",
            "-days", "2", "-subj", "/CN=Corvanta test CA")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=localhost")
    (folder / "san.ext").write_text("subjectAltName=DNS:localhost\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
            "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile", "san.ext")
    return folder / "ca.crt", folder / "server.crt", folder / "server.key"


@pytest.fixture
def trusted_test_ca(tmp_path):
    if shutil.which("update-ca-certificates") is None or os.geteuid() != 0:
        pytest.skip("needs root and update-ca-certificates to trust a test CA")
    ca, cert, key = make_test_ca(tmp_path / "ca")
    installed = Path("/usr/local/share/ca-certificates") / f"corvanta-test-{os.getpid()}.crt"
    shutil.copyfile(ca, installed)
    subprocess.run(["update-ca-certificates"], check=True, stdout=subprocess.DEVNULL)
    yield cert, key
    installed.unlink()
    subprocess.run(["update-ca-certificates", "--fresh"], check=True, stdout=subprocess.DEVNULL)


def test_whole_installation_over_https(installer, tmp_path, trusted_test_ca):
    cert, key = trusted_test_ca
    run, release = prepared_run(installer, tmp_path)
    service = run.serve(release, cert=cert, key=key)
    assert service.url.startswith("https://127.0.0.1:")
    base = f"https://localhost:{service.port}"
    (run.downloads / "TestServer.txt").write_text(f'{{"ApplicationUpdate": "{base}"}}')
    run.start_installer()
    run.wait_options_page()
    run.accept_and_continue()
    assert run.wait_end() == 0
    lines = run.log_lines()
    assert f"Server: {base}" in lines
    assert any(l.startswith(f"Download: {base}/files/") for l in lines)
    assert [t for t in service.targets() if t.startswith("/files/")]
    check_installed(run, release, tmp_path)
