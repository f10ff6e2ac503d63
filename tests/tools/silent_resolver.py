"""A name server on loopback that never answers, for runs that must wait on a host name: the
command runs in a network and mount namespace of its own whose resolv.conf names it."""
import os
import shutil
import subprocess

# The silent server ends once the command (its parent after the exec) has gone.
SILENT_SERVER = """
import os, socket, time
parent = os.getppid()
server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
server.bind(("127.0.0.1", 53))
while os.getppid() == parent:
    time.sleep(0.1)
"""
IN_SILENT_NETWORK = (
    'ip link set lo up && mount --bind "$KORVANE_TEST_RESOLV" /etc/resolv.conf && '
    '{ /usr/bin/python3 -c "$KORVANE_TEST_SERVER" </dev/null >/dev/null 2>&1 & } && '
    'sleep 0.3 && exec "$@"')


def available():
    """True when this system lets an unprivileged user have namespaces of its own."""
    if not shutil.which("unshare") or not shutil.which("ip"):
        return False
    probe = subprocess.run(["unshare", "-rnm", "true"], stderr=subprocess.DEVNULL)
    return probe.returncode == 0


def prepare(folder, env):
    """The environment the wrapped command needs, with its resolv.conf written to `folder`."""
    with open(os.path.join(folder, "resolv.conf"), "w") as out:
        out.write("nameserver 127.0.0.1\noptions timeout:30 attempts:1\n")
    env = dict(env)
    env["KORVANE_TEST_RESOLV"] = os.path.join(folder, "resolv.conf")
    env["KORVANE_TEST_SERVER"] = SILENT_SERVER
    return env


def wrapped(command):
    """`command` run behind the silent name server."""
    return ["unshare", "-rnm", "sh", "-c", IN_SILENT_NETWORK, "sh"] + command
