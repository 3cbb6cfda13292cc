#include "spreadsheet/xls/FilePass.h"

#include <QCryptographicHash>

#include <string_view>

namespace spreadsheet::xls {
namespace {

constexpr char kDefaultPassword[] = "VelvetSweatshop";

Status damaged(const QString &why)
{
    return Status::refusal(ReadError::Damaged, QStringLiteral("damaged workbook: encryption record %1").arg(why));
}

Status otherPassword()
{
    return Status::refusal(ReadError::PasswordProtected, QStringLiteral("the workbook is protected by a password"));
}

QByteArray copyOf(Bytes bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// The default password as the RC4 kinds hash it: UTF-16, little-endian.
QByteArray passwordUtf16()
{
    QByteArray out;
    for (const char c : std::string_view(kDefaultPassword)) {
        out.append(c);
        out.append('\0');
    }
    return out;
}

// `block` as the 4 little-endian bytes that follow a hash in a block key.
QByteArray blockNumber(std::uint32_t block)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(block >> (8 * i));
    return out;
}

QByteArray hash(const QByteArray &data, QCryptographicHash::Algorithm algorithm)
{
    return QCryptographicHash::hash(data, algorithm);
}

// True when the verifier and its hash, decrypted together with the key of
// block 0, match: the password that made `keys` is the file's.
bool verifies(const BlockRc4::BlockKey &keys, Bytes encryptedVerifier, Bytes encryptedHash,
              QCryptographicHash::Algorithm algorithm)
{
    QByteArray both = copyOf(encryptedVerifier) + copyOf(encryptedHash);
    Rc4(bytesOf(keys(0))).apply(std::span(reinterpret_cast<std::uint8_t *>(both.data()), std::size_t(both.size())));
    const qsizetype verifierSize = qsizetype(encryptedVerifier.size());
    return hash(both.left(verifierSize), algorithm) == both.mid(verifierSize);
}

Status xorObfuscation(Bytes info, std::unique_ptr<RecordCipher> &cipher)
{
    // key, password verifier
    if (info.size() < 4)
        return damaged(QStringLiteral("too short for XOR obfuscation"));
    const QByteArray password(kDefaultPassword);
    if (u16At(info, 0) != XorObfuscation::key(password) || u16At(info, 2) != XorObfuscation::verifier(password))
        return otherPassword();
    cipher = std::make_unique<XorObfuscation>(password);
    return {};
}

// Office 97 RC4: MD5 of the password, salted, truncated to 40 bits; each
// block's 128-bit key is the MD5 of that and the block number.
Status officeRc4(Bytes info, std::unique_ptr<RecordCipher> &cipher)
{
    // salt, encrypted verifier, encrypted MD5 of the verifier
    if (info.size() < 48)
        return damaged(QStringLiteral("too short for RC4"));
    const QByteArray salt = copyOf(info.first(16));
    const QByteArray passwordHash = hash(passwordUtf16(), QCryptographicHash::Md5).left(5);
    const QByteArray intermediate = hash((passwordHash + salt).repeated(16), QCryptographicHash::Md5).left(5);
    BlockRc4::BlockKey keys = [intermediate](std::uint32_t block) {
        return hash(intermediate + blockNumber(block), QCryptographicHash::Md5);
    };
    if (!verifies(keys, info.subspan(16, 16), info.subspan(32, 16), QCryptographicHash::Md5))
        return otherPassword();
    cipher = std::make_unique<BlockRc4>(std::move(keys));
    return {};
}

// RC4 CryptoAPI: SHA-1 of salt and password; each block's key is the first
// key-length bits of the SHA-1 of that and the block number, a 40-bit key
// padded with zeros to 128 bits.
Status cryptoApiRc4(Bytes info, std::unique_ptr<RecordCipher> &cipher)
{
    // flags, header size, header (flags, size extra, algorithm, hash
    // algorithm, key bits, provider type, 2 reserved, provider name), verifier
    const std::size_t headerSize = u32At(info, 4);
    if (headerSize < 32 || !fits(info, 8, headerSize))
        return damaged(QStringLiteral("has an encryption header that does not fit it"));
    const Bytes header = info.subspan(8, headerSize);
    const std::uint32_t algorithm = u32At(header, 8), hashAlgorithm = u32At(header, 12);
    // Zero means the default for CryptoAPI: RC4, SHA-1, 40 bits.
    if ((algorithm != 0 && algorithm != 0x6801) || (hashAlgorithm != 0 && hashAlgorithm != 0x8004))
        return damaged(QStringLiteral("names a cipher other than RC4 with SHA-1"));
    const std::uint32_t keyBits = u32At(header, 16) == 0 ? 40 : u32At(header, 16);
    if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0)
        return damaged(QStringLiteral("has an RC4 key of %1 bits").arg(keyBits));
    // salt size, salt, encrypted verifier, hash size, encrypted SHA-1 of the verifier
    const Bytes verifier = info.subspan(8 + headerSize);
    if (verifier.size() < 60 || u32At(verifier, 0) != 16 || u32At(verifier, 36) != 20)
        return damaged(QStringLiteral("has a malformed password verifier"));
    const QByteArray passwordHash = hash(copyOf(verifier.subspan(4, 16)) + passwordUtf16(), QCryptographicHash::Sha1);
    BlockRc4::BlockKey keys = [passwordHash, keyBits](std::uint32_t block) {
        QByteArray key = hash(passwordHash + blockNumber(block), QCryptographicHash::Sha1).left(keyBits / 8);
        if (keyBits == 40)
            key.append(11, '\0');
        return key;
    };
    if (!verifies(keys, verifier.subspan(20, 16), verifier.subspan(40, 20), QCryptographicHash::Sha1))
        return otherPassword();
    cipher = std::make_unique<BlockRc4>(std::move(keys));
    return {};
}

Status rc4(Bytes info, std::unique_ptr<RecordCipher> &cipher)
{
    const std::uint16_t major = u16At(info, 0), minor = u16At(info, 2);
    if (info.size() >= 4 && major == 1 && minor == 1)
        return officeRc4(info.subspan(4), cipher);
    if (info.size() >= 4 && major >= 2 && major <= 4 && minor == 2)
        return cryptoApiRc4(info.subspan(4), cipher);
    return damaged(QStringLiteral("has the unknown RC4 version %1.%2").arg(major).arg(minor));
}

}  // namespace

Status defaultPasswordCipher(Bytes body, bool biff8, std::unique_ptr<RecordCipher> &cipher)
{
    if (!biff8)
        return xorObfuscation(body, cipher);
    if (body.size() < 2)
        return damaged(QStringLiteral("is empty"));
    switch (u16At(body, 0)) {
    case 0:
        return xorObfuscation(body.subspan(2), cipher);
    case 1:
        return rc4(body.subspan(2), cipher);
    default:
        return damaged(QStringLiteral("names the unknown encryption %1").arg(u16At(body, 0)));
    }
}

}  // namespace spreadsheet::xls
