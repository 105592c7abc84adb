#!/usr/bin/env python3
"""Signs a setup.exe the way a vendor does and checks the signature.

    test_signature.py --source SRC --exe UNSIGNED_EXE --signed SIGNED_EXE

A throw-away root and a code-signing certificate issued by it are made with
openssl for this run only; scripts/sign signs a copy of UNSIGNED_EXE into
SIGNED_EXE, and osslsigncode's verify must accept that copy against the
throw-away root and refuse the unsigned program, a signed copy altered after
signing, and the signed copy checked against another root. A signing that
fails (a key that does not belong to the certificate, a time-stamp server
that does not answer) must fail loudly and leave the program as it was.
SIGNED_EXE is what the end-to-end flow of the signed product then runs.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ARGS = None


def openssl(*args, cwd):
    subprocess.run(["openssl"] + list(args), cwd=cwd, check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def make_root(folder, name):
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2",
            "-keyout", name + ".key", "-out", name + ".crt", "-subj", "/CN=Throw-away root " + name,
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)


def make_signer(folder, root, name):
    """A code-signing certificate issued by `root`, with its key."""
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
            "-subj", "/CN=Throw-away code signer", cwd=folder)
    with open(os.path.join(folder, name + ".ext"), "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
    openssl("x509", "-req", "-in", name + ".csr", "-CA", root + ".crt", "-CAkey", root + ".key",
            "-CAcreateserial", "-days", "2", "-sha256", "-extfile", name + ".ext", "-out", name + ".crt",
            cwd=folder)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Signature(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="signature-")
        make_root(cls.folder, "root")
        make_root(cls.folder, "other")
        make_signer(cls.folder, "root", "signer")
        make_signer(cls.folder, "other", "stranger")
        os.makedirs(os.path.dirname(os.path.abspath(ARGS.signed)), exist_ok=True)
        if os.path.exists(ARGS.signed):
            os.remove(ARGS.signed)
        shutil.copy(ARGS.exe, ARGS.signed)
        cls.sign_result = cls.sign(ARGS.signed, "signer")
        if cls.sign_result.returncode != 0:
            # Nothing unsigned may stand where the flow expects the signed program.
            os.remove(ARGS.signed)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    @classmethod
    def sign(cls, exe, signer, *extra):
        return subprocess.run([os.path.join(ARGS.source, "scripts", "sign"), exe,
                               "--cert", os.path.join(cls.folder, signer + ".crt"),
                               "--key", os.path.join(cls.folder, signer + ".key"),
                               "--name", "Lumen Notes"] + list(extra),
                              stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)

    def verify(self, exe, root="root"):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(self.folder, root + ".crt"),
                               "-in", exe], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              timeout=60)

    def copy(self, name):
        path = os.path.join(self.folder, name)
        shutil.copy(ARGS.signed, path)
        return path

    def test_the_signed_program_verifies(self):
        self.assertEqual(0, self.sign_result.returncode, self.sign_result.stderr)
        result = self.verify(ARGS.signed)
        self.assertEqual(0, result.returncode, result.stdout + result.stderr)
        self.assertIn("Signature verification: ok", result.stdout)
        self.assertIn("Throw-away code signer", result.stdout)
        self.assertNotEqual(read(ARGS.exe), read(ARGS.signed))

    def test_the_unsigned_program_does_not_verify(self):
        result = self.verify(ARGS.exe)
        self.assertNotEqual(0, result.returncode, result.stdout)

    def test_a_program_altered_after_signing_does_not_verify(self):
        altered = self.copy("altered.exe")
        data = bytearray(read(altered))
        # A byte inside the code, far from the headers and the signature.
        data[len(data) // 3] ^= 0xFF
        with open(altered, "wb") as f:
            f.write(data)
        result = self.verify(altered)
        self.assertNotEqual(0, result.returncode, result.stdout)
        self.assertIn("MISMATCH", result.stdout + result.stderr)

    def test_a_signature_from_another_root_does_not_verify(self):
        result = self.verify(ARGS.signed, root="other")
        self.assertNotEqual(0, result.returncode, result.stdout)

    def test_a_failed_signing_leaves_the_program_as_it_was(self):
        original = os.path.join(self.folder, "failing.exe")
        shutil.copy(ARGS.exe, original)
        before = read(original)
        # The stranger's key does not belong to the signer's certificate.
        mismatched = subprocess.run([os.path.join(ARGS.source, "scripts", "sign"), original,
                                     "--cert", os.path.join(self.folder, "signer.crt"),
                                     "--key", os.path.join(self.folder, "stranger.key")],
                                    stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        self.assertNotEqual(0, mismatched.returncode)
        self.assertEqual(before, read(original))
        # Nothing listens on port 9 of the loopback: the time-stamp cannot be had.
        unstamped = self.sign(original, "signer", "--timestamp", "http://127.0.0.1:9/")
        self.assertNotEqual(0, unstamped.returncode)
        self.assertEqual(before, read(original))
        self.assertFalse(os.path.exists(original + ".signing"))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--signed", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
