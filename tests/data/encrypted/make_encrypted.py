#!/usr/bin/python3
"""Writes .xlsx workbooks encrypted as Office 2007 and later encrypt them: the
zip package inside a compound file, in an EncryptedPackage stream described
by an EncryptionInfo stream. Standard encryption (AES-128 in ECB mode, SHA-1
key derivation) and agile encryption (AES in CBC mode, the key from the
password spun through the named hash, one IV per 4096-byte segment), each
with Excel's built-in default password and with a real one; then a few
broken ones. Salts and keys are fixed so that the files are the same on
every run. Needs python3-openpyxl and python3-cryptography.

make_encrypted.py OUTPUT_DIR"""
import base64
import hashlib
import hmac
import io
import os
import struct
import sys

import openpyxl
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

DEFAULT_PASSWORD = "VelvetSweatshop"
ROWS = [("Barkod", "Ürün", "Fiyat"), (8690504012345, "Çay Bardağı", 12.5), (8690504012346, "Şeker", 45)]


def plain_package():
    book = openpyxl.Workbook()
    for row in ROWS:
        book.active.append(row)
    out = io.BytesIO()
    book.save(out)
    return out.getvalue()


def aes(key, mode, data, encrypt=True):
    cipher = Cipher(algorithms.AES(key), mode)
    worker = cipher.encryptor() if encrypt else cipher.decryptor()
    return worker.update(data) + worker.finalize()


def pad16(data, fill=b"\0"):
    return data + fill * (-len(data) % 16)


# --- Standard encryption -----------------------------------------------------

def standard_key(password, salt, key_bits):
    sha1 = lambda data: hashlib.sha1(data).digest()
    h = sha1(salt + password.encode("utf-16-le"))
    for i in range(50000):
        h = sha1(struct.pack("<I", i) + h)
    h = sha1(h + struct.pack("<I", 0))
    x1 = sha1(bytes(b ^ 0x36 for b in h) + b"\x36" * 44)
    x2 = sha1(bytes(b ^ 0x5C for b in h) + b"\x5C" * 44)
    return (x1 + x2)[: key_bits // 8]


def standard(package, password):
    salt = bytes(range(16))
    key = standard_key(password, salt, 128)
    verifier = b"standard-verify!"
    provider = "Microsoft Enhanced RSA and AES Cryptographic Provider\0".encode("utf-16-le")
    header = struct.pack("<8I", 0x24, 0, 0x660E, 0x8004, 128, 0x18, 0, 0) + provider
    info = struct.pack("<HHII", 4, 2, 0x24, len(header)) + header
    info += struct.pack("<I", 16) + salt + aes(key, modes.ECB(), verifier)
    info += struct.pack("<I", 20) + aes(key, modes.ECB(), pad16(hashlib.sha1(verifier).digest()))
    data = struct.pack("<Q", len(package)) + aes(key, modes.ECB(), pad16(package))
    return info, data


# --- Agile encryption --------------------------------------------------------

VERIFIER_INPUT_BLOCK = bytes([0xFE, 0xA7, 0xD2, 0x76, 0x3B, 0x4B, 0x9E, 0x79])
VERIFIER_VALUE_BLOCK = bytes([0xD7, 0xAA, 0x0F, 0x6D, 0x30, 0x61, 0x34, 0x4E])
KEY_VALUE_BLOCK = bytes([0x14, 0x6E, 0x0B, 0xE7, 0xAB, 0xAC, 0xD0, 0xD6])
HMAC_KEY_BLOCK = bytes([0x5F, 0xB2, 0xAD, 0x01, 0x0C, 0xB9, 0xE1, 0xF6])
HMAC_VALUE_BLOCK = bytes([0xA0, 0x67, 0x7F, 0x02, 0xB2, 0x2C, 0x84, 0x33])


def agile(package, password, hash_name="SHA512", key_bits=256, spin=100000):
    digest = lambda data: hashlib.new(hash_name.lower(), data).digest()
    hash_size = len(digest(b""))
    key_salt, data_salt = bytes(range(16, 32)), bytes(range(32, 48))
    secret = bytes(range(100, 100 + key_bits // 8))
    spun = digest(key_salt + password.encode("utf-16-le"))
    for i in range(spin):
        spun = digest(struct.pack("<I", i) + spun)
    block_key = lambda block: (digest(spun + block) + b"\x36" * 64)[: key_bits // 8]
    wrap = lambda block, data: aes(block_key(block), modes.CBC(key_salt), pad16(data))
    verifier = b"agile-verifier!!"
    segments = []
    for index, start in enumerate(range(0, len(package), 4096)):
        iv = digest(data_salt + struct.pack("<I", index))[:16]
        segments.append(aes(secret, modes.CBC(iv), pad16(package[start:start + 4096])))
    data = struct.pack("<Q", len(package)) + b"".join(segments)
    # The integrity check Office writes: an HMAC of the whole stream, its key
    # and value kept encrypted under the package key.
    hmac_key = bytes(range(150, 150 + hash_size))
    hmac_value = hmac.new(hmac_key, data, hash_name.lower()).digest()
    seal = lambda block, value: aes(secret, modes.CBC(digest(data_salt + block)[:16]), pad16(value))
    b64 = lambda data: base64.b64encode(data).decode()
    params = (f'saltSize="16" blockSize="16" keyBits="{key_bits}" hashSize="{hash_size}" cipherAlgorithm="AES" '
              f'cipherChaining="ChainingModeCBC" hashAlgorithm="{hash_name}"')
    xml = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
           '<encryption xmlns="http://schemas.microsoft.com/office/2006/encryption" '
           'xmlns:p="http://schemas.microsoft.com/office/2006/keyEncryptor/password">'
           f'<keyData {params} saltValue="{b64(data_salt)}"/>'
           f'<dataIntegrity encryptedHmacKey="{b64(seal(HMAC_KEY_BLOCK, hmac_key))}" '
           f'encryptedHmacValue="{b64(seal(HMAC_VALUE_BLOCK, hmac_value))}"/>'
           '<keyEncryptors><keyEncryptor uri="http://schemas.microsoft.com/office/2006/keyEncryptor/password">'
           f'<p:encryptedKey spinCount="{spin}" {params} saltValue="{b64(key_salt)}" '
           f'encryptedVerifierHashInput="{b64(wrap(VERIFIER_INPUT_BLOCK, verifier))}" '
           f'encryptedVerifierHashValue="{b64(wrap(VERIFIER_VALUE_BLOCK, digest(verifier)))}" '
           f'encryptedKeyValue="{b64(wrap(KEY_VALUE_BLOCK, secret))}"/>'
           '</keyEncryptor></keyEncryptors></encryption>')
    info = struct.pack("<HHI", 4, 4, 0x40) + xml.encode()
    return info, data


# --- Compound file -----------------------------------------------------------

END, FREE, FAT_SECTOR = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD


def compound_file(streams):
    """A version 3 compound file with `streams` (name, bytes) in its root:
    sector 0 the allocation table, 1 the directory, 2 the mini allocation
    table, then the mini stream, then the streams of 4096 bytes or more."""
    fat, sectors = [FAT_SECTOR, END, END], [b"", b"", b""]
    mini_fat, mini = [], b""
    entries = []
    for name, data in streams:
        if len(data) < 4096:
            first, units = len(mini_fat), (len(data) + 63) // 64
            mini_fat += [first + k + 1 for k in range(units - 1)] + [END]
            mini += data.ljust(units * 64, b"\0")
        else:
            first, count = len(sectors), (len(data) + 511) // 512
            fat += [first + k + 1 for k in range(count - 1)] + [END]
            sectors += [data[k * 512:(k + 1) * 512].ljust(512, b"\0") for k in range(count)]
        entries.append((name, 2, first, len(data)))
    mini_start, mini_count = len(sectors), (len(mini) + 511) // 512
    fat += [mini_start + k + 1 for k in range(mini_count - 1)] + [END]
    sectors += [mini[k * 512:(k + 1) * 512].ljust(512, b"\0") for k in range(mini_count)]
    assert len(fat) <= 128 and len(mini_fat) <= 128 and len(entries) <= 3
    fat += [FREE] * (128 - len(fat))
    sectors[0] = struct.pack("<128I", *fat)
    sectors[2] = struct.pack("<128I", *(mini_fat + [FREE] * (128 - len(mini_fat))))

    def entry(name, kind, left, right, child, start, size):
        encoded = (name + "\0").encode("utf-16-le") if name else b""
        return (encoded.ljust(64, b"\0") + struct.pack("<HBB3I", len(encoded), kind, 1, left, right, child)
                + bytes(36) + struct.pack("<IQ", start, size))

    # A chain of right siblings, in the order compound files sort names (length, then case-blind text).
    order = sorted(range(len(entries)), key=lambda k: (len(entries[k][0]), entries[k][0].upper()))
    directory = entry("Root Entry", 5, FREE, FREE, order[0] + 1, mini_start, len(mini))
    for position, k in enumerate(order):
        name, kind, start, size = entries[k]
        right = order[position + 1] + 1 if position + 1 < len(order) else FREE
        directory += entry(name, kind, FREE, right, FREE, start, size)
    sectors[1] = directory.ljust(512, b"\0")

    header = bytes.fromhex("D0CF11E0A1B11AE1") + bytes(16)
    header += struct.pack("<HHHHH6xIIIIIIIII", 0x3E, 3, 0xFFFE, 9, 6, 0, 1, 1, 0, 4096, 2, 1, END, 0)
    header += struct.pack("<109I", 0, *([FREE] * 108))
    return header + b"".join(sectors)


def main():
    out = sys.argv[1]
    package = plain_package()

    def write(name, encrypted):
        info, data = encrypted
        with open(os.path.join(out, name), "wb") as f:
            f.write(compound_file([("EncryptionInfo", info), ("EncryptedPackage", data)]))

    write("standard_default.xlsx", standard(package, DEFAULT_PASSWORD))
    write("standard_password.xlsx", standard(package, "gizli"))
    write("agile_default.xlsx", agile(package, DEFAULT_PASSWORD))
    write("agile_sha1_default.xlsx", agile(package, DEFAULT_PASSWORD, "SHA1", 128, 5000))
    write("agile_password.xlsx", agile(package, "gizli"))
    # Broken: a header cut short, XML cut short, a package that says it is
    # longer than it is, and a package whose bytes are no zip once decrypted.
    info, data = standard(package, DEFAULT_PASSWORD)
    write("standard_header_cut.xlsx", (info[:40], data))
    write("standard_long_size.xlsx", (info, struct.pack("<Q", len(package) * 4) + data[8:]))
    write("standard_not_zip.xlsx", standard(b"\0" * len(package), DEFAULT_PASSWORD))
    info, data = agile(package, DEFAULT_PASSWORD)
    write("agile_xml_cut.xlsx", (info[:len(info) // 2], data))
    write("agile_package_cut.xlsx", (info, data[:100]))


main()
