"""What the script benchmarks share: a certificate, the stand-in over TLS as a child process,
and a program folder of korvane-cli configured for it."""
import json
import os
import shutil
import subprocess

PROGRAM_DIR = "@KORVANE_PROGRAM_DIR@"


def make_certificate(root):
    cert = os.path.join(root, "cert.pem")
    key = os.path.join(root, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    return cert, key


class Standin:
    """korvane-standin over TLS on a free port; plan: fault-plan lines; extra: more arguments."""

    def __init__(self, root, cert, key, name, plan=None, extra=()):
        self.log = os.path.join(root, "standin-%s.jsonl" % name)
        args = [os.path.join(PROGRAM_DIR, "korvane-standin"), "--listen", "127.0.0.1:0",
                "--tls", cert, key, "--log", self.log] + list(extra)
        if plan:
            plan_file = self.log + ".plan"
            with open(plan_file, "w") as out:
                out.write(plan + "\n")
            args += ["--plan", plan_file]
        self.process = subprocess.Popen(args, stdout=subprocess.PIPE, text=True)
        self.base = "https://" + self.process.stdout.readline().split()[1]

    def entries(self):
        with open(self.log) as log:
            return list(map(json.loads, log))

    def stop(self):
        self.process.terminate()
        self.process.wait()


def program_folder(root, standin, service_lines):
    """A copy of korvane-cli with its data and a config.ini whose [Service] holds the lines."""
    folder = os.path.join(root, "program-" + str(abs(hash(standin.base))))
    os.makedirs(folder)
    shutil.copy(os.path.join(PROGRAM_DIR, "korvane-cli"), folder)
    for data in ("ini", "help", "blankimg"):
        shutil.copytree(os.path.join(PROGRAM_DIR, data), os.path.join(folder, data))
    with open(os.path.join(folder, "ini", "config.ini"), "w") as config:
        config.write("[Service]\r\n" + "".join(line + "\r\n" for line in service_lines))
    return folder
