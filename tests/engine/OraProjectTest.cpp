#include "OraProject.h"
#include "TestArchive.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

constexpr qint64 Plenty = qint64(64) * 1024 * 1024;

OraProject twoLayers()
{
    OraProject project;
    project.size = QSize(300, 200);
    OraProject::Layer lower;
    lower.name = "底图.png";
    lower.png = "lower picture bytes";
    lower.joined = QPoint(0, 10);
    lower.place = QPoint(-40, 25);
    OraProject::Layer upper;
    upper.name = "upper\x01.jpg";
    upper.png = "upper picture bytes";
    upper.joined = QPoint(60, 0);
    upper.place = QPoint(20, 15);
    upper.box = QSize(123, 45);
    upper.angle = -17.123456f;
    project.layers = { lower, upper };
    project.current = 0;
    project.transparent = true;
    project.hasView = true;
    project.zoom = 0.734f;
    project.origin = QPoint(-12, 99);
    project.trimMode = TrimMode::FromLeft;
    project.trimPoint = QPoint(77, -5);
    project.merged = "merged";
    project.thumbnail = "thumbnail";
    return project;
}

IoResult<OraProject> parsed(const QByteArray& xml)
{
    QStringList sources;
    return OraProject::parseStack(xml, sources);
}

QByteArray withStack(const QByteArray& stack, const QList<TestArchive::Entry>& more = {})
{
    QList<TestArchive::Entry> entries{ { "mimetype", "image/openraster", true },
                                       { "stack.xml", stack } };
    entries << more;
    return TestArchive::make(entries);
}

} // namespace

TEST(OraProjectTest, ArchiveStartsWithTheStoredMimetypeAndHoldsEveryPart)
{
    const IoResult<QByteArray> packed = twoLayers().pack();
    ASSERT_TRUE(packed.ok()) << packed.error.toStdString();
    const QByteArray& bytes = packed.value;
    // Readers recognise the type at a fixed place: the first local header's
    // name, then its content uncompressed.
    EXPECT_EQ(bytes.mid(30, 8), "mimetype");
    EXPECT_EQ(bytes.mid(38, 16), "image/openraster");
    const auto entries = TestArchive::entryList(bytes);
    ASSERT_EQ(entries.size(), 6);
    EXPECT_EQ(entries.first(), std::make_pair(QString("mimetype"), true));
    QStringList names;
    for (const auto& entry : entries)
        names << entry.first;
    EXPECT_EQ(names, QStringList({ "mimetype", "stack.xml", "data/layer0.png", "data/layer1.png",
                                   "Thumbnails/thumbnail.png", "mergedimage.png" }));
    EXPECT_EQ(TestArchive::entry(bytes, "mimetype"), "image/openraster");
    EXPECT_EQ(TestArchive::entry(bytes, "data/layer1.png"), "upper picture bytes");
    EXPECT_EQ(TestArchive::entry(bytes, "mergedimage.png"), "merged");
}

TEST(OraProjectTest, StackListsTheTopmostPictureFirstInJoinedPictureSpace)
{
    QXmlStreamReader xml(twoLayers().stackXml());
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("image"));
    EXPECT_EQ(xml.attributes().value("w"), QLatin1String("300"));
    EXPECT_EQ(xml.attributes().value("version"), QLatin1String("0.0.5"));
    QStringList order;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("layer"))
            order << QString("%1 %2,%3 %4")
                         .arg(xml.attributes().value("src"), xml.attributes().value("x"),
                              xml.attributes().value("y"), xml.attributes().value("visibility"));
    }
    EXPECT_FALSE(xml.hasError());
    EXPECT_EQ(order,
              QStringList({ "data/layer1.png 60,0 visible", "data/layer0.png 0,10 visible" }));
}

TEST(OraProjectTest, UnpackedProjectIsWhatWasPacked)
{
    OraProject project = twoLayers();
    project.hasRulers = true;
    RulerTable& vertical = project.rulers.table(RulerTableId::Vertical);
    vertical.setCell(3, 1, "250");
    vertical.setCell(4, 2, "");
    vertical.setCell(9, 3, "名字a");
    vertical.insertDeleteRow(RulerTable::InsertRow, 0);
    project.rulers.table(RulerTableId::Horizontal).setSpacingAll(37);
    project.rulers.scaleStep(RulerScaleCode::Shrink);

    const IoResult<OraProject> back = OraProject::unpack(project.pack().value, Plenty);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    const OraProject& got = back.value;
    EXPECT_EQ(got.size, project.size);
    ASSERT_EQ(got.layers.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(got.layers[i].png, project.layers[i].png);
        EXPECT_EQ(got.layers[i].joined, project.layers[i].joined);
        EXPECT_EQ(got.layers[i].place, project.layers[i].place);
        EXPECT_EQ(got.layers[i].box, project.layers[i].box);
        EXPECT_EQ(got.layers[i].angle, project.layers[i].angle);
    }
    EXPECT_EQ(got.layers[0].name, "底图.png");
    // A control character XML cannot carry is replaced, not a broken file.
    EXPECT_EQ(got.layers[1].name, QString("upper") + QChar(QChar::ReplacementCharacter) + ".jpg");
    EXPECT_EQ(got.current, 0);
    EXPECT_TRUE(got.transparent);
    EXPECT_EQ(got.zoom, project.zoom);
    EXPECT_EQ(got.origin, project.origin);
    EXPECT_EQ(got.trimMode, TrimMode::FromLeft);
    EXPECT_EQ(got.trimPoint, project.trimPoint);
    EXPECT_EQ(got.rulers.scale(), project.rulers.scale());
    for (RulerTableId id : { RulerTableId::Horizontal, RulerTableId::Vertical }) {
        const RulerTable& want = project.rulers.table(id);
        const RulerTable& have = got.rulers.table(id);
        for (int row = 0; row < RulerTable::RULER_ROWS; ++row)
            ASSERT_EQ(have.row(row), want.row(row)) << row;
        // The overflow row is never laid out: what it keeps is its content.
        EXPECT_EQ(have.overflow().szName, want.overflow().szName);
        EXPECT_EQ(have.overflow().nSpacing, want.overflow().nSpacing);
        EXPECT_EQ(have.overflow().chMark, want.overflow().chMark);
        EXPECT_EQ(have.overflow().chTickLen, want.overflow().chTickLen);
        EXPECT_EQ(have.overflow().crColor, want.overflow().crColor);
    }
}

TEST(OraProjectTest, StackOfAnotherProgramGivesPlainPictures)
{
    const IoResult<OraProject> project =
        parsed("<?xml version='1.0'?><image w='100' h='80' xmlns:other='urn:x'>"
               "<stack><text x='1'>words</text>"
               "<layer src='data/a.png' x='10' y='20' opacity='0.5' other:x='999'/>"
               "<stack x='5' y='7'><layer src='data/b.png' x='1' y='2' visibility='visible'/>"
               "<layer src='data/hidden.png' visibility='hidden'/></stack>"
               "<layer src='data/c.png'/></stack></image>");
    ASSERT_TRUE(project.ok()) << project.error.toStdString();
    const OraProject& got = project.value;
    ASSERT_EQ(got.layers.size(), 3);
    // Canvas order: the last in the file lies at the bottom.
    EXPECT_EQ(got.layers[0].place, QPoint(0, 0));
    EXPECT_EQ(got.layers[1].place, QPoint(6, 9));
    EXPECT_EQ(got.layers[2].place, QPoint(10, 20));
    for (const OraProject::Layer& layer : got.layers) {
        EXPECT_TRUE(layer.box.isEmpty());
        EXPECT_EQ(layer.angle, 0.0f);
    }
    EXPECT_EQ(got.current, -1);
    EXPECT_FALSE(got.hasView);
    EXPECT_FALSE(got.hasRulers);
    EXPECT_EQ(got.trimMode, TrimMode::None);
}

TEST(OraProjectTest, UnsafePathsAndBadValuesAreRefused)
{
    for (const char* name : { "../x.png", "/etc/passwd", "data/../../x.png", "data//x.png",
                              "C:/x.png", "data\\x.png", "" })
        EXPECT_FALSE(OraProject::safeEntryName(name)) << name;
    EXPECT_TRUE(OraProject::safeEntryName("data/layer0.png"));

    const QByteArray ns = "xmlns:l='urn:imgjoin:canvas-project:1'";
    const QList<QByteArray> bad{
        "<image><stack><layer src='../up.png'/></stack></image>",
        "<image><stack><layer src='/abs.png'/></stack></image>",
        "<image><stack><layer x='1'/></stack></image>",
        "<image><stack><layer src='a.png' x='ten'/></stack></image>",
        "<image><stack><layer src='a.png' x='4294967296'/></stack></image>",
        "<image " + ns + "><stack><layer src='a.png' l:angle='nan'/></stack></image>",
        "<image " + ns + "><stack><layer src='a.png' l:w='0' l:h='5'/></stack></image>",
        "<image " + ns +
            "><stack><layer src='a.png' l:x='2147483600' l:w='100' l:h='5'/>"
            "</stack></image>",
        "<image " + ns + "><stack/><l:trim mode='7' x='1' y='1'/></image>",
        "<image " + ns + "><stack/><l:view zoom='0' x='1' y='1'/></image>",
        "<image " + ns + "><stack/><l:rulers scale='1'><l:table axis='up'/></l:rulers></image>",
        "<image " + ns +
            "><stack/><l:rulers scale='1'><l:table axis='vertical'>"
            "<l:line row='1060'/></l:table></l:rulers></image>",
        "<image><stack><layer src='a.png'></stack></image>",
        "<picture><stack/></picture>",
        "",
    };
    for (const QByteArray& xml : bad)
        EXPECT_FALSE(parsed(xml).ok()) << xml.toStdString();

    QByteArray many = "<image><stack>";
    for (int i = 0; i <= OraProject::MaxLayers; ++i)
        many += "<layer src='a.png'/>";
    EXPECT_FALSE(parsed(many + "</stack></image>").ok());
}

TEST(OraProjectTest, ArchivesCutShortCorruptOrTooLargeAreRefused)
{
    const QByteArray good = twoLayers().pack().value;
    ASSERT_TRUE(OraProject::unpack(good, Plenty).ok());
    for (qsizetype length :
         { qsizetype(0), qsizetype(30), good.size() / 2, good.size() - 22, good.size() - 1 })
        EXPECT_FALSE(OraProject::unpack(good.left(length), Plenty).ok()) << length;

    const QByteArray stack = "<image><stack><layer src='data/a.png'/></stack></image>";
    const QByteArray zeros(4 * 1024 * 1024, '\0');
    // A small archive that would unpack to far more than allowed: refused
    // by its declared size, before anything is inflated.
    const QByteArray bomb = withStack(stack, { { "data/a.png", zeros } });
    ASSERT_LT(bomb.size(), 64 * 1024);
    const IoResult<OraProject> refused = OraProject::unpack(bomb, 1024 * 1024);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.contains("data/a.png"));
    EXPECT_TRUE(OraProject::unpack(bomb, Plenty).ok());
    EXPECT_FALSE(
        OraProject::unpack(withStack(QByteArray(OraProject::MaxStackBytes + 1, ' ')), Plenty).ok());

    // One changed byte in a stored entry fails its checksum.
    QByteArray corrupt = withStack(stack, { { "data/a.png", "PNG-ish content here", true } });
    const qsizetype at = corrupt.indexOf("content");
    ASSERT_GT(at, 0);
    corrupt[at] = 'K';
    EXPECT_FALSE(OraProject::unpack(corrupt, Plenty).ok());

    EXPECT_FALSE(OraProject::unpack(withStack(stack), Plenty).ok()); // layer entry missing
    EXPECT_FALSE(OraProject::unpack(TestArchive::make({ { "mimetype", "image/png", true },
                                                        { "stack.xml", stack } }),
                                    Plenty)
                     .ok());
    EXPECT_FALSE(OraProject::unpack(TestArchive::make({ { "stack.xml", stack } }), Plenty).ok());
}
