#include "support/XMLFlexDS.h"

#include "XmlTestFiles.h"
#include "platform/xml/DomNode.h"
#include "support/RuntimeError.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/TextBytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <climits>
#include <functional>
#include <string>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// The column of one field, record by record.
QStringList column(XMLFlexDS &ds, int field)
{
    QStringList values;
    for (int record = 0; record < ds.GetRecordCount(); ++record)
        values << ds.GetData(field, record);
    return values;
}

// The number and description of the RuntimeError that `action` raises.
std::pair<int, std::string> errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RuntimeError &error) {
        return {error.number(), error.description()};
    }
    return {0, {}};
}

TEST(XMLFlexDS, records_are_elements_with_content_in_document_order)
{
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    EXPECT_EQ(ds.GetRecordCount(), 5);
    EXPECT_EQ(ds.GetFieldCount(), 2);
    EXPECT_EQ(column(ds, 0), QStringList({"r", "a", "b", "c", "d"}));
    EXPECT_EQ(column(ds, 1), QStringList({"", "1", "", "2", "3"}));
}

TEST(XMLFlexDS, an_element_with_one_child_element_is_a_leaf_showing_its_text)
{
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf("<?xml version=\"1.0\"?><g><h>5</h></g>"));
    EXPECT_EQ(column(ds, 0), QStringList({"g"}));
    EXPECT_EQ(column(ds, 1), QStringList({"5"}));

    ds.setXMLDocument(documentOf("<?xml version=\"1.0\"?><g><h>a<i>b</i><![CDATA[c]]></h></g>"));
    EXPECT_EQ(column(ds, 1), QStringList({"abc"}));
}

struct EmptyCase {
    const char *name;
    const char *xml;  // nullptr: no document is ever given
    bool thenNull;    // a null document follows
};

void PrintTo(const EmptyCase &c, std::ostream *os)
{
    *os << c.name;
}

class XMLFlexDSWithoutRecords : public testing::TestWithParam<EmptyCase> {};

TEST_P(XMLFlexDSWithoutRecords, shows_nothing_and_has_no_index_to_read_or_write)
{
    XMLFlexDS ds;
    if (GetParam().xml)
        ds.setXMLDocument(documentOf(GetParam().xml));
    if (GetParam().thenNull)
        ds.setXMLDocument(nullptr);
    EXPECT_EQ(ds.GetRecordCount(), 0);
    EXPECT_EQ(errorOf([&] { ds.GetData(0, 0); }).first, 666);
    EXPECT_EQ(errorOf([&] { ds.SetData(1, 0, "x"); }).first, 666);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XMLFlexDSWithoutRecords,
    testing::Values(EmptyCase{"no_document", nullptr, false}, EmptyCase{"null_document", settingsXml, true},
                    EmptyCase{"comment_first", "<?xml version=\"1.0\"?><!-- c --><r><a>1</a></r>", false},
                    EmptyCase{"single_top_level_node", "<r><a>1</a><b>2</b></r>", false},
                    EmptyCase{"empty_second_node", "<?xml version=\"1.0\"?><r/>", false},
                    EmptyCase{"empty", "", false}),
    [](const testing::TestParamInfo<EmptyCase> &info) { return std::string(info.param.name); });

TEST(XMLFlexDS, field_0_is_named_baslik_and_every_other_ayar)
{
    XMLFlexDS ds;
    EXPECT_EQ(ds.GetFieldName(0), "Baslik");
    for (int field : {1, 2, -1})
        EXPECT_EQ(ds.GetFieldName(field), "Ayar") << field;
}

class XMLFlexDSBadIndex : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(XMLFlexDSBadIndex, raises_666_and_touches_nothing)
{
    const int field = GetParam().first;
    const int record = GetParam().second;
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    const QString before = xml::outerXml(*ds.XMLDocument());
    EXPECT_EQ(errorOf([&] { ds.GetData(field, record); }), std::pair(666, std::string("Bad Index")));
    EXPECT_EQ(errorOf([&] { ds.SetData(field, record, "x"); }), std::pair(666, std::string("Bad Index")));
    EXPECT_EQ(xml::outerXml(*ds.XMLDocument()), before);
    EXPECT_FALSE(ds.isDirty());
}

INSTANTIATE_TEST_SUITE_P(FieldAndRecord, XMLFlexDSBadIndex,
                         testing::Values(std::pair{0, 5}, std::pair{1, 5}, std::pair{2, 0}, std::pair{-1, 1},
                                         std::pair{0, -1}, std::pair{1, INT_MAX}, std::pair{INT_MIN, 0}));

TEST(XMLFlexDS, an_edit_of_a_leaf_replaces_the_content_of_its_one_child)
{
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    ds.SetData(1, 3, "twenty");
    EXPECT_TRUE(ds.isDirty());
    EXPECT_EQ(ds.GetData(1, 3), "twenty");
    EXPECT_STREQ(ds.XMLDocument()->child("r").child("b").child("c").child_value(), "twenty");

    ds.setXMLDocument(documentOf("<?xml version=\"1.0\"?><g><h>a<i>b</i></h></g>"));
    ds.SetData(1, 0, "Ğ<&>");
    EXPECT_EQ(xml::outerXml(ds.XMLDocument()->child("g")), "<g><h>Ğ&lt;&amp;&gt;</h></g>");
    EXPECT_EQ(ds.GetData(1, 0), "Ğ<&>");
}

struct NoChange {
    const char *name;
    int field;
    int record;
    const char *text;
};

void PrintTo(const NoChange &c, std::ostream *os)
{
    *os << c.name;
}

class XMLFlexDSNoChange : public testing::TestWithParam<NoChange> {};

TEST_P(XMLFlexDSNoChange, leaves_the_document_and_the_dirty_mark_alone)
{
    XMLFlexDS ds;
    ds.setXMLDocument(documentOf(settingsXml));
    const QString before = xml::outerXml(*ds.XMLDocument());
    ds.SetData(GetParam().field, GetParam().record, GetParam().text);
    EXPECT_EQ(xml::outerXml(*ds.XMLDocument()), before);
    EXPECT_FALSE(ds.isDirty());
}

INSTANTIATE_TEST_SUITE_P(Edits, XMLFlexDSNoChange,
                         testing::Values(NoChange{"same_text", 1, 1, "1"}, NoChange{"field_0", 0, 1, "z"},
                                         NoChange{"node_with_several_children", 1, 2, "z"},
                                         NoChange{"top_level_node", 1, 0, "z"}),
                         [](const testing::TestParamInfo<NoChange> &info) { return std::string(info.param.name); });

TEST(XMLFlexDS, a_file_that_cannot_be_loaded_shows_no_records_and_says_why)
{
    QTemporaryDir dir;
    XMLFlexDS ds;
    const QString missing = dir.filePath("missing.xml");
    EXPECT_EQ(ds.setXMLFile(missing).status, xml::LoadResult::Unreadable);
    EXPECT_EQ(ds.XMLFile(), missing);
    EXPECT_NE(ds.XMLDocument(), nullptr);
    EXPECT_EQ(ds.GetRecordCount(), 0);

    const QString broken = dir.filePath("broken.xml");
    writeFile(broken, "<?xml version=\"1.0\"?><r><a>1</a>");
    EXPECT_EQ(ds.setXMLFile(broken).status, xml::LoadResult::Malformed);
    EXPECT_EQ(ds.GetRecordCount(), 0);
}

// Saving at destruction, and the explicit save.
class XMLFlexDSSave : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeFile(path, settingsXml);
    }
    // The records' values after loading `file` afresh.
    static QStringList valuesIn(const QString &file)
    {
        XMLFlexDS reader;
        reader.setXMLFile(file);
        return column(reader, 1);
    }

    QTemporaryDir dir;
    QString path = dir.filePath("settings.xml");
};

TEST_F(XMLFlexDSSave, an_edited_file_is_rewritten_at_destruction)
{
    QString before;
    {
        XMLFlexDS ds;
        ds.setXMLFile(path);
        ds.SetData(1, 4, "Çay");
        before = xml::outerXml(*ds.XMLDocument());
    }
    EXPECT_EQ(valuesIn(path), QStringList({"", "1", "", "2", "Çay"}));
    pugi::xml_document reread;
    xml::loadFile(reread, path);
    EXPECT_EQ(xml::outerXml(reread), before);  // comment, empty element and declaration kept
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"settings.xml"}));  // no temporary left
}

TEST_F(XMLFlexDSSave, an_unedited_file_is_not_rewritten)
{
    {
        XMLFlexDS ds;
        ds.setXMLFile(path);
        ds.SetData(1, 1, "1");
    }
    EXPECT_EQ(readFile(path), QByteArray(settingsXml));
}

TEST_F(XMLFlexDSSave, a_document_given_without_a_file_name_is_not_saved)
{
    {
        XMLFlexDS ds;
        ds.setXMLDocument(documentOf(settingsXml));
        ds.SetData(1, 1, "9");
        EXPECT_FALSE(ds.Save().ok());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"settings.xml"}));
    EXPECT_EQ(readFile(path), QByteArray(settingsXml));
}

TEST_F(XMLFlexDSSave, a_second_document_is_saved_under_the_first_files_name)
{
    {
        XMLFlexDS ds;
        ds.setXMLFile(path);
        ds.SetData(1, 1, "9");
        ds.setXMLDocument(documentOf("<?xml version=\"1.0\"?><g><h>5</h></g>"));
        EXPECT_FALSE(ds.isDirty()) << "a new document starts clean";
        ds.SetData(1, 0, "6");
    }
    EXPECT_EQ(valuesIn(path), QStringList({"6"}));
}

TEST_F(XMLFlexDSSave, the_explicit_save_writes_and_clears_the_dirty_mark)
{
    XMLFlexDS ds;
    ds.setXMLFile(path);
    ds.SetData(1, 1, "7");
    EXPECT_TRUE(ds.Save().ok());
    EXPECT_FALSE(ds.isDirty());
    EXPECT_EQ(valuesIn(path), QStringList({"", "7", "", "2", "3"}));
}

TEST_F(XMLFlexDSSave, a_failed_save_is_returned_or_swallowed_and_changes_nothing)
{
    const QString blocked = dir.filePath("blocked.xml");
    writeFile(blocked, settingsXml);
    {
        XMLFlexDS ds;
        ds.setXMLFile(blocked);
        ds.SetData(1, 1, "8");
        // The name now belongs to a folder: no file can replace it.
        ASSERT_TRUE(QFile::remove(blocked));
        ASSERT_TRUE(QDir(dir.path()).mkdir("blocked.xml"));
        EXPECT_FALSE(ds.Save().ok());
        EXPECT_TRUE(ds.isDirty());
    }  // the save at destruction fails quietly
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"settings.xml"}));
}

// POSIX: a child process saves an edit of the given length under a file-size
// limit, which fails writes the way a full disk does; the explicit save and
// the one at destruction must both leave the old file whole.
class XMLFlexDSOutOfRoom : public XMLFlexDSSave, public testing::WithParamInterface<int> {};

TEST_P(XMLFlexDSOutOfRoom, a_save_keeps_the_old_file_and_says_so)
{
#if defined(Q_OS_UNIX)
    const QByteArray original = readFile(path);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        bool reported = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        {
            XMLFlexDS ds;
            ds.setXMLFile(path);
            ds.SetData(1, 1, QString(GetParam(), u'x'));
            reported = reported && !ds.Save().ok() && ds.isDirty();
        }
        _exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success or cleared the dirty mark";
    const QByteArray after = readFile(path);
    EXPECT_TRUE(after == original) << "the file was replaced by " << after.size() << " bytes";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"settings.xml"}));
#else
    GTEST_SKIP() << "needs a POSIX file-size limit";
#endif
}

// Within and beyond the size of Qt's write buffer.
INSTANTIATE_TEST_SUITE_P(EditLength, XMLFlexDSOutOfRoom, testing::Values(12000, 200000));

// The document r with a and b, declaring `encoding`, with the bytes of the
// two values as given.
QByteArray encodedDocument(const char *encoding, const QByteArray &a, const QByteArray &b)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?><r><a>" + a + "</a><b>" + b
           + "</b></r>";
}

QByteArray utf16Document(const char *a, const char *b)
{
    return utf16WithByteOrderMark(QString::fromUtf8(encodedDocument("UTF-16", a, b)));
}

struct EncodingCase {
    const char *name;
    QByteArray file;    // as another program wrote it
    QString shown;      // the value of a
    QString edit;       // the new value of b
    QByteArray saved;   // the whole file after the save
};

void PrintTo(const EncodingCase &c, std::ostream *os)
{
    *os << c.name;
}

class XMLFlexDSEncoding : public XMLFlexDSSave, public testing::WithParamInterface<EncodingCase> {};

TEST_P(XMLFlexDSEncoding, a_file_is_shown_edited_and_saved_wholly_in_the_encoding_it_declares)
{
    writeFile(path, GetParam().file);
    {
        XMLFlexDS ds;
        ASSERT_TRUE(ds.setXMLFile(path));
        EXPECT_EQ(ds.GetData(1, 1), GetParam().shown);
        ds.SetData(1, 2, GetParam().edit);
        EXPECT_TRUE(ds.Save().ok());
    }
    EXPECT_EQ(readFile(path), GetParam().saved);
    EXPECT_EQ(valuesIn(path), QStringList({"", GetParam().shown, GetParam().edit}));
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, XMLFlexDSEncoding,
    testing::Values(
        EncodingCase{"utf8", encodedDocument("UTF-8", "ç", "x"), "ç", "ü", encodedDocument("UTF-8", "ç", "ü")},
        EncodingCase{"utf16", utf16Document("ç", "x"), "ç", "ü", utf16Document("ç", "ü")},
        EncodingCase{"latin1", encodedDocument("ISO-8859-1", "\xE7", "x"), "ç", "ü",
                     encodedDocument("ISO-8859-1", "\xE7", "\xFC")},
        // € sits at 0x80 in windows-1254 and nowhere in ISO-8859-9.
        EncodingCase{"windows_1254", encodedDocument("windows-1254", "\xDE" "ube", "x"), "Şube", "Ğİış€",
                     encodedDocument("windows-1254", "\xDE" "ube", "\xD0\xDD\xFD\xFE\x80")},
        EncodingCase{"iso_8859_9", encodedDocument("ISO-8859-9", "\xDE" "ube", "x"), "Şube", "Ğİış",
                     encodedDocument("ISO-8859-9", "\xDE" "ube", "\xD0\xDD\xFD\xFE")},
        EncodingCase{"windows_1252", encodedDocument("windows-1252", "\xE7" "ay", "x"), "çay", "Ñ€",
                     encodedDocument("windows-1252", "\xE7" "ay", "\xD1\x80")}),
    [](const testing::TestParamInfo<EncodingCase> &info) { return std::string(info.param.name); });

struct UnencodableCase {
    const char *name;
    const char *encoding;
    QString edit;  // one character the encoding cannot hold
};

void PrintTo(const UnencodableCase &c, std::ostream *os)
{
    *os << c.name;
}

class XMLFlexDSUnencodable : public XMLFlexDSSave, public testing::WithParamInterface<UnencodableCase> {};

TEST_P(XMLFlexDSUnencodable, an_edit_the_encoding_cannot_hold_fails_the_save_and_keeps_the_file)
{
    const QByteArray file = encodedDocument(GetParam().encoding, "a", "x");
    writeFile(path, file);
    {
        XMLFlexDS ds;
        ASSERT_TRUE(ds.setXMLFile(path));
        ds.SetData(1, 2, GetParam().edit);
        const QString error = ds.Save().detail();
        EXPECT_TRUE(error.contains(GetParam().edit)) << error.toStdString();
        EXPECT_TRUE(ds.isDirty());
    }
    EXPECT_EQ(readFile(path), file);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, XMLFlexDSUnencodable,
    testing::Values(UnencodableCase{"euro_in_iso_8859_9", "ISO-8859-9", "€"},
                    UnencodableCase{"turkish_in_windows_1252", "windows-1252", "Ş"},
                    UnencodableCase{"turkish_in_latin1", "ISO-8859-1", "İ"},
                    UnencodableCase{"beyond_16_bits_in_windows_1254", "windows-1254", "\U0001F600"}),
    [](const testing::TestParamInfo<UnencodableCase> &info) { return std::string(info.param.name); });

TEST_F(XMLFlexDSSave, an_encoding_qt_cannot_convert_is_refused_on_load_and_on_save)
{
    const QByteArray unknown = encodedDocument("x-no-such-encoding", "a", "x");
    const QString unknownFile = dir.filePath("unknown.xml");
    writeFile(unknownFile, unknown);
    XMLFlexDS ds;
    const xml::LoadResult loaded = ds.setXMLFile(unknownFile);
    EXPECT_EQ(loaded.status, xml::LoadResult::UnknownEncoding);
    EXPECT_TRUE(loaded.detail().contains("x-no-such-encoding")) << loaded.detail().toStdString();
    EXPECT_EQ(ds.GetRecordCount(), 0);

    ds.setXMLFile(path);
    ds.setXMLDocument(documentOf(unknown.constData()));
    ds.SetData(1, 1, "b");
    EXPECT_TRUE(ds.Save().detail().contains("x-no-such-encoding"));
    EXPECT_EQ(readFile(path), QByteArray(settingsXml));
}

// 100,000 nested elements, each with an empty sibling so that every level is
// a record; the innermost holds the text x.
QByteArray deepDocument(int depth)
{
    QByteArray text = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < depth; ++i)
        text += "<n><e/>";
    text += "<n>x</n>";
    for (int i = 0; i < depth; ++i)
        text += "</n>";
    return text;
}

TEST_F(XMLFlexDSSave, a_very_deep_document_is_walked_edited_and_saved_without_recursion)
{
    constexpr int depth = 100000;
    writeFile(path, deepDocument(depth));
    {
        XMLFlexDS ds;
        ASSERT_TRUE(ds.setXMLFile(path));
        ASSERT_EQ(ds.GetRecordCount(), depth + 1);
        EXPECT_EQ(ds.GetData(1, depth), "x");
        EXPECT_EQ(ds.GetData(1, 0), "");
        ds.SetData(1, depth, "y");
    }
    XMLFlexDS reread;
    reread.setXMLFile(path);
    ASSERT_EQ(reread.GetRecordCount(), depth + 1);
    EXPECT_EQ(reread.GetData(1, depth), "y");
}

}  // namespace
