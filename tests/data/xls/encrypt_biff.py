#!/usr/bin/python3
"""encrypt_biff.py KIND PASSWORD SOURCE.xls TARGET.xls: encrypts the workbook
stream of an unencrypted Excel 97-2003 (or Excel 5.0/95, XOR only) workbook
with PASSWORD in the kinds LibreOffice does not write (it writes the Office 97
RC4 kind), following the published layouts: KIND is xor (XOR obfuscation,
method 1) or cryptoapi (RC4 CryptoAPI with a 128-bit key).

A FILEPASS record goes in after the first BOF, the stream positions that the
workbook stores (sheet offsets, string table and row index positions) move by
its size, and every record body after it is encrypted but for the parts that
stay readable. TARGET is a new compound file holding only the workbook stream.
Salts are fixed, so the files come out the same on every run."""
import hashlib
import struct
import sys

from xlrd import compdoc

BOF, FILEPASS, BOUNDSHEET, EXTSST, INDEX = 0x0809, 0x002F, 0x0085, 0x00FF, 0x020B
# Records whose bodies stay unencrypted: BOF, FILEPASS, INTERFACEHDR, USREXCL,
# FILELOCK, RRDINFO, RRDHEAD. BOUNDSHEET keeps its first 4 bytes (the sheet offset).
PLAIN = {BOF, FILEPASS, 0x00E1, 0x0194, 0x0195, 0x0196, 0x0138}
SALT = bytes(range(0x10, 0x20))
VERIFIER = bytes(range(0xA0, 0xB0))


def records(stream):
    """(offset, id, body) of each record."""
    pos = 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        yield pos, rid, stream[pos + 4:pos + 4 + size]
        pos += 4 + size


class Rc4:
    def __init__(self, key):
        self.s = list(range(256))
        j = 0
        for i in range(256):
            j = (j + self.s[i] + key[i % len(key)]) & 0xFF
            self.s[i], self.s[j] = self.s[j], self.s[i]
        self.i = self.j = 0

    def crypt(self, data):
        out = bytearray(data)
        for k in range(len(out)):
            self.i = (self.i + 1) & 0xFF
            self.j = (self.j + self.s[self.i]) & 0xFF
            self.s[self.i], self.s[self.j] = self.s[self.j], self.s[self.i]
            out[k] ^= self.s[(self.s[self.i] + self.s[self.j]) & 0xFF]
        return bytes(out)


class BlockRc4:
    """RC4 keyed anew for every 1024-byte block of the stream."""

    def __init__(self, block_key):
        self.block_key = block_key

    def crypt(self, data, offset, _record_size):
        out = bytearray()
        for k, byte in enumerate(data):
            position = offset + k
            if k == 0 or position % 1024 == 0:
                cipher = Rc4(self.block_key(position // 1024))
                cipher.crypt(bytes(position % 1024))
            out += cipher.crypt(bytes([byte]))
        return bytes(out)


def utf16(password):
    return password.encode("utf-16-le")


def cryptoapi_filepass(password):
    """RC4 CryptoAPI with a 128-bit key: SHA-1 key derivation."""
    h0 = hashlib.sha1(SALT + utf16(password)).digest()

    def block_key(block):
        return hashlib.sha1(h0 + struct.pack("<I", block)).digest()[:16]

    cipher = Rc4(block_key(0))
    encrypted = cipher.crypt(VERIFIER) + cipher.crypt(hashlib.sha1(VERIFIER).digest())
    provider = "Microsoft Enhanced Cryptographic Provider v1.0\0".encode("utf-16-le")
    header = struct.pack("<IIIIIIII", 0x04, 0, 0x6801, 0x8004, 128, 1, 0, 0) + provider
    verifier = struct.pack("<I", 16) + SALT + encrypted[:16] + struct.pack("<I", 20) + encrypted[16:]
    info = struct.pack("<HHII", 4, 2, 0x04, len(header)) + header + verifier
    return struct.pack("<H", 1) + info, BlockRc4(block_key)


# XOR obfuscation, method 1.
PAD = [0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80, 0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00]
INITIAL_CODE = [0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E,
                0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3]
XOR_MATRIX = [
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF, 0x2BBF,
    0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750, 0x6EA0, 0xDD40,
    0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A,
    0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0,
    0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10,
    0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC,
    0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4]


def xor_key(password):
    key = INITIAL_CODE[len(password) - 1]
    element = 0x68
    for char in reversed(password):
        for _ in range(7):
            if char & 0x40:
                key ^= XOR_MATRIX[element]
            char = (char << 1) & 0xFF
            element -= 1
    return key


def password_verifier(password):
    verifier = 0
    for byte in reversed(bytes([len(password)]) + password):
        verifier = (((verifier >> 14) & 1) | ((verifier << 1) & 0x7FFF)) ^ byte
    return verifier ^ 0xCE4B


def xor_array(password, key):
    def xor_ror(a, b):
        value = a ^ b
        return ((value >> 1) | (value << 7)) & 0xFF

    high, low = key >> 8, key & 0xFF
    array = [0] * 16
    index = len(password)
    if index % 2 == 1:
        array[index] = xor_ror(PAD[0], high)
        index -= 1
        array[index] = xor_ror(password[-1], low)
    while index > 0:
        index -= 1
        array[index] = xor_ror(password[index], high)
        index -= 1
        array[index] = xor_ror(password[index], low)
    index, pad = 15, 15 - len(password)
    while pad > 0:
        array[index] = xor_ror(PAD[pad], high)
        index -= 1
        pad -= 1
        array[index] = xor_ror(PAD[pad], low)
        index -= 1
        pad -= 1
    return array


class Xor:
    def __init__(self, array):
        self.array = array

    def crypt(self, data, offset, record_size):
        out = bytearray()
        for k, byte in enumerate(data):
            rotated = ((byte << 5) | (byte >> 3)) & 0xFF
            out.append(rotated ^ self.array[(offset + k + record_size) % 16])
        return bytes(out)


def xor_filepass(password, biff8):
    raw = password.encode("latin-1")
    key = xor_key(raw)
    body = struct.pack("<HH", key, password_verifier(raw))
    return (struct.pack("<H", 0) if biff8 else b"") + body, Xor(xor_array(raw, key))


def move_positions(rid, body, delta):
    """`body` with the absolute stream positions it holds moved by `delta`."""
    body = bytearray(body)

    def move(at):
        struct.pack_into("<I", body, at, struct.unpack_from("<I", body, at)[0] + delta)

    if rid == BOUNDSHEET:
        move(0)
    elif rid == EXTSST:
        for at in range(2, len(body) - 7, 8):
            move(at)
    elif rid == INDEX:
        for at in range(12, len(body) - 3, 4):  # the DEFCOLWIDTH position, then the DBCELL positions
            move(at)
    return bytes(body)


def encrypt(stream, filepass, cipher):
    items = list(records(stream))
    assert items[0][1] == BOF and all(rid != FILEPASS for _, rid, _ in items)
    delta = 4 + len(filepass)
    out = bytearray(stream[:items[0][0] + 4 + len(items[0][2])])
    out += struct.pack("<HH", FILEPASS, len(filepass)) + filepass
    for _, rid, body in items[1:]:
        body = move_positions(rid, body, delta)
        out += struct.pack("<HH", rid, len(body))
        start = len(out)
        keep = len(body) if rid in PLAIN else 4 if rid == BOUNDSHEET else 0
        out += body[:keep] + cipher.crypt(body[keep:], start + keep, len(body))
    return bytes(out)


def compound_file(name, stream):
    """A version 3 compound file (512-byte sectors) holding one stream; a stream
    under 4,096 bytes goes into the mini stream, as the format requires."""
    free, end, fat_mark = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
    mini = len(stream) < 4096
    units = (len(stream) + 63) // 64 if mini else 0
    data = stream + bytes(-len(stream) % (64 if mini else 512))
    data += bytes(-len(data) % 512)
    data_sectors = len(data) // 512
    other = 1 + (1 if mini else 0)  # directory, mini allocation table
    fat_sectors = 1
    while fat_sectors * 128 < fat_sectors + other + data_sectors:
        fat_sectors += 1
    directory = fat_sectors
    mini_fat = directory + 1 if mini else end
    first_data = fat_sectors + other
    fat = [fat_mark] * fat_sectors + [end] + ([end] if mini else [])
    fat += [first_data + s + 1 for s in range(data_sectors - 1)] + [end]
    fat += [free] * (fat_sectors * 128 - len(fat))

    def entry(entry_name, kind, child, start, size):
        encoded = entry_name.encode("utf-16-le")
        head = encoded + bytes(64 - len(encoded))
        length = len(encoded) + 2 if entry_name else 0
        return head + struct.pack("<HBBIII16sIQQIII", length, kind, 1, free, free, child, bytes(16), 0, 0, 0,
                                  start, size, 0)

    entries = entry("Root Entry", 5, 1, first_data if mini else end, len(data) if mini else 0)
    entries += entry(name, 2, free, 0 if mini else first_data, len(stream))
    entries += entry("", 0, free, 0, 0) * 2
    header = struct.pack("<8s16sHHHHH6sIIIIIIIII", bytes.fromhex("D0CF11E0A1B11AE1"), bytes(16), 0x3E, 3, 0xFFFE, 9,
                         6, bytes(6), 0, fat_sectors, directory, 0, 4096, mini_fat, 1 if mini else 0, end, 0)
    header += struct.pack("<109I", *(list(range(fat_sectors)) + [free] * (109 - fat_sectors)))
    out = header + struct.pack("<%dI" % len(fat), *fat) + entries
    if mini:
        chain = [s + 1 for s in range(units - 1)] + [end]
        out += struct.pack("<128I", *(chain + [free] * (128 - len(chain))))
    return out + data


def main():
    kind, password, source, target = sys.argv[1:5]
    document = compdoc.CompDoc(open(source, "rb").read())
    name = "Workbook" if document.get_named_stream("Workbook") else "Book"
    stream = document.get_named_stream(name)
    biff8 = struct.unpack_from("<H", stream, 4)[0] >= 0x0600
    assert kind in ("xor", "cryptoapi") and (biff8 or kind == "xor"), "Excel 5.0/95 workbooks know only XOR"
    filepass, cipher = xor_filepass(password, biff8) if kind == "xor" else cryptoapi_filepass(password)
    with open(target, "wb") as out:
        out.write(compound_file(name, encrypt(stream, filepass, cipher)))


if __name__ == "__main__":
    main()
