#include "connection/baglanmodul.h"

#include "platform/os/WindowsPath.h"
#include "platform/xml/DomNode.h"

#include <QFileInfo>

namespace baglanmodul {

QString ayarmetni;
int ayarvar = 0;
QString baglantimetni;

namespace {

const QString openTag = QStringLiteral("<ConnectionString>");
const QString closeTag = QStringLiteral("</ConnectionString>");

// The element's markup begins with exactly "<ConnectionString>" when it is
// named so, carries no attribute and has content (an empty one is written as
// a self-closing tag). Testing this without writing the node out keeps the
// search linear on deep documents.
bool isConnectionElement(const pugi::xml_node &node)
{
    return node.type() == pugi::node_element && QLatin1StringView(node.name()) == QLatin1StringView("ConnectionString")
           && !node.first_attribute() && node.first_child();
}

// Leaves in ayarmetni the connection text of a loaded (or empty) document.
void takeConnectionText(const pugi::xml_document &document)
{
    ayarmetni.clear();
    // Position 1 of the top-level nodes: the root element when the file opens
    // with an XML declaration.
    baglantibul(document.first_child().next_sibling());
    // The markup keeps character references escaped; the server must get the
    // characters themselves ("&amp;" in a password is "&").
    ayarmetni = xml::decodeCharacterReferences(ayarmetni);
}

}  // namespace

ado::Connection &baglanti()
{
    // Lives until the process ends, like the connection it stands for.
    static auto *const connection = new ado::Connection();
    return *connection;
}

QString settingsFilePath()
{
    return platform::localPath(QStringLiteral("C:\\MenoraPOS-Restaurant\\Menorauser\\MenoraSettings.txt"));
}

xml::LoadResult ayarlarioku(const QString &path)
{
    pugi::xml_document document;
    const xml::LoadResult result = xml::loadFile(document, path);
    takeConnectionText(document);
    return result;
}

platform::Outcome encodingRefusal(const xml::LoadResult &loaded, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    switch (loaded.status) {
    case xml::LoadResult::UnknownEncoding:
        return platform::Outcome::failure(
            QStringLiteral("Ayar dosyası %1 bu programın çeviremediği bir karakter kodlamasıyla yazılmış, "
                           "bağlantı metni okunamadı. Dosyayı UTF-8 ya da windows-1254 olarak kaydedin.")
                .arg(name),
            loaded.detail());
    case xml::LoadResult::InvalidBytes:
        return platform::Outcome::failure(
            QStringLiteral("Ayar dosyası %1 bildirdiği karakter kodlamasına uymayan baytlar içeriyor, "
                           "bağlantı metni okunamadı.")
                .arg(name),
            loaded.detail());
    case xml::LoadResult::Loaded:
    case xml::LoadResult::Unreadable:
    case xml::LoadResult::Malformed:
        break;
    }
    return {};
}

xml::LoadResult ayarlaricoz(const QByteArray &fileBytes)
{
    pugi::xml_document document;
    const xml::LoadResult result = xml::loadBytes(document, fileBytes);
    takeConnectionText(document);
    return result;
}

void baglantibul(const pugi::xml_node &node)
{
    pugi::xml_node lastMatch;
    xml::preOrder(node, [&lastMatch](const pugi::xml_node &current) {
        if (isConnectionElement(current))
            lastMatch = current;
        return true;
    });
    if (lastMatch)
        ayarmetni = xml::outerXml(lastMatch);
    ayarmetni.remove(openTag);
    ayarmetni.remove(closeTag);
}

void chooseConnection()
{
    if (ayarmetni.size() < 3) {
        ayarvar = 0;
        baglantimetni.clear();
    } else {
        ayarvar = 1;
        baglantimetni = ayarmetni;
    }
}

QString fallbackConnectionText()
{
    return QStringList{
        QStringLiteral("Provider=SQLNCLI10.1"),
        QStringLiteral("Integrated Security=SSPI"),
        QStringLiteral("Persist Security Info=False"),
        QStringLiteral("User ID=\""),
        QStringLiteral("Initial Catalog=\""),
        QStringLiteral("Data Source=.\\SQLEXPRESS"),
        QStringLiteral("Initial File Name=C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf"),
        QStringLiteral("Server SPN="),
    }.join(u';');
}

QString connectionText()
{
    return ayarvar == 0 ? fallbackConnectionText() : QStringLiteral("Provider=SQLOLEDB.1; ") + baglantimetni;
}

void baglantiac()
{
    ado::Connection &connection = baglanti();
    connection.setConnectionString(connectionText());
    connection.open();
}

}  // namespace baglanmodul
