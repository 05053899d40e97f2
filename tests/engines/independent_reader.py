#!/usr/bin/python3
"""A reader of `.hvnc` files written from docs/hvnc-format.md alone, with other cryptographic
libraries than the program's (python3-cryptography, python3-argon2). It proves the document: it
decrypts the test vectors and files that hvcrypt writes, and any difference fails.

  independent_reader.py --vectors DIR     decrypt every vector listed in DIR/vectors.txt
  independent_reader.py --hvcrypt PATH    encrypt files with PATH in both versions, each key
                                          length and edge sizes, then decrypt them here
Exit status 0 when everything matched, 1 otherwise.
"""
import argparse
import hashlib
import hmac
import os
import struct
import subprocess
import sys
import tempfile

try:
    from argon2.low_level import Type, hash_secret_raw
    from cryptography.exceptions import InvalidTag
    from cryptography.hazmat.primitives import hashes
    from cryptography.hazmat.primitives.ciphers.aead import AESGCM
    from cryptography.hazmat.primitives.kdf.hkdf import HKDF
except ImportError as e:  # the packages are installed by scripts/install-deps.sh
    sys.exit(f"independent reader: missing Debian package python3-argon2 or python3-cryptography ({e})")

MAGIC = bytes([0x48, 0x56, 0x4E, 0x43, 0x0D, 0x0A, 0x1A, 0x0A])
HEADER_LEN = {1: 148, 2: 180}
KEY_LEN = {1: 16, 2: 24, 3: 32}
CHUNK = 65536


class Refused(Exception):
    def __init__(self, kind, why):
        super().__init__(f"{kind}: {why}")
        self.kind = kind  # "not hvnc", "unsupported", "damaged", "wrong password"


def hkdf(pk, info):
    return HKDF(algorithm=hashes.SHA256(), length=32, salt=None, info=info).derive(pk)


def read_hvnc(data, password):
    """Returns (plain bytes, size, mode, mtime seconds, mtime nanoseconds) or raises Refused."""
    if len(data) < 8 or data[:8] != MAGIC:
        raise Refused("not hvnc", "no magic")
    if len(data) < 10:
        raise Refused("damaged", "header cut")
    version = struct.unpack_from("<H", data, 8)[0]
    if version not in HEADER_LEN:
        raise Refused("unsupported" if version > 2 else "damaged", f"version {version}")
    hlen = HEADER_LEN[version]
    if len(data) < hlen or struct.unpack_from("<H", data, 10)[0] != hlen:
        raise Refused("damaged", "header length")
    if hashlib.sha256(data[: hlen - 16]).digest()[:16] != data[hlen - 16 : hlen]:
        raise Refused("damaged", "header check")
    cipher, kdf, chunk_log2, reserved = data[12], data[13], data[14], data[15]
    mem, passes = struct.unpack_from("<II", data, 16)
    if cipher not in KEY_LEN or kdf != 1 or chunk_log2 != 16 or reserved != 0:
        raise Refused("damaged", "identifiers")
    if not (8 <= mem <= 1024 * 1024 and 1 <= passes <= 10):
        raise Refused("damaged", "KDF cost")
    salt, nonce = data[24:40], data[40:52]
    sealed = data[52:132]  # key block and its tag
    pk = hash_secret_raw(password.encode("utf-8"), salt, time_cost=passes, memory_cost=mem,
                         parallelism=1, hash_len=32, type=Type.ID, version=19)
    if version == 2:
        ck = hkdf(pk, b"HVNC v2 key commitment")
        tag = hmac.new(ck, data[:132], hashlib.sha256).digest()
        if not hmac.compare_digest(tag, data[132:164]):
            raise Refused("wrong password", "commitment")
        wrap_key = hkdf(pk, b"HVNC v2 key wrapping")
    else:
        wrap_key = pk
    failed = "damaged" if version == 2 else "wrong password"
    try:
        block = AESGCM(wrap_key).decrypt(nonce, sealed, data[:52])
    except InvalidTag:
        raise Refused(failed, "key block")
    size, mode, res1, sec, nsec, res2 = struct.unpack_from("<QIIqII", block, 32)
    if size >= 1 << 62 or mode & ~0o7777 or res1 or res2 or nsec >= 10**9:
        raise Refused(failed, "metadata")
    n = max(1, -(-size // CHUNK))
    if len(data) != hlen + size + 16 * n:
        raise Refused("damaged", "file length")
    content = AESGCM(block[: KEY_LEN[cipher]])
    plain, pos = bytearray(), hlen
    for i in range(n):
        plen = CHUNK if i + 1 < n else size - CHUNK * (n - 1)
        chunk_nonce = struct.pack(">Q", i) + bytes([0, 0, 0, 1 if i + 1 == n else 0])
        try:
            plain += content.decrypt(chunk_nonce, data[pos : pos + plen + 16], None)
        except InvalidTag:
            raise Refused("damaged", f"chunk {i}")
        pos += plen + 16
    return bytes(plain), size, mode, sec, nsec


def pattern(size):
    """The vectors' plain text: byte i is i mod 251."""
    return bytes(i % 251 for i in range(size))


def check(label, data, password, expect, meta=None):
    try:
        plain, size, mode, sec, nsec = read_hvnc(data, password)
    except Refused as e:
        print(f"FAIL {label}: refused ({e})")
        return False
    if plain != expect or size != len(expect):
        print(f"FAIL {label}: plain text differs")
        return False
    if meta is not None and (mode, sec, nsec) != meta:
        print(f"FAIL {label}: metadata {(oct(mode), sec, nsec)} instead of {(oct(meta[0]), meta[1], meta[2])}")
        return False
    try:
        read_hvnc(data, password + "x")
        print(f"FAIL {label}: opens under a wrong password")
        return False
    except Refused as e:
        if e.kind != "wrong password":
            print(f"FAIL {label}: a wrong password gives '{e.kind}'")
            return False
    print(f"ok   {label}")
    return True


def run_vectors(folder):
    ok, count = True, 0
    with open(os.path.join(folder, "vectors.txt"), encoding="utf-8") as listing:
        for line in listing:
            if not line.strip() or line.startswith("#"):
                continue
            name, size, mode, sec, nsec, password = line.rstrip("\n").split("\t")
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            meta = (int(mode, 8), int(sec), int(nsec))
            ok = check(f"vector {name}", data, password, pattern(int(size)), meta) and ok
            count += 1
    if count < 12:
        print(f"FAIL only {count} vectors listed")
        ok = False
    return ok


def run_hvcrypt(tool):
    ok = True
    sizes = [0, 1, CHUNK - 1, CHUNK, CHUNK + 1, 2 * CHUNK, 3 * CHUNK + 5]
    with tempfile.TemporaryDirectory() as tmp:
        pwfile = os.path.join(tmp, "pw")
        password = "h\u00e4lvo \U0001F511 reader"
        with open(pwfile, "w", encoding="utf-8") as f:
            f.write(password + "\n")
        for version in (1, 2):
            for bits in (128, 192, 256):
                folder = os.path.join(tmp, f"v{version}-{bits}")
                os.mkdir(folder)
                names = []
                for size in sizes:
                    name = os.path.join(folder, f"f{size}")
                    with open(name, "wb") as f:
                        f.write(os.urandom(size))
                    names.append(name)
                cmd = [tool, "encrypt", "--quiet", "--password-file", pwfile, "--kdf-mem-kib", "64",
                       "--kdf-passes", "1", "--key-bits", str(bits), "--format-version", str(version)]
                if subprocess.run(cmd + names).returncode != 0:
                    print(f"FAIL hvcrypt could not encrypt version {version}, {bits} bits")
                    ok = False
                    continue
                for name in names:
                    with open(name, "rb") as f:
                        expect = f.read()
                    with open(name + ".hvnc", "rb") as f:
                        data = f.read()
                    if struct.unpack_from("<H", data, 8)[0] != version or data[12] != bits // 64 - 1:
                        print(f"FAIL {name}.hvnc: not version {version} with {bits} bits")
                        ok = False
                        continue
                    st = os.stat(name)
                    meta = (st.st_mode & 0o7777, st.st_mtime_ns // 10**9, st.st_mtime_ns % 10**9)
                    label = f"hvcrypt v{version} AES-{bits} {os.path.getsize(name)} bytes"
                    ok = check(label, data, password, expect, meta) and ok
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--vectors")
    parser.add_argument("--hvcrypt")
    args = parser.parse_args()
    if not args.vectors and not args.hvcrypt:
        parser.error("nothing to check")
    ok = True
    if args.vectors:
        ok = run_vectors(args.vectors) and ok
    if args.hvcrypt:
        ok = run_hvcrypt(args.hvcrypt) and ok
    print("independent reader:", "all files match" if ok else "MISMATCH")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
