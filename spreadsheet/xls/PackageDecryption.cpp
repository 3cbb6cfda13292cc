#include "spreadsheet/xls/PackageDecryption.h"

#include <QCryptographicHash>
#include <QXmlStreamReader>

#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

namespace spreadsheet::xls {
namespace {

const QString kDefaultPassword = QStringLiteral("VelvetSweatshop");
constexpr qsizetype kSegment = 4096;                     // agile packages are encrypted in segments of this size
constexpr std::uint32_t kMaxSpinCount = 10'000'000;      // the most the format allows
constexpr char kZipSignature[] = "PK\x03\x04";

Status damaged(const QString &why)
{
    return Status::refusal(ReadError::Damaged, QStringLiteral("damaged encrypted workbook: %1").arg(why));
}

Status notDecryptable(const QString &why)
{
    return Status::refusal(ReadError::PasswordProtected, why);
}

Status wrongPassword()
{
    return notDecryptable(QStringLiteral("the workbook is protected by a password"));
}

QByteArray passwordBytes()
{
    QByteArray out;
    for (const QChar c : kDefaultPassword) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QByteArray le32(std::uint32_t value)
{
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    return QByteArray(bytes, 4);
}

std::optional<std::uint32_t> u32At(const QByteArray &bytes, qsizetype offset)
{
    if (offset < 0 || offset + 4 > bytes.size())
        return std::nullopt;
    const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.constData() + offset);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// `bytes` cut or padded with `fill` to `size` bytes.
QByteArray fitted(QByteArray bytes, qsizetype size, char fill)
{
    if (bytes.size() > size)
        bytes.truncate(size);
    else
        bytes.append(size - bytes.size(), fill);
    return bytes;
}

// `data` decrypted with AES under `key` (16, 24 or 32 bytes), in CBC mode
// from `iv` (16 bytes) or in ECB mode without one; nullopt when the key or
// the length (a whole number of blocks) does not fit.
std::optional<QByteArray> aesDecrypt(const QByteArray &key, const std::optional<QByteArray> &iv, const QByteArray &data)
{
    const EVP_CIPHER *cipher = nullptr;
    switch (key.size()) {
    case 16: cipher = iv ? EVP_aes_128_cbc() : EVP_aes_128_ecb(); break;
    case 24: cipher = iv ? EVP_aes_192_cbc() : EVP_aes_192_ecb(); break;
    case 32: cipher = iv ? EVP_aes_256_cbc() : EVP_aes_256_ecb(); break;
    default: return std::nullopt;
    }
    if (data.size() % 16 != 0 || data.size() > INT_MAX - 16 || (iv && iv->size() != 16))
        return std::nullopt;
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                                  &EVP_CIPHER_CTX_free);
    const auto *keyBytes = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *ivBytes = iv ? reinterpret_cast<const unsigned char *>(iv->constData()) : nullptr;
    QByteArray out(data.size() + 16, Qt::Uninitialized);
    int written = 0, last = 0;
    auto *outBytes = reinterpret_cast<unsigned char *>(out.data());
    if (!context || EVP_DecryptInit_ex(context.get(), cipher, nullptr, keyBytes, ivBytes) != 1
        || EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1
        || EVP_DecryptUpdate(context.get(), outBytes, &written,
                             reinterpret_cast<const unsigned char *>(data.constData()), int(data.size())) != 1
        || EVP_DecryptFinal_ex(context.get(), outBytes + written, &last) != 1)
        return std::nullopt;
    out.resize(written + last);
    return out;
}

// The package's declared size, checked against the `cipherBytes` that follow it.
std::optional<qsizetype> packageSize(const QByteArray &encryptedPackage)
{
    const std::optional<std::uint32_t> low = u32At(encryptedPackage, 0), high = u32At(encryptedPackage, 4);
    if (!low || !high || *high != 0)
        return std::nullopt;
    const qsizetype size = qsizetype(*low);
    const qsizetype cipherBytes = encryptedPackage.size() - 8;
    return (size + 15) / 16 * 16 <= cipherBytes ? std::optional<qsizetype>(size) : std::nullopt;
}

Status finished(QByteArray &package, qsizetype size)
{
    package.truncate(size);
    if (!package.startsWith(kZipSignature))
        return damaged(QStringLiteral("the decrypted package is no zip archive"));
    return {};
}

// ECMA-376 standard encryption: AES in ECB mode, the key from SHA-1 spun 50,000 times.
Status decryptStandard(const QByteArray &info, const QByteArray &encryptedPackage, QByteArray &package)
{
    const std::optional<std::uint32_t> headerSize = u32At(info, 8);
    if (!headerSize || *headerSize > std::uint32_t(info.size()))
        return damaged(QStringLiteral("the encryption header is cut short"));
    const qsizetype header = 12, verifier = header + qsizetype(*headerSize);
    const std::optional<std::uint32_t> algorithm = u32At(info, header + 8), hash = u32At(info, header + 12),
                                       keyBits = u32At(info, header + 16), saltSize = u32At(info, verifier);
    if (!algorithm || !hash || !keyBits || !saltSize || verifier + 4 + 16 + 16 + 4 + 32 > info.size())
        return damaged(QStringLiteral("the encryption header is cut short"));
    const bool aes = *algorithm == 0x660E || *algorithm == 0x660F || *algorithm == 0x6610;
    if (!aes || (*hash != 0x8004 && *hash != 0) || *saltSize != 16)
        return notDecryptable(QStringLiteral("the workbook is encrypted in a way this tool cannot decrypt"));

    const QByteArray salt = info.mid(verifier + 4, 16);
    const auto sha1 = [](const QByteArray &data) { return QCryptographicHash::hash(data, QCryptographicHash::Sha1); };
    QByteArray spun = sha1(salt + passwordBytes());
    for (std::uint32_t i = 0; i < 50'000; ++i)
        spun = sha1(le32(i) + spun);
    spun = sha1(spun + le32(0));
    QByteArray inner(64, 0x36), outer(64, 0x5C);
    for (qsizetype i = 0; i < spun.size(); ++i) {
        inner[i] = char(inner[i] ^ spun[i]);
        outer[i] = char(outer[i] ^ spun[i]);
    }
    const QByteArray key = (sha1(inner) + sha1(outer)).left(qsizetype(*keyBits / 8));

    const std::optional<QByteArray> plainVerifier = aesDecrypt(key, std::nullopt, info.mid(verifier + 20, 16));
    const std::optional<QByteArray> verifierHash = aesDecrypt(key, std::nullopt, info.mid(verifier + 40, 32));
    if (!plainVerifier || !verifierHash)
        return notDecryptable(QStringLiteral("the workbook is encrypted in a way this tool cannot decrypt"));
    if (sha1(*plainVerifier) != verifierHash->left(20))
        return wrongPassword();

    const std::optional<qsizetype> size = packageSize(encryptedPackage);
    if (!size)
        return damaged(QStringLiteral("the encrypted package is cut short"));
    const std::optional<QByteArray> plain = aesDecrypt(key, std::nullopt, encryptedPackage.mid(8, (*size + 15) / 16 * 16));
    if (!plain)
        return damaged(QStringLiteral("the encrypted package cannot be decrypted"));
    package = *plain;
    return finished(package, *size);
}

// The settings an agile keyData or encryptedKey element gives.
struct AgileParameters {
    int saltSize = 0, blockSize = 0, keyBits = 0, hashSize = 0;
    QString cipher, chaining, hash;
    QByteArray salt;
    std::uint32_t spinCount = 0;
    QByteArray verifierInput, verifierValue, keyValue;  // of the password's encryptedKey only
};

AgileParameters agileParameters(const QXmlStreamAttributes &attributes)
{
    const auto text = [&](const char *name) { return attributes.value(QLatin1String(name)).toString(); };
    const auto bytes = [&](const char *name) { return QByteArray::fromBase64(text(name).toLatin1()); };
    AgileParameters p;
    p.saltSize = text("saltSize").toInt();
    p.blockSize = text("blockSize").toInt();
    p.keyBits = text("keyBits").toInt();
    p.hashSize = text("hashSize").toInt();
    p.cipher = text("cipherAlgorithm");
    p.chaining = text("cipherChaining");
    p.hash = text("hashAlgorithm");
    p.salt = bytes("saltValue");
    p.spinCount = text("spinCount").toUInt();
    p.verifierInput = bytes("encryptedVerifierHashInput");
    p.verifierValue = bytes("encryptedVerifierHashValue");
    p.keyValue = bytes("encryptedKeyValue");
    return p;
}

std::optional<QCryptographicHash::Algorithm> hashNamed(const QString &name)
{
    if (name == QLatin1String("SHA1"))
        return QCryptographicHash::Sha1;
    if (name == QLatin1String("SHA256"))
        return QCryptographicHash::Sha256;
    if (name == QLatin1String("SHA384"))
        return QCryptographicHash::Sha384;
    if (name == QLatin1String("SHA512"))
        return QCryptographicHash::Sha512;
    return std::nullopt;
}

bool decryptable(const AgileParameters &p)
{
    return p.cipher == QLatin1String("AES") && p.chaining == QLatin1String("ChainingModeCBC") && hashNamed(p.hash)
           && (p.keyBits == 128 || p.keyBits == 192 || p.keyBits == 256) && p.blockSize == 16
           && p.hashSize == QCryptographicHash::hashLength(*hashNamed(p.hash)) && !p.salt.isEmpty();
}

// ECMA-376 agile encryption: the package key is kept encrypted under a key
// spun from the password; the package is AES-CBC in 4096-byte segments.
Status decryptAgile(const QByteArray &info, const QByteArray &encryptedPackage, QByteArray &package)
{
    QXmlStreamReader xml(info.mid(8));
    std::optional<AgileParameters> data, password;
    bool passwordEncryptor = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("keyData"))
            data = agileParameters(xml.attributes());
        else if (xml.name() == QLatin1String("keyEncryptor"))
            passwordEncryptor = xml.attributes().value(QLatin1String("uri")).endsWith(QLatin1String("/password"));
        else if (xml.name() == QLatin1String("encryptedKey") && passwordEncryptor)
            password = agileParameters(xml.attributes());
    }
    if (xml.hasError() || !data || !password)
        return damaged(QStringLiteral("the encryption description is malformed"));
    if (!decryptable(*data) || !decryptable(*password) || password->spinCount > kMaxSpinCount)
        return notDecryptable(QStringLiteral("the workbook is encrypted in a way this tool cannot decrypt"));

    QCryptographicHash hash(*hashNamed(password->hash));
    const auto digest = [&hash](const QByteArray &first, const QByteArray &second) {
        hash.reset();
        hash.addData(first);
        hash.addData(second);
        return hash.result();
    };
    QByteArray spun = digest(password->salt, passwordBytes());
    for (std::uint32_t i = 0; i < password->spinCount; ++i)
        spun = digest(le32(i), spun);
    const auto blockKey = [&](const char (&block)[9]) {
        return fitted(digest(spun, QByteArray(block, 8)), password->keyBits / 8, 0x36);
    };
    const QByteArray iv = fitted(password->salt, 16, 0x36);
    const std::optional<QByteArray> input = aesDecrypt(blockKey("\xFE\xA7\xD2\x76\x3B\x4B\x9E\x79"), iv, password->verifierInput);
    const std::optional<QByteArray> value = aesDecrypt(blockKey("\xD7\xAA\x0F\x6D\x30\x61\x34\x4E"), iv, password->verifierValue);
    const std::optional<QByteArray> key = aesDecrypt(blockKey("\x14\x6E\x0B\xE7\xAB\xAC\xD0\xD6"), iv, password->keyValue);
    if (!input || !value || !key || value->size() < password->hashSize || key->size() < data->keyBits / 8)
        return damaged(QStringLiteral("the encryption description is malformed"));
    if (digest(input->left(password->saltSize), {}) != value->left(password->hashSize))
        return wrongPassword();

    const std::optional<qsizetype> size = packageSize(encryptedPackage);
    if (!size)
        return damaged(QStringLiteral("the encrypted package is cut short"));
    QCryptographicHash dataHash(*hashNamed(data->hash));
    package.clear();
    package.reserve(*size + 16);
    for (qsizetype at = 0; at < *size; at += kSegment) {
        dataHash.reset();
        dataHash.addData(data->salt);
        dataHash.addData(le32(std::uint32_t(at / kSegment)));
        const qsizetype length = std::min(kSegment, (*size - at + 15) / 16 * 16);
        const std::optional<QByteArray> segment =
            aesDecrypt(key->left(data->keyBits / 8), fitted(dataHash.result(), 16, 0x36), encryptedPackage.mid(8 + at, length));
        if (!segment)
            return damaged(QStringLiteral("the encrypted package cannot be decrypted"));
        package += *segment;
    }
    return finished(package, *size);
}

}  // namespace

Status decryptPackage(const QByteArray &encryptionInfo, const QByteArray &encryptedPackage, QByteArray &package)
{
    const std::optional<std::uint32_t> version = u32At(encryptionInfo, 0);
    if (!version)
        return damaged(QStringLiteral("the encryption description is cut short"));
    const std::uint32_t major = *version & 0xFFFF, minor = *version >> 16;
    if (major == 4 && minor == 4)
        return decryptAgile(encryptionInfo, encryptedPackage, package);
    if (major >= 2 && major <= 4 && minor == 2)
        return decryptStandard(encryptionInfo, encryptedPackage, package);
    return notDecryptable(QStringLiteral("the workbook is encrypted in a way this tool cannot decrypt"));
}

}  // namespace spreadsheet::xls
